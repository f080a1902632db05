#pragma once
// A rule document's own server requests, sent through the client's channel:
// saving it ("SAVE_RULE_DOCUMENT"), the header template of new documents
// ("GET_RULE_DOC_HEADERS"), and reading one from a "GET_RULE_DOCUMENTS"
// answer record. The rule model itself knows no channel; this is where its
// text meets the wire.

#include <QString>
#include <string>

namespace orvane {
class Channel;
}

namespace rules {
class RuleDocument;
}

namespace rules::channel {

// "GET_RULE_DOC_HEADERS": empty when the server has no template or fails.
std::string ReadHeaderTemplate(orvane::Channel& channel);

// Save(rule type, name, description): the error text, empty on success. A
// document without a header of its own is built with the server's template,
// fetched first.
QString SaveRuleDocument(orvane::Channel& channel, RuleDocument& document, qint32 ruleType,
                         const QString& name, const QString& description,
                         const QString& operatorId);

// LoadFromRecord: the fields of the channel's current answer record.
void LoadRuleDocument(orvane::Channel& channel, RuleDocument& document);

// The "DOC" text travels as Unicode text; the model holds UTF-8. A text
// sent and read back is the text that was built, whatever its characters.
QString DocTextToWire(const std::string& text);
std::string DocTextFromWire(const QString& text);

} // namespace rules::channel
