#include "multiple_matches_grid.h"

#include "merge_rules.h"
#include "rule_set.h"

#include <QHeaderView>

namespace velumar {

namespace {

constexpr int ParameterRole = Qt::UserRole;

} // namespace

MultipleMatchesGrid::MultipleMatchesGrid(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("vsfMultiReduce"));
    setColumnCount(1);
    setHorizontalHeaderLabels({QStringLiteral("Merge multiple matches of type")});
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    const auto types = merge_rules::MultipleMatchTypes();
    setRowCount(static_cast<int>(types.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const auto& type = types[static_cast<std::size_t>(row)];
        auto* item = new QTableWidgetItem(QString::fromLatin1(type.label));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        item->setData(ParameterRole, QString::fromLatin1(type.parameter));
        setItem(row, 0, item);
    }
}

void MultipleMatchesGrid::Load(const RuleSet& merge) {
    for (int row = 0; row < rowCount(); ++row)
        item(row, 0)->setCheckState(
            merge.IsParameterSet(item(row, 0)->data(ParameterRole).toString()) ? Qt::Checked
                                                                               : Qt::Unchecked);
}

void MultipleMatchesGrid::Store(RuleSet& merge) const {
    for (int row = 0; row < rowCount(); ++row)
        merge.SetParameter(item(row, 0)->data(ParameterRole).toString(),
                           item(row, 0)->checkState() == Qt::Checked ? QStringLiteral("Y")
                                                                     : QStringLiteral("N"));
}

} // namespace velumar
