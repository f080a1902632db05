#include "rule_sets.h"

#include "channel.h"
#include "request_channel.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "rule_document_requests.h"
#include "rule_set_messages.h"
#include "session.h"
#include "session/session_state.h"

#include <QComboBox>
#include <QLineEdit>

namespace velumar {

namespace msg = rule_set_messages;

namespace {

constexpr qint16 ListEmpty = 55;
constexpr qint16 NotAuthorised = 6;
constexpr qint16 InUse = 2;
constexpr int MatchType = 3;
constexpr int MergeType = 4;

// The rule types whose documents and groups the screens list.
bool listed(int ruleType) {
    return ruleType >= 1 && ruleType <= 6 && ruleType != 5;
}

QString asText(const std::string& text) { return QString::fromStdString(text); }
const QString& asText(const QString& text) { return text; }

template <typename T>
void fillNameGrid(const KeyedCollection<T>& items, Grid& grid, qint32 idToSelect) {
    grid.setUpdatesEnabled(false);
    grid.ClearRows();
    for (int i = 0; i < items.Count(); ++i) {
        const T& item = items.At(i);
        grid.AddRow({asText(item.Name), asText(item.Description)}, item.Id);
    }
    ReapplyGridSort(grid);
    SelectGridRow(grid, -1, idToSelect);
    grid.setUpdatesEnabled(true);
}

// The id of the first document of exactly that name.
std::optional<qint32> documentNamed(const KeyedCollection<rules::RuleDocument>& documents,
                                    const QString& name) {
    const std::string wanted = name.toStdString();
    for (int i = 0; i < documents.Count(); ++i)
        if (documents.At(i).Name == wanted)
            return documents.At(i).Id;
    return std::nullopt;
}

} // namespace

RuleSets::RuleSets(SessionState& state) : state_(state) {}

orvane::Channel& RuleSets::channel() { return state_.channel(); }
PlatformServices& RuleSets::platform() { return state_.platform(); }
QString RuleSets::operatorId() const { return state_.session().OperatorId(); }

bool RuleSets::listAnswered(qint16 status, const char* notAuthorised, const char* failed) {
    if (status == 0 || status == ListEmpty)
        return true;
    ShowRuleSetWarning(platform(), status == NotAuthorised ? notAuthorised : failed);
    return false;
}

void RuleSets::LoadRuleDocuments(int ruleType) {
    auto* documents = GetRuleDocuments(ruleType);
    if (!documents)
        return;
    channel().AddNumericField("RT", ruleType);
    channel().AddField("OI", operatorId());
    const qint16 status = channel().SendRequest("GET_RULE_DOCUMENTS");
    // The operator has been told the session ended; the documents are still there.
    if (orvane::SessionLost(status))
        return;
    documents->Clear();
    if (!listAnswered(status, msg::ViewDocuments, msg::LoadDocuments))
        return;
    while (channel().NextRecord("ID")) {
        rules::RuleDocument document;
        rules::channel::LoadRuleDocument(channel(), document);
        const QString key = QString::fromStdString(document.Key());
        documents->Add(key, std::move(document));
    }
}

void RuleSets::LoadRuleSets(int ruleType) {
    auto* groups = GetRuleSets(ruleType);
    if (!groups)
        return;
    channel().AddNumericField("RT", ruleType);
    channel().AddField("OI", operatorId());
    const qint16 status = channel().SendRequest("GET_RULE_SETS");
    if (orvane::SessionLost(status))
        return;
    groups->Clear();
    if (!listAnswered(status, msg::ViewGroups, msg::LoadGroups))
        return;
    while (channel().NextRecord("ID")) {
        RuleSet group;
        group.PopulateFromPelm(channel());
        const QString key = group.Key();
        groups->Add(key, std::move(group));
    }
}

KeyedCollection<rules::RuleDocument>* RuleSets::GetRuleDocuments(int ruleType) {
    return typed(ruleType) ? &documents_[static_cast<std::size_t>(ruleType - 1)] : nullptr;
}

KeyedCollection<RuleSet>* RuleSets::GetRuleSets(int ruleType) {
    return typed(ruleType) ? &groups_[static_cast<std::size_t>(ruleType - 1)] : nullptr;
}

rules::RuleDocument* RuleSets::GetRuleDocument(int ruleType, qint32 id) {
    auto* documents = GetRuleDocuments(ruleType);
    return documents ? documents->Item(QString::number(id)) : nullptr;
}

std::optional<rules::RuleDocument> RuleSets::CopyRuleDocument(int ruleType, qint32 id) {
    const auto* source = listed(ruleType) ? GetRuleDocument(ruleType, id) : nullptr;
    if (!source)
        return std::nullopt;
    return source->Copy();
}

RuleSet* RuleSets::GetRuleSet(int ruleType, qint32 id) {
    if (ruleType != 2 && ruleType != 4 && ruleType != 5)
        return nullptr;
    return GetRuleSets(ruleType)->Item(QString::number(id));
}

RuleSet* RuleSets::GetRuleSetWithLinks(int ruleType, qint32 id, bool previouslyLoaded) {
    auto* groups = GetRuleSets(ruleType);
    RuleSet* group = groups ? groups->Item(QString::number(id)) : nullptr;
    if (!group)
        return nullptr;
    channel().AddNumericField("RSID", group->Id);
    channel().AddField("OI", operatorId());
    if (channel().SendRequest("GET_RULE_DOCUMENTS_FOR_SET") != 0) {
        ShowRuleSetWarning(platform(), msg::LoadLinks);
        return group;
    }
    group->LoadLinks(*this, ruleType, previouslyLoaded);
    return group;
}

std::optional<RuleSet> RuleSets::CopyRuleSet(int ruleType, qint32 id, bool previouslyLoaded) {
    auto* groups = GetRuleSets(ruleType);
    const RuleSet* source = groups ? groups->Item(QString::number(id)) : nullptr;
    if (!source)
        return std::nullopt;
    RuleSet copy = source->Copy();
    channel().AddNumericField("RSID", source->Id);
    channel().AddField("OI", operatorId());
    if (channel().SendRequest("GET_RULE_DOCUMENTS_FOR_SET") != 0) {
        ShowRuleSetWarning(platform(), msg::LoadLinks);
        return copy;
    }
    copy.LoadLinks(*this, ruleType, previouslyLoaded);
    return copy;
}

void RuleSets::reportDelete(qint16 status, const char* inUse, const char* notAuthorised,
                            const char* failed) {
    if (status == 0)
        return;
    if (status == InUse) {
        QString text = inUse;
        while (channel().NextRecord("NM"))
            text += "\r\n" + channel().GetField("NM");
        ShowRuleSetWarning(platform(), text);
        return;
    }
    ShowRuleSetWarning(platform(), status == NotAuthorised ? notAuthorised : failed);
}

void RuleSets::DeleteRuleDocument(qint32 id) {
    channel().AddNumericField("ID", id);
    channel().AddField("OI", operatorId());
    reportDelete(channel().SendRequest("DELETE_RULE_DOCUMENT"), msg::DocumentInUse,
                 msg::DeleteDocumentRefused, msg::DeleteDocument);
}

bool RuleSets::DeleteRuleSet(qint32 id) {
    channel().AddNumericField("ID", id);
    channel().AddField("OI", operatorId());
    const qint16 status = channel().SendRequest("DELETE_RULE_SET");
    reportDelete(status, msg::GroupInUse, msg::DeleteGroupRefused, msg::DeleteGroup);
    return status != 0;
}

void RuleSets::FillRuleDocumentGrid(int ruleType, Grid& grid, qint32 idToSelect) {
    if (listed(ruleType))
        fillNameGrid(*GetRuleDocuments(ruleType), grid, idToSelect);
}

void RuleSets::FillRuleSetGrid(int ruleType, Grid& grid, qint32 idToSelect) {
    if (listed(ruleType))
        fillNameGrid(*GetRuleSets(ruleType), grid, idToSelect);
}

void RuleSets::FillRuleSetList(int ruleType, QComboBox& list) {
    if (!listed(ruleType))
        return;
    list.clear();
    const auto& groups = *GetRuleSets(ruleType);
    for (int i = 0; i < groups.Count(); ++i)
        groups.At(i).AddToList(list);
}

qint32 RuleSets::FindRuleDocumentId(const QString& name) {
    return documentNamed(*GetRuleDocuments(MatchType), name).value_or(0);
}

std::optional<qint32> RuleSets::FindMergeRuleDocumentId(int ruleType, const QString& name) {
    if (ruleType != MergeType)
        return std::nullopt;
    return documentNamed(*GetRuleDocuments(MergeType), name);
}

void RuleSets::LoadDupeDetectionProfiles() {
    profiles_.Clear();
    if (channel().SendRequest("LstCatDp") != 0) {
        ShowRuleSetWarning(platform(), msg::LoadProfiles);
        return;
    }
    while (channel().NextRecord("DID")) {
        DupeDetectionProfile profile{channel().GetNumericField("DID"), channel().GetField("DCd"),
                                     channel().GetField("DNm")};
        profiles_.Add(QString::number(profile.Id), profile);
    }
}

void RuleSets::FillDupeDetectionProfileCombo(QComboBox& combo, const QString& code) {
    combo.clear();
    for (int i = 0; i < profiles_.Count(); ++i)
        combo.addItem(profiles_.At(i).DisplayText(), profiles_.At(i).Id);
    combo.setCurrentIndex(code.isEmpty() ? -1 : combo.findData(GetDupeDetectionProfileId(code)));
}

qint32 RuleSets::GetDupeDetectionProfileId(const QString& code) const {
    for (int i = 0; i < profiles_.Count(); ++i)
        if (profiles_.At(i).Code == code)
            return profiles_.At(i).Id;
    return 0;
}

QString RuleSets::GetDupeDetectionProfileCode(qint32 id) const {
    const auto* profile = profiles_.Item(QString::number(id));
    return profile ? profile->Code : QString();
}

void RuleSets::ShowMatchSettings(const RuleSet* group, QLineEdit& tag, QLineEdit& profile) const {
    if (!group)
        return;
    tag.setText(group->GetParameter("MULTIMATCH_TAG"));
    const auto id = GetDupeDetectionProfileId(group->GetParameter("MATCH_PROFILE_CODE"));
    const auto* found = profiles_.Item(QString::number(id));
    profile.setText(found ? found->DisplayText() : QString());
}

bool RuleSets::IsInvalidTag(const QString& text) {
    if (text.size() != 3)
        return true;
    for (const QChar c : text)
        if (c < '0' || c > '9')
            return true;
    const int value = text.toInt();
    return value < 10 || value > 999;
}

} // namespace velumar
