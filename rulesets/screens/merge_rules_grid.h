#pragma once
// The merge rules of a merge configuration (vsfMergeRules): one row per
// category, with the retention option chosen (its first option, the
// default, is stored as no link), "Add $5", "Apply Only To Fields" and, for
// 4XX and 5XX, the 008/29 ignore option; the three 008 rows are tick boxes.

#include <QTableWidget>

namespace velumar {

class RuleSet;
class RuleSets;

class MergeRulesGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit MergeRulesGrid(QWidget* parent = nullptr);

    // Each row as the merge group's links and parameters give it.
    void Load(RuleSets& ruleSets, const RuleSet& merge);
    // Links the chosen documents and sets their parameters on the merge
    // group, whose links and parameters the caller has emptied.
    void Store(RuleSets& ruleSets, RuleSet& merge) const;

    // The row of a category ("1XX", "00806"); -1 when there is none.
    int RowOf(const QString& category) const;
    // The option chosen on a row; empty on the 008 rows.
    QString Option(int row) const;
    void SetOption(int row, const QString& option);

    static constexpr int LabelColumn = 0;
    static constexpr int OptionColumn = 1;
    static constexpr int AddSub5Column = 2;
    static constexpr int FieldsColumn = 3;
    static constexpr int IgnoreColumn = 4;

private:
    QString category(int row) const;
};

} // namespace velumar
