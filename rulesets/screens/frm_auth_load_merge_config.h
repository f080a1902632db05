#pragma once
// The merge and best match rules of one load merge configuration, edited
// together: the merge rules, the do-not-merge conditions, the kinds of
// heading whose multiple matches are merged, and the companion choose-best
// group's rule sets. OK checks that each ticked condition needing a value
// has one, then stores everything into the two groups (the merge group's
// links and parameters made anew); Cancel changes neither. Nothing is saved
// on the server here.

#include "rule_set.h"

#include <QDialog>

class QTabWidget;

namespace velumar {

class DoNotMergeGrid;
class LinkGrids;
class MergeRulesGrid;
class MultipleMatchesGrid;
class PlatformServices;
class RuleSets;

class frmAuthLoadMergeConfig : public QDialog {
    Q_OBJECT
public:
    static constexpr char RequiresInputMessage[] = " requires user input!";

    frmAuthLoadMergeConfig(RuleSets& ruleSets, PlatformServices& platform, RuleSet& merge,
                           RuleSet& chooseBest, QWidget* parent = nullptr);
    ~frmAuthLoadMergeConfig() override;

    void Confirm();

    MergeRulesGrid& MergeRules() const { return *vsfMergeRules_; }
    DoNotMergeGrid& DoNotMerge() const { return *vsfDoNotMerge_; }
    MultipleMatchesGrid& MultipleMatches() const { return *vsfMultiReduce_; }
    LinkGrids& BestMatch() const { return *bestMatch_; }

private:
    RuleSets& ruleSets_;
    PlatformServices& platform_;
    RuleSet& merge_;
    RuleSet& chooseBest_;
    // The best match links as edited; the companion takes them on OK.
    RuleSet working_;
    QTabWidget* tabs_;
    MergeRulesGrid* vsfMergeRules_;
    DoNotMergeGrid* vsfDoNotMerge_;
    MultipleMatchesGrid* vsfMultiReduce_;
    LinkGrids* bestMatch_;
};

} // namespace velumar
