#pragma once
// The do-not-merge conditions of a merge configuration (vsfDoNotMerge):
// every such merge document, ticked when linked, with the value the
// conditions that need one are given; the value cell of the others is shaded
// and closed.

#include <QTableWidget>

namespace velumar {

class RuleSet;
class RuleSets;

class DoNotMergeGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit DoNotMergeGrid(QWidget* parent = nullptr);

    void Load(RuleSets& ruleSets, const RuleSet& merge);
    // The first ticked row whose condition needs a value and has none; -1 when every one has.
    int FirstMissingInput() const;
    QString Label(int row) const;
    // Links the ticked conditions and sets their values on the merge group.
    void Store(RuleSet& merge) const;

    static constexpr int ConditionColumn = 0;
    static constexpr int ValueColumn = 1;

private:
    QString code(int row) const;
};

} // namespace velumar
