#include "do_not_merge_grid.h"

#include "merge_rules.h"
#include "rule_document.h"
#include "rule_set.h"
#include "rule_sets.h"

#include <QHeaderView>

namespace velumar {

namespace {

constexpr int MergeType = 4;
constexpr int DocumentRole = Qt::UserRole;
constexpr int CodeRole = Qt::UserRole + 1;

} // namespace

DoNotMergeGrid::DoNotMergeGrid(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("vsfDoNotMerge"));
    setColumnCount(2);
    setHorizontalHeaderLabels({QStringLiteral("Do not merge if"), QStringLiteral("Value")});
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    horizontalHeader()->setSectionResizeMode(ConditionColumn, QHeaderView::Stretch);
    horizontalHeader()->resizeSection(ValueColumn, 110);
}

void DoNotMergeGrid::Load(RuleSets& ruleSets, const RuleSet& merge) {
    setRowCount(0);
    const auto* documents = ruleSets.GetRuleDocuments(MergeType);
    for (int i = 0; documents && i < documents->Count(); ++i) {
        const auto& document = documents->At(i);
        if (!merge.IsDoNotMergeRuleDocument(document))
            continue;
        const QString name = QString::fromStdString(document.Name);
        const auto coded = RuleSet::SplitCodedName(name);
        const int row = rowCount();
        insertRow(row);
        auto* condition = new QTableWidgetItem(coded.label);
        condition->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        condition->setCheckState(merge.IsLinked(document.Id) ? Qt::Checked : Qt::Unchecked);
        condition->setData(DocumentRole, document.Id);
        condition->setData(CodeRole, coded.code);
        setItem(row, ConditionColumn, condition);
        auto* value = new QTableWidgetItem(merge.GetDoNotMergeInput(name));
        if (!RuleSet::RequiresInput(coded.code)) {
            // Nothing to enter for this condition.
            value->setFlags(Qt::ItemIsEnabled);
            value->setBackground(QColor(0xe0, 0xe0, 0xe0));
        }
        setItem(row, ValueColumn, value);
    }
}

QString DoNotMergeGrid::code(int row) const {
    return item(row, ConditionColumn)->data(CodeRole).toString();
}

QString DoNotMergeGrid::Label(int row) const {
    return item(row, ConditionColumn)->text();
}

int DoNotMergeGrid::FirstMissingInput() const {
    for (int row = 0; row < rowCount(); ++row)
        if (item(row, ConditionColumn)->checkState() == Qt::Checked &&
            RuleSet::RequiresInput(code(row)) && item(row, ValueColumn)->text().trimmed().isEmpty())
            return row;
    return -1;
}

void DoNotMergeGrid::Store(RuleSet& merge) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (item(row, ConditionColumn)->checkState() != Qt::Checked)
            continue;
        merge.AddLink(item(row, ConditionColumn)->data(DocumentRole).toInt());
        const QString value = item(row, ValueColumn)->text().trimmed();
        const QString parameter = merge_rules::InputParameter(code(row));
        if (!value.isEmpty() && !parameter.isEmpty())
            merge.SetParameter(parameter, value);
    }
}

} // namespace velumar
