#pragma once
// The rule set groups of one type ("Data Change Rule Set Groups", "Scan
// Rule Set Groups", "Load Reconcile Configuration"): each group listed,
// made new, copied or edited with its linked rule sets, saved and deleted.

#include "rule_object_screen.h"
#include "rule_set.h"

#include <optional>

namespace velumar {

class LinkGrids;

class RuleSetGroupScreen : public RuleObjectScreen {
    Q_OBJECT
public:
    RuleSetGroupScreen(SessionState& state, const RuleScreenKind& kind, QWidget* parent = nullptr);

    // The group being edited; null when no edit is open.
    RuleSet* Working() { return group_ ? &*group_ : nullptr; }
    LinkGrids& Links() const { return *links_; }

protected:
    void load() override;
    void fill(Grid& grid, qint32 selectId) override;
    std::optional<Shown> shown(qint32 id) override;
    bool prepareNew() override;
    bool prepareCopy(qint32 id) override;
    bool prepareEdit(qint32 id) override;
    Shown working() const override;
    qint32 saveWorking(const QString& name, const QString& description) override;
    void deleteObject(qint32 id) override;
    void discardWorking() override;

    // The listed group of this id; null when it is not listed.
    const RuleSet* listed(qint32 id);
    bool begin(std::optional<RuleSet> group);

    std::optional<RuleSet> group_;
    LinkGrids* links_;
};

} // namespace velumar
