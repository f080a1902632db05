#include "rule_document_requests.h"

#include "channel.h"
#include "rule_document.h"

#include <variant>

namespace rules::channel {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
std::string S(const QString& text) {
    return text.toStdString();
}

} // namespace

QString DocTextToWire(const std::string& text) {
    return QString::fromUtf8(text);
}

std::string DocTextFromWire(const QString& text) {
    return text.toUtf8().toStdString();
}

std::string ReadHeaderTemplate(orvane::Channel& channel) {
    const qint16 status = channel.SendRequest(Q(std::string(kGetRuleDocHeaders)));
    return RuleDocument::HeaderTemplate(status, status == 0 ? S(channel.GetField("HT")) : "");
}

QString SaveRuleDocument(orvane::Channel& channel, RuleDocument& document, qint32 ruleType,
                         const QString& name, const QString& description,
                         const QString& operatorId) {
    // Fetched before the save's fields are added: they go with the next send.
    const std::string headerTemplate =
        document.HeaderText.empty() ? ReadHeaderTemplate(channel) : std::string();
    const RequestFields fields =
        document.PrepareSave(ruleType, S(name), S(description), S(operatorId), headerTemplate);
    for (const auto& field : fields) {
        const QString key = Q(field.key);
        if (const auto* number = std::get_if<std::int32_t>(&field.value))
            channel.AddNumericField(key, *number);
        else if (field.key == "DOC")
            channel.AddField(key, DocTextToWire(std::get<std::string>(field.value)));
        else
            channel.AddField(key, Q(std::get<std::string>(field.value)));
    }
    const qint16 status = channel.SendRequest(Q(std::string(kSaveRuleDocument)));
    return Q(document.FinishSave(status, status == 0 ? channel.GetNumericField("ID") : 0));
}

void LoadRuleDocument(orvane::Channel& channel, RuleDocument& document) {
    document.LoadFromRecord({channel.GetNumericField("ID"), S(channel.GetField("NM")),
                             S(channel.GetField("DSC")), S(channel.GetField("CO")),
                             S(channel.GetField("UO")), S(channel.GetField("UD")),
                             DocTextFromWire(channel.GetField("DOC"))});
}

} // namespace rules::channel
