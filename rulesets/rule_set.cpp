#include "rule_set.h"

#include "channel.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "rule_document.h"
#include "rule_set_messages.h"
#include "rule_sets.h"

#include <QComboBox>
#include <algorithm>

namespace velumar {

namespace msg = rule_set_messages;

namespace {

constexpr int MatchType = 3;
// Row data holds a number; a linked row keeps its link's key beside it.
constexpr int LinkKeyRole = Qt::UserRole + 1;

QString keyOf(const rules::RuleDocLink& link) { return QString::fromStdString(link.Key()); }

} // namespace

RuleSet::RuleSet()
    : DoNotMergeCodes{"DNMLDR17|", "DNMLDR18|", "DNM040$a|",
                      "DNM040$d|", "DNM040$e|", "DNM040GT|"} {}

void RuleSet::PopulateFromPelm(orvane::Channel& channel) {
    Id = channel.GetNumericField("ID");
    Name = channel.GetField("NM");
    Description = channel.GetField("DSC");
    CreateOperator = channel.GetField("CO");
    UpdateOperator = channel.GetField("UO");
    UpdateDate = channel.GetField("UD");
    RequiredParameters = channel.GetField("PN");
}

void RuleSet::SetFields(const QString& name, const QString& description,
                        const QString& createOperator, const QString& updateOperator,
                        const QString& updateDate, std::optional<qint32> id) {
    Name = name;
    Description = description;
    CreateOperator = createOperator;
    UpdateOperator = updateOperator;
    UpdateDate = updateDate;
    if (id)
        Id = *id;
}

RuleSet RuleSet::Copy() const {
    RuleSet copy;
    copy.Name = "Copy of " + Name;
    copy.Description = Description;
    return copy;
}

int RuleSet::indexOf(const QString& key) const {
    for (std::size_t i = 0; i < Links.size(); ++i)
        if (keyOf(Links[i]) == key)
            return static_cast<int>(i);
    return -1;
}

QString RuleSet::AddLink(qint32 docId) {
    const rules::RuleDocLink link{docId, NextLinkOrder--};
    const QString key = keyOf(link);
    if (indexOf(key) < 0)
        Links.push_back(link);
    return key;
}

void RuleSet::RemoveLink(const QString& key) {
    if (const int i = indexOf(key); i >= 0)
        Links.erase(Links.begin() + i);
}

void RuleSet::MoveLinkUp(const QString& key) {
    const int i = indexOf(key);
    if (i < 1)
        return;
    std::swap(Links[static_cast<std::size_t>(i)], Links[static_cast<std::size_t>(i - 1)]);
}

void RuleSet::MoveLinkDown(const QString& key) {
    const int i = indexOf(key);
    if (i < 0 || i + 1 >= static_cast<int>(Links.size()))
        return;
    std::swap(Links[static_cast<std::size_t>(i)], Links[static_cast<std::size_t>(i + 1)]);
}

bool RuleSet::IsLinked(qint32 docId) const {
    return std::any_of(Links.begin(), Links.end(),
                       [docId](const rules::RuleDocLink& link) { return link.DocId == docId; });
}

bool RuleSet::IsNotLinked(const rules::RuleDocument& document) const {
    return !IsLinked(document.Id);
}

void RuleSet::CopyLinksFrom(const RuleSet& other) {
    ClearLinks();
    other.CopyLinksTo(*this);
}

void RuleSet::CopyLinksTo(RuleSet& target) const {
    for (const auto& link : Links)
        target.AddLink(link.DocId);
}

RuleSet RuleSet::CloneLinks() const {
    RuleSet clone;
    CopyLinksTo(clone);
    return clone;
}

void RuleSet::LoadLinks(RuleSets& owner, int ruleType, bool previouslyLoaded) {
    ClearLinks();
    auto& channel = owner.channel();
    while (channel.NextRecord("ID")) {
        const rules::RuleDocLink link{channel.GetNumericField("ID"),
                                      channel.GetNumericField("RO")};
        if (indexOf(keyOf(link)) < 0)
            Links.push_back(link);
    }
    if (!previouslyLoaded)
        owner.LoadRuleDocuments(ruleType);
}

void RuleSet::LoadParameters(RuleSets& owner, std::optional<qint32> id) {
    ClearParameters();
    auto& channel = owner.channel();
    channel.AddNumericField("ID", id.value_or(Id));
    channel.AddField("OI", owner.operatorId());
    const qint16 status = channel.SendRequest("GET_RULE_SET_PARAMETERS");
    if (status != 0) {
        ShowRuleSetWarning(owner.platform(),
                           status == 6 ? msg::ViewParameters : msg::LoadParameters);
        return;
    }
    while (channel.NextRecord("PN"))
        Parameters.push_back({channel.GetField("PN"), channel.GetField("PV")});
}

QString RuleSet::GetParameter(const QString& name) const {
    for (const auto& parameter : Parameters)
        if (parameter.Name == name)
            return parameter.Value;
    return {};
}

void RuleSet::SetParameter(const QString& name, const QString& value) {
    for (auto& parameter : Parameters)
        if (parameter.Name == name) {
            parameter.Value = value;
            return;
        }
    Parameters.push_back({name, value});
}

qint32 RuleSet::Save(RuleSets& owner, int ruleType, const QString& name,
                     const QString& description) const {
    auto& channel = owner.channel();
    if (Id > 0)
        channel.AddNumericField("ID", Id);
    channel.AddNumericField("RT", ruleType);
    channel.AddField("NM", name);
    channel.AddField("DSC", description);
    channel.AddField("OI", owner.operatorId());
    // The server numbers the order by position; client-side orders do not travel.
    qint32 position = 0;
    for (const auto& link : Links) {
        channel.AddNumericField("RDID", link.DocId);
        channel.AddNumericField("RO", position++);
    }
    for (const auto& parameter : Parameters) {
        channel.AddField("PN", parameter.Name);
        channel.AddField("PV", parameter.Value);
    }
    const qint16 status = channel.SendRequest("SAVE_RULE_SET");
    if (status == 0)
        return channel.GetNumericField("ID");
    ShowRuleSetWarning(owner.platform(), status == 4 ? msg::GroupNameTaken : msg::SaveGroup);
    return 0;
}

void RuleSet::AddToList(QComboBox& list) const { list.addItem(Name, Id); }

void RuleSet::FillLinkedGrid(RuleSets& owner, Grid& grid, int ruleType,
                             const QString& keyToSelect) const {
    grid.ClearRows();
    int selected = -1;
    for (const auto& link : Links) {
        const auto* document = owner.GetRuleDocument(ruleType, link.DocId);
        if (!document)
            continue;
        const int row = grid.AddRow({QString::fromStdString(document->Name)}, link.DocId);
        grid.item(row, 0)->setData(LinkKeyRole, keyOf(link));
        if (keyOf(link) == keyToSelect)
            selected = row;
    }
    SelectGridRow(grid, selected, -1);
}

QString RuleSet::LinkKeyAt(const Grid& grid, int row) {
    const auto* item = row >= 0 ? grid.item(row, 0) : nullptr;
    return item ? item->data(LinkKeyRole).toString() : QString();
}

void RuleSet::FillAvailableGrid(RuleSets& owner, Grid& grid, int ruleType,
                                qint32 idToSelect) const {
    grid.ClearRows();
    const auto* documents = owner.GetRuleDocuments(ruleType);
    if (!documents)
        return;
    for (int i = 0; i < documents->Count(); ++i) {
        const auto& document = documents->At(i);
        if (ruleType == MatchType && document.IsMatchCodeDocument())
            continue;
        if (IsNotLinked(document))
            grid.AddRow({QString::fromStdString(document.Name)}, document.Id);
    }
    if (grid.rowCount() > 0)
        grid.sortItems(0, Qt::AscendingOrder);
    SelectGridRow(grid, -1, idToSelect);
}

const rules::RuleDocument* RuleSet::TakeMatchCodeRuleDocument(RuleSets& owner) {
    for (auto it = Links.begin(); it != Links.end(); ++it) {
        const auto* document = owner.GetRuleDocument(MatchType, it->DocId);
        if (document && document->IsMatchCodeDocument()) {
            Links.erase(it);
            return document;
        }
    }
    return nullptr;
}

} // namespace velumar
