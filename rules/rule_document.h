#pragma once
// A named rule text stored on the server ("rule set" on screen): its header,
// its rules, and the data of its two requests. The requests themselves go
// through the client's channel; this class builds what they send and reads
// what they answer.

#include "keyed_collection.h"
#include "request_field.h"
#include "rule_component.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

inline constexpr std::string_view kMatchCodeDocumentName = "MatchCode-And-Tag-Field";
inline constexpr std::string_view kSaveRuleDocument = "SAVE_RULE_DOCUMENT";
inline constexpr std::string_view kGetRuleDocHeaders = "GET_RULE_DOC_HEADERS";

// The fields of one answer record of "GET_RULE_DOCUMENTS".
struct RuleDocumentRecord {
    std::int32_t id = 0;     // "ID"
    std::string name;        // "NM"
    std::string description; // "DSC"
    std::string createdBy;   // "CO"
    std::string updatedBy;   // "UO"
    std::string updateDate;  // "UD"
    std::string text;        // "DOC", already converted from its wire form
};

class RuleDocument {
public:
    RuleDocument() = default;
    RuleDocument(RuleDocument&&) = default;
    RuleDocument& operator=(RuleDocument&&) = default;

    std::int32_t Id = 0;
    std::string Name;
    std::string Description;
    std::string CreatedBy;
    std::string UpdatedBy;
    std::string UpdateDate;
    std::string Text;
    std::string HeaderText;
    KeyedCollection<RuleComponent> Rules;
    std::int32_t NextRuleIndex = 1;

    std::string Key() const { return std::to_string(Id); }
    const std::string& LastEditor() const { return UpdatedBy.empty() ? CreatedBy : UpdatedBy; }
    bool IsMatchCodeDocument() const { return Name == kMatchCodeDocumentName; }

    // Text becomes the given text, split into HeaderText and Rules.
    void LoadText(std::string text);
    void LoadFromRecord(RuleDocumentRecord record);

    // HeaderText, or the server's template when there is none, then each rule.
    std::string BuildText(std::string_view headerTemplate = {}) const;

    RuleComponent& AddRule(std::unique_ptr<RuleComponent> rule);

    // An unsaved copy named "Copy of " + Name.
    RuleDocument Copy() const;

    // Save, first half: Name, Description and Text are set, and the fields
    // of "SAVE_RULE_DOCUMENT" are returned in the order they are sent.
    RequestFields PrepareSave(std::int32_t ruleType, std::string_view name,
                              std::string_view description, std::string_view operatorId,
                              std::string_view headerTemplate = {});
    // Save, second half: the answer's status (and "ID" on success) gives the
    // error text, empty on success.
    std::string FinishSave(std::int32_t status, std::int32_t answerId);

    // The job parameters a job running this text asks for ("PN" fields).
    static std::vector<std::string_view> JobParameterNames(std::string_view text);
    // The "HT" of a "GET_RULE_DOC_HEADERS" answer as BuildText uses it.
    static std::string HeaderTemplate(std::int32_t status, std::string headerText);
    // For display and export: no lone CR, every line break CR LF.
    static std::string NormalizeText(std::string_view text);
};

} // namespace rules
