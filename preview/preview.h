#pragma once
// The preview manager: one per run, shared by the preview screens. Has the
// server apply a rule set group to one record, or to the record at a place
// in a record set, with nothing saved; reads back the record before and
// after and the server's messages, and compares the two records line by
// line. Failures are told to the operator here; callers only see the result.

#include "preview_comparison.h"
#include "record_set.h"
#include "rule_set.h"

#include <QStringList>
#include <optional>

namespace velumar {

class SessionState;

class Preview {
public:
    explicit Preview(SessionState& state);

    // Single record mode.
    void StartRecord(qint32 recordId, int recordType, const RuleSet& group,
                     const QString& fieldOrderConfigName);
    // Record set mode, before the first record: index 0, count 0.
    void StartRecordSet(const RecordSet& set, const RuleSet& group,
                        const QString& fieldOrderConfigName);

    // One preview; in record set mode `step` places on from the current
    // record. True when the lines are ready; on false the previous result is
    // gone and the operator has been told why.
    bool Load(qint32 step = 0);
    // Asks the operator, then takes the current record out of the set. True
    // when it was taken out; the record now at that place needs a Load(0).
    bool RemoveRecordFromSet();

    bool InRecordSetMode() const { return recordSet_.has_value(); }
    qint32 RecordId() const { return recordId_; }
    int RecordType() const { return recordType_; }
    const QString& FieldOrderConfigName() const { return fieldOrderConfigName_; }
    // Null in single record mode.
    const RecordSet* GetRecordSet() const { return recordSet_ ? &*recordSet_ : nullptr; }
    const RuleSet& GetRuleSet() const { return ruleSet_; }

    const QString& BeforeRecord() const { return beforeRecord_; }
    const QString& AfterRecord() const { return afterRecord_; }
    // The place of the current record in the set, from 1, as the server answered it.
    qint32 Index() const { return index_; }
    qint32 RecordSetCount() const { return recordSetCount_; }
    const QStringList& Messages() const { return messages_; }

    const QList<PreviewLine>& BeforeLines() const { return comparison_.Before; }
    const QList<PreviewLine>& AfterLines() const { return comparison_.After; }
    const QList<PreviewLink>& BeforeLinks() const { return comparison_.BeforeLinks; }
    const QList<PreviewLink>& AfterLinks() const { return comparison_.AfterLinks; }
    const QList<PreviewDiff>& Differences() const { return comparison_.Differences; }

private:
    void clear();
    void send(qint32 step);
    void readAnswer();
    void compare();
    void warn(const QString& text);

    SessionState& state_;
    qint32 recordId_ = 0;
    int recordType_ = 0;
    QString fieldOrderConfigName_;
    std::optional<RecordSet> recordSet_;
    RuleSet ruleSet_;
    QString beforeRecord_;
    QString afterRecord_;
    qint32 index_ = 0;
    qint32 recordSetCount_ = 0;
    QStringList messages_;
    PreviewComparison comparison_;
};

} // namespace velumar
