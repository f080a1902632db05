#include "merge_rules_grid.h"

#include "merge_rules.h"
#include "rule_document.h"
#include "rule_set.h"
#include "rule_sets.h"

#include <QComboBox>
#include <QHeaderView>

namespace velumar {

namespace {

constexpr int MergeType = 4;
constexpr int CategoryRole = Qt::UserRole;

QTableWidgetItem* tickBox(bool ticked, const QString& text = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QTableWidgetItem* closedCell(const QString& text = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(QColor(0xe0, 0xe0, 0xe0));
    return item;
}

bool ticked(const QTableWidgetItem* item) {
    return item && item->checkState() == Qt::Checked;
}

// "4XX" and "5XX" carry an ignore option of their own.
QString ignoreParameter(const QString& category) {
    if (category == QLatin1String("4XX"))
        return QStringLiteral("IGNORE_4XX_MATCHED_008");
    if (category == QLatin1String("5XX"))
        return QStringLiteral("IGNORE_5XX_MATCHED_008");
    return {};
}

// The field list is closed where a category names a single tag or a position.
bool takesFields(const QString& category) {
    return category != QLatin1String("043") && category != QLatin1String("781") &&
           !merge_rules::Is008Row(category);
}

// The category's option as linked: the label of its linked merge document.
QString linkedOption(RuleSets& ruleSets, const RuleSet& merge, const QString& category) {
    for (const auto& link : merge.Links) {
        const auto* document = ruleSets.GetRuleDocument(MergeType, link.DocId);
        if (!document || merge.IsDoNotMergeRuleDocument(*document))
            continue;
        const auto coded = RuleSet::SplitCodedName(QString::fromStdString(document->Name));
        if (coded.code == category)
            return coded.label;
    }
    return {};
}

} // namespace

MergeRulesGrid::MergeRulesGrid(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("vsfMergeRules"));
    setColumnCount(5);
    setHorizontalHeaderLabels({QStringLiteral("Fields"), QStringLiteral("Retention"),
                               QStringLiteral("Add $5"), QStringLiteral("Only fields"),
                               QStringLiteral("Ignore 008/29")});
    horizontalHeaderItem(FieldsColumn)
        ->setToolTip(QStringLiteral("Apply Only To Fields: three-digit tags, separated by commas"));
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    horizontalHeader()->setSectionResizeMode(OptionColumn, QHeaderView::Stretch);
    horizontalHeader()->resizeSection(LabelColumn, 150);
    horizontalHeader()->resizeSection(AddSub5Column, 56);
    horizontalHeader()->resizeSection(FieldsColumn, 96);
    horizontalHeader()->resizeSection(IgnoreColumn, 96);
    const auto categories = merge_rules::Categories();
    setRowCount(static_cast<int>(categories.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const auto& entry = categories[static_cast<std::size_t>(row)];
        const QString code = QString::fromLatin1(entry.code);
        const QString label = QString::fromLatin1(entry.label);
        const bool tickRow = entry.options == merge_rules::Options::TickBox;
        auto* name = tickRow ? tickBox(false, label) : closedCell(label);
        name->setBackground(QBrush());
        name->setData(CategoryRole, code);
        setItem(row, LabelColumn, name);
        if (tickRow) {
            for (int column : {OptionColumn, AddSub5Column, FieldsColumn, IgnoreColumn})
                setItem(row, column, closedCell());
            continue;
        }
        auto* options = new QComboBox;
        options->addItems(merge_rules::OptionsOf(entry));
        setCellWidget(row, OptionColumn, options);
        setItem(row, AddSub5Column, tickBox(false));
        setItem(row, FieldsColumn, takesFields(code) ? new QTableWidgetItem : closedCell());
        if (const QString ignore = ignoreParameter(code); !ignore.isEmpty()) {
            auto* option = tickBox(false);
            option->setToolTip(code == QLatin1String("4XX")
                                   ? QStringLiteral("Ignore existing 4xx if existing 008/29 = 'b' "
                                                    "and incoming 008/29 = 'a'")
                                   : QStringLiteral("Ignore existing 5xx if existing 008/29 = 'b' "
                                                    "and incoming 008/29 = 'a'"));
            setItem(row, IgnoreColumn, option);
        } else {
            setItem(row, IgnoreColumn, closedCell());
        }
    }
}

QString MergeRulesGrid::category(int row) const {
    return item(row, LabelColumn)->data(CategoryRole).toString();
}

int MergeRulesGrid::RowOf(const QString& code) const {
    for (int row = 0; row < rowCount(); ++row)
        if (category(row) == code)
            return row;
    return -1;
}

QString MergeRulesGrid::Option(int row) const {
    const auto* options = qobject_cast<QComboBox*>(cellWidget(row, OptionColumn));
    return options ? options->currentText() : QString();
}

void MergeRulesGrid::SetOption(int row, const QString& option) {
    if (auto* options = qobject_cast<QComboBox*>(cellWidget(row, OptionColumn)))
        options->setCurrentIndex(std::max(0, options->findText(option)));
}

void MergeRulesGrid::Load(RuleSets& ruleSets, const RuleSet& merge) {
    for (int row = 0; row < rowCount(); ++row) {
        const QString code = category(row);
        const QString linked = linkedOption(ruleSets, merge, code);
        if (merge_rules::Is008Row(code)) {
            item(row, LabelColumn)->setCheckState(linked.isEmpty() ? Qt::Unchecked : Qt::Checked);
            continue;
        }
        // No link: the default, the first option.
        SetOption(row, linked);
        item(row, AddSub5Column)
            ->setCheckState(merge.IsParameterSet("ADD_SUB5_" + code) ? Qt::Checked : Qt::Unchecked);
        if (takesFields(code))
            item(row, FieldsColumn)->setText(merge.GetParameter("FIELDS_" + code));
        if (const QString ignore = ignoreParameter(code); !ignore.isEmpty())
            item(row, IgnoreColumn)
                ->setCheckState(merge.IsParameterSet(ignore) ? Qt::Checked : Qt::Unchecked);
    }
}

void MergeRulesGrid::Store(RuleSets& ruleSets, RuleSet& merge) const {
    const auto link = [&](const QString& name) {
        if (const auto id = ruleSets.FindMergeRuleDocumentId(MergeType, name))
            merge.AddLink(*id);
    };
    for (int row = 0; row < rowCount(); ++row) {
        const QString code = category(row);
        if (merge_rules::Is008Row(code)) {
            if (ticked(item(row, LabelColumn)))
                link(code + '|' + item(row, LabelColumn)->text());
            continue;
        }
        // The first option is the default, kept by no link and no parameter.
        const QString option = Option(row);
        if (option == merge_rules::GeneralOptions().front() ||
            option == merge_rules::HeadingOptions().front())
            continue;
        link(code + '|' + option);
        if (ticked(item(row, AddSub5Column)))
            merge.SetParameter("ADD_SUB5_" + code, QStringLiteral("Y"));
        if (takesFields(code)) {
            const QString fields =
                merge_rules::ValidateFieldList(code, item(row, FieldsColumn)->text());
            if (!fields.isEmpty())
                merge.SetParameter("FIELDS_" + code, fields);
        }
        if (const QString ignore = ignoreParameter(code);
            !ignore.isEmpty() && ticked(item(row, IgnoreColumn)))
            merge.SetParameter(ignore, QStringLiteral("Y"));
    }
}

} // namespace velumar
