#include "rule_set_group_screen.h"

#include "link_grids.h"
#include "rule_screen_kind.h"
#include "rule_sets.h"

#include <QVBoxLayout>

namespace velumar {

RuleSetGroupScreen::RuleSetGroupScreen(SessionState& state, const RuleScreenKind& kind,
                                       QWidget* parent)
    : RuleObjectScreen(state, kind, parent),
      links_(new LinkGrids(ruleSets_, QStringLiteral("vsfRules"), QStringLiteral("vsfSelected"))) {
    EditBody()->addWidget(links_, 1);
    setButtons();
}

void RuleSetGroupScreen::load() {
    ruleSets_.LoadRuleSets(kind_.ruleType);
}

void RuleSetGroupScreen::fill(Grid& grid, qint32 selectId) {
    ruleSets_.FillRuleSetGrid(kind_.ruleType, grid, selectId);
}

const RuleSet* RuleSetGroupScreen::listed(qint32 id) {
    auto* groups = ruleSets_.GetRuleSets(kind_.ruleType);
    return groups ? groups->Item(QString::number(id)) : nullptr;
}

std::optional<RuleObjectScreen::Shown> RuleSetGroupScreen::shown(qint32 id) {
    const RuleSet* group = listed(id);
    if (!group)
        return std::nullopt;
    return Shown{group->Name, group->Description, group->UpdateDate, group->LastOperator()};
}

bool RuleSetGroupScreen::begin(std::optional<RuleSet> group) {
    if (!group)
        return false;
    group_ = std::move(group);
    links_->SetGroup(&*group_, kind_.ruleType);
    return true;
}

bool RuleSetGroupScreen::prepareNew() {
    // The rule sets a new group may link.
    ruleSets_.LoadRuleDocuments(kind_.ruleType);
    return begin(RuleSet());
}

bool RuleSetGroupScreen::prepareCopy(qint32 id) {
    return begin(ruleSets_.CopyRuleSet(kind_.ruleType, id, false));
}

bool RuleSetGroupScreen::prepareEdit(qint32 id) {
    // A group of its own to edit: Cancel leaves the listed one as the server gave it.
    const RuleSet* group = ruleSets_.GetRuleSetWithLinks(kind_.ruleType, id, false);
    return group && begin(*group);
}

RuleObjectScreen::Shown RuleSetGroupScreen::working() const {
    if (!group_)
        return {};
    return {group_->Name, group_->Description, group_->UpdateDate, group_->LastOperator()};
}

qint32 RuleSetGroupScreen::saveWorking(const QString& name, const QString& description) {
    return group_->Save(ruleSets_, kind_.ruleType, name, description);
}

void RuleSetGroupScreen::deleteObject(qint32 id) {
    ruleSets_.DeleteRuleSet(id);
}

void RuleSetGroupScreen::discardWorking() {
    links_->SetGroup(nullptr, kind_.ruleType);
    group_.reset();
}

} // namespace velumar
