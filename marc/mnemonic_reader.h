#pragma once
// Reads records from the text form described in marc/mnemonic.h. A record is
// the lines from "=LDR" to the next empty line or "=LDR". A line that cannot be
// read makes its record an error, reported with the line and its offset, and
// reading goes on with the next record; in strict mode it stops there.

#include "marc/issue.h"
#include "marc/reader.h"
#include "marc/record.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace marc {

class MnemonicReader {
public:
    explicit MnemonicReader(std::string_view text, ReadOptions options = {});
    // Refused for a temporary string: the reader keeps a view of the text.
    template <typename Text>
    requires std::is_same_v<Text, std::string>
    explicit MnemonicReader(Text&& text, ReadOptions options = {}) = delete;

    std::optional<Record> next();
    // Errors met by the latest call of next().
    const std::vector<Issue>& issues() const { return issues_; }

    std::size_t recordCount() const { return records_; }
    std::size_t errorCount() const { return errors_; }
    bool stopped() const { return stopped_; }

private:
    std::string_view currentLine() const;
    void advanceLine();
    // Reads one line into `record`; the reason when it cannot.
    std::optional<std::string> readLine(std::string_view line, Record& record,
                                        bool& haveLeader) const;

    std::string_view text_;
    ReadOptions options_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::vector<Issue> issues_;
    std::size_t records_ = 0;
    std::size_t errors_ = 0;
    bool stopped_ = false;
};

} // namespace marc
