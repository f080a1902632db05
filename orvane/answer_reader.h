#pragma once
// Reads one answer the way the channel promises: fields by key, records led
// by a key and walked in order.
//
// Without a current record a key reads its first occurrence in the whole
// answer. NextRecord(K) makes the next occurrence of K current; that record
// runs up to the following occurrence of K (or the end). While a record is
// current a key is looked up inside it first, then among the fields ahead of
// the first K (the answer's single fields), never in another record. When
// next() answers false no record is current any more. Each key keeps its
// own place, so a walk on K is not disturbed by counting or reading others.
//
// Kinds convert on reading; an absent key reads as "", 0 or false.
//   text:   a number as decimal digits; a boolean as "true" or "false".
//   number: a text that is a whole decimal number in range (spaces around
//           allowed), otherwise 0; a boolean as 1 or 0.
//   flag:   a number that is not 0; a text "true" (any case) or a whole
//           number that is not 0; everything else false.

#include "protocol/message.h"

#include <QString>
#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace orvane {

class AnswerReader {
public:
    AnswerReader() = default;
    explicit AnswerReader(wire::Answer answer) : answer_(std::move(answer)) {}

    const wire::Answer& answer() const { return answer_; }

    QString text(const QString& key) const;
    qint32 number(const QString& key) const;
    bool flag(const QString& key) const;

    bool next(const QString& key);
    int count(const QString& key) const;

private:
    struct Record {
        std::size_t begin = 0;     // the leading field
        std::size_t end = 0;       // the following occurrence of key, or the end
        std::size_t headerEnd = 0; // the first occurrence of key
    };

    const wire::Value* find(const QString& key) const;
    const wire::Value* findIn(const std::string& key, std::size_t begin, std::size_t end) const;
    std::size_t indexOf(const std::string& key, std::size_t from) const;

    wire::Answer answer_;
    std::map<std::string, std::size_t, std::less<>> resumeAt_; // per key: where next() looks
    std::optional<Record> current_;
};

} // namespace orvane
