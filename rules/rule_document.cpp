#include "rule_document.h"

#include "rule_clob.h"

namespace rules {

void RuleDocument::LoadText(std::string text) {
    Text = std::move(text);
    Rules.Clear();
    const RuleClob clob(Text);
    HeaderText = clob.HeaderText();
    for (const auto& lines : clob.RuleLines()) {
        auto rule = std::make_unique<RuleComponent>();
        rule->Read(lines, NextRuleIndex);
        AddRule(std::move(rule));
    }
}

void RuleDocument::LoadFromRecord(RuleDocumentRecord record) {
    Id = record.id;
    Name = std::move(record.name);
    Description = std::move(record.description);
    CreatedBy = std::move(record.createdBy);
    UpdatedBy = std::move(record.updatedBy);
    UpdateDate = std::move(record.updateDate);
    LoadText(std::move(record.text));
}

RuleComponent& RuleDocument::AddRule(std::unique_ptr<RuleComponent> rule) {
    rule->Index = NextRuleIndex++;
    return Rules.Add(std::move(rule));
}

std::string RuleDocument::BuildText(std::string_view headerTemplate) const {
    std::string out = HeaderText.empty() ? std::string(headerTemplate) : HeaderText;
    for (const auto& rule : Rules)
        rule.AppendText(out);
    return out;
}

RuleDocument RuleDocument::Copy() const {
    RuleDocument copy;
    copy.Name = "Copy of " + Name;
    copy.Description = Description;
    copy.LoadText(Text);
    return copy;
}

std::vector<std::string_view> RuleDocument::JobParameterNames(std::string_view text) {
    const auto has = [text](std::string_view what) {
        return text.find(what) != std::string_view::npos;
    };
    if (has("Change owning library"))
        return {"REQ_LIBRARY_ID", "REQ_LOCATION_ID"};
    if (has("SUPPRESS") || has("Change OK to Export Date") || has("Unset OK to Export") ||
        has("Set OK to Export"))
        return {"REQ_LOCATION_ID"};
    return {};
}

RequestFields RuleDocument::PrepareSave(std::int32_t ruleType, std::string_view name,
                                        std::string_view description, std::string_view operatorId,
                                        std::string_view headerTemplate) {
    Name = name;
    Description = description;
    Text = BuildText(headerTemplate);

    RequestFields fields;
    if (Id != 0)
        fields.push_back({"ID", Id});
    fields.push_back({"RT", ruleType});
    fields.push_back({"NM", Name});
    fields.push_back({"DSC", Description});
    fields.push_back({"DOC", Text});
    for (const std::string_view parameter : JobParameterNames(Text))
        fields.push_back({"PN", std::string(parameter)});
    fields.push_back({"OI", std::string(operatorId)});
    return fields;
}

std::string RuleDocument::FinishSave(std::int32_t status, std::int32_t answerId) {
    switch (status) {
    case 0:
        Id = answerId;
        return {};
    case 4:
        return "Name already in use. Please choose another name for this rule set.";
    default:
        return "Failed to save rule set.";
    }
}

std::string RuleDocument::HeaderTemplate(std::int32_t status, std::string headerText) {
    if (status != 0)
        return {};
    if (!headerText.empty() && headerText.back() != '\r' && headerText.back() != '\n')
        headerText += "\r\n";
    return headerText;
}

std::string RuleDocument::NormalizeText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

} // namespace rules
