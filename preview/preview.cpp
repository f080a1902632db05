#include "preview.h"

#include "channel.h"
#include "platform/platform_services.h"
#include "preview_messages.h"
#include "preview_record_lines.h"
#include "request_channel.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"

namespace velumar {

namespace {

const QString Before = QStringLiteral("before");
const QString After = QStringLiteral("after");

} // namespace

Preview::Preview(SessionState& state) : state_(state) {}

void Preview::StartRecord(qint32 recordId, int recordType, const RuleSet& group,
                          const QString& fieldOrderConfigName) {
    recordSet_.reset();
    recordId_ = recordId;
    recordType_ = recordType;
    ruleSet_ = group;
    fieldOrderConfigName_ = fieldOrderConfigName;
    index_ = 0;
    recordSetCount_ = 0;
    clear();
}

void Preview::StartRecordSet(const RecordSet& set, const RuleSet& group,
                             const QString& fieldOrderConfigName) {
    recordSet_ = set;
    recordId_ = 0;
    recordType_ = set.RecordType();
    ruleSet_ = group;
    fieldOrderConfigName_ = fieldOrderConfigName;
    index_ = 0;
    recordSetCount_ = 0;
    clear();
}

void Preview::clear() {
    beforeRecord_.clear();
    afterRecord_.clear();
    messages_.clear();
    comparison_ = PreviewComparison();
}

void Preview::warn(const QString& text) {
    state_.platform().ShowMessage({text, {}, MessageIcon::Exclamation, MessageButtons::Ok});
}

void Preview::send(qint32 step) {
    orvane::Channel& channel = state_.channel();
    if (!fieldOrderConfigName_.isEmpty())
        channel.AddField(QStringLiteral("MFONAME"), fieldOrderConfigName_);
    if (recordSet_) {
        channel.AddNumericField(QStringLiteral("RSID"), recordSet_->Id());
        channel.AddNumericField(QStringLiteral("ID"), ruleSet_.Id);
        channel.AddNumericField(QStringLiteral("IN"), index_);
        channel.AddNumericField(QStringLiteral("NP"), step);
        channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    } else {
        channel.AddNumericField(QStringLiteral("RID"), recordId_);
        channel.AddNumericField(QStringLiteral("RT"), recordType_);
        channel.AddNumericField(QStringLiteral("ID"), ruleSet_.Id);
        channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    }
}

bool Preview::Load(qint32 step) {
    clear();
    BusyGuard busy(state_.busy());
    send(step);
    orvane::Channel& channel = state_.channel();
    const qint16 status = channel.SendRequest(recordSet_ ? QStringLiteral("PREVIEW_RECORD_SET")
                                                         : QStringLiteral("PREVIEW_RECORD"));
    switch (status) {
    case 0:
        break;
    case 2: {
        const int code = channel.GetNumericField(QStringLiteral("BC"));
        if (code == EmptyRecordSetCode) {
            warn(QStringLiteral("No records in record set."));
            index_ = 0;
            recordSetCount_ = 0;
            return false;
        }
        if (const QString message = DispositionMessage(code); !message.isEmpty())
            messages_.push_back(message);
        break;
    }
    case 5:
        warn(QStringLiteral("Record id or record set id or rule set group id does not exist."));
        return false;
    case 6:
        state_.platform().ShowMessage(
            {QStringLiteral("Operator not authorized to preview records."),
             {},
             MessageIcon::None,
             MessageButtons::Ok});
        return false;
    default:
        warn(QStringLiteral("Failed to retrieve preview records."));
        return false;
    }
    readAnswer();
    compare();
    return true;
}

void Preview::readAnswer() {
    orvane::Channel& channel = state_.channel();
    beforeRecord_ = channel.GetField(QStringLiteral("BR"));
    afterRecord_ = channel.GetField(QStringLiteral("AR"));
    if (recordSet_) {
        recordId_ = channel.GetNumericField(QStringLiteral("RID"));
        index_ = channel.GetNumericField(QStringLiteral("IN"));
        recordSetCount_ = channel.GetNumericField(QStringLiteral("RSC"));
    }
    if (channel.CountRecords(QStringLiteral("MG")) > 0)
        while (channel.NextRecord(QStringLiteral("MG")))
            messages_.push_back(channel.GetField(QStringLiteral("MG")));
}

void Preview::compare() {
    QString why;
    const auto before = PreviewLinesOf(beforeRecord_, why);
    if (!before)
        messages_.push_back(ParseFailureMessage(Before, why));
    const auto after = PreviewLinesOf(afterRecord_, why);
    if (!after)
        messages_.push_back(ParseFailureMessage(After, why));
    // A side that cannot be read is left empty; the other is still shown.
    if (before && after) {
        comparison_ = ComparePreviewLines(*before, *after);
        return;
    }
    comparison_.Before = before.value_or(QList<PreviewLine>());
    comparison_.After = after.value_or(QList<PreviewLine>());
}

bool Preview::RemoveRecordFromSet() {
    if (!recordSet_)
        return false;
    Message question;
    question.title = QStringLiteral("Remove Record From Set");
    question.text = QStringLiteral("You will remove record ") + QString::number(recordId_) +
                    QStringLiteral(" from record set '") + recordSet_->Name() +
                    QStringLiteral("'\r\n\r\nAre you sure?");
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (state_.platform().ShowMessage(question) != MessageAnswer::Yes)
        return false;

    BusyGuard busy(state_.busy());
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(QStringLiteral("RID"), recordId_);
    channel.AddNumericField(QStringLiteral("RSID"), recordSet_->Id());
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    switch (channel.SendRequest(QStringLiteral("DELETE_RECORD_FROM_RECORD_SET"))) {
    case 0:
        return true;
    case 5:
        warn(QStringLiteral("Record set id does not exist."));
        return false;
    case 6:
        warn(QStringLiteral("Operator not authorized to remove record."));
        return false;
    default:
        warn(QStringLiteral("Failed to remove record from record set."));
        return false;
    }
}

} // namespace velumar
