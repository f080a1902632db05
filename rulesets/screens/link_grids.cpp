#include "link_grids.h"

#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "rule_set.h"
#include "rule_sets.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace velumar {

LinkGrids::LinkGrids(RuleSets& ruleSets, const QString& availableName, const QString& linkedName,
                     QWidget* parent)
    : QWidget(parent), ruleSets_(ruleSets), available_(new Grid), linked_(new Grid) {
    available_->setObjectName(availableName);
    available_->SetHeadings({QStringLiteral("Available")});
    linked_->setObjectName(linkedName);
    linked_->SetHeadings({QStringLiteral("Linked, in order")});
    // Available ones are listed by name; linked ones keep their order.
    for (Grid* grid : {available_, linked_})
        grid->horizontalHeader()->setSectionsClickable(false);
    const auto button = [](const char* name, const QString& caption) {
        auto* pushButton = new QPushButton(caption);
        pushButton->setObjectName(QString::fromLatin1(name));
        return pushButton;
    };
    cmdAddRule_ = button("cmdAddRule", QStringLiteral("&Add >"));
    cmdAddRulesAll_ = button("cmdAddRulesAll", QStringLiteral("Add A&ll >>"));
    cmdRemoveRule_ = button("cmdRemoveRule", QStringLiteral("< &Remove"));
    cmdRemoveRulesAll_ = button("cmdRemoveRulesAll", QStringLiteral("<< Remo&ve All"));
    cmdUp_ = button("cmdUp", QStringLiteral("&Up"));
    cmdDown_ = button("cmdDown", QStringLiteral("Do&wn"));
    connect(cmdAddRule_, &QPushButton::clicked, this, &LinkGrids::Add);
    connect(cmdAddRulesAll_, &QPushButton::clicked, this, &LinkGrids::AddAll);
    connect(cmdRemoveRule_, &QPushButton::clicked, this, &LinkGrids::Remove);
    connect(cmdRemoveRulesAll_, &QPushButton::clicked, this, &LinkGrids::RemoveAll);
    connect(cmdUp_, &QPushButton::clicked, this, &LinkGrids::MoveUp);
    connect(cmdDown_, &QPushButton::clicked, this, &LinkGrids::MoveDown);
    for (Grid* grid : {available_, linked_})
        connect(grid, &QTableWidget::itemSelectionChanged, this, &LinkGrids::setButtons);
    connect(available_, &QTableWidget::cellDoubleClicked, this, &LinkGrids::Add);
    connect(linked_, &QTableWidget::cellDoubleClicked, this, &LinkGrids::Remove);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* pushButton :
         {cmdAddRule_, cmdAddRulesAll_, cmdRemoveRule_, cmdRemoveRulesAll_})
        buttons->addWidget(pushButton);
    buttons->addStretch(1);
    auto* order = new QVBoxLayout;
    order->addStretch(1);
    order->addWidget(cmdUp_);
    order->addWidget(cmdDown_);
    order->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(available_, 1);
    layout->addLayout(buttons);
    layout->addWidget(linked_, 1);
    layout->addLayout(order);
    setButtons();
}

void LinkGrids::SetGroup(RuleSet* group, int ruleType) {
    group_ = group;
    ruleType_ = ruleType;
    Refill();
}

void LinkGrids::Refill() {
    refill(-1, {});
}

void LinkGrids::refill(qint32 availableRow, const QString& linkedKey, int linkedRow) {
    {
        const QSignalBlocker quietAvailable(available_);
        const QSignalBlocker quietLinked(linked_);
        available_->ClearRows();
        linked_->ClearRows();
        if (group_) {
            group_->FillAvailableGrid(ruleSets_, *available_, ruleType_);
            group_->FillLinkedGrid(ruleSets_, *linked_, ruleType_, linkedKey);
        }
        // The row in the place of the one just moved across, so the next press goes on.
        if (availableRow >= 0 && available_->rowCount() > 0)
            SelectGridRow(*available_, std::min(availableRow, available_->rowCount() - 1), -1);
        if (linkedRow >= 0 && linked_->rowCount() > 0)
            SelectGridRow(*linked_, std::min(linkedRow, linked_->rowCount() - 1), -1);
    }
    setButtons();
}

QString LinkGrids::selectedKey() const {
    const GridSelection selection = GetGridSelection(*linked_);
    return selection.row < 0 || !linked_->item(selection.row, 0)->isSelected()
               ? QString()
               : RuleSet::LinkKeyAt(*linked_, selection.row);
}

bool LinkGrids::kept(int linkedRow) const {
    return keptDocId_ != 0 && linked_->RowData(linkedRow) == keptDocId_;
}

void LinkGrids::setButtons() {
    const GridSelection availableSelection = GetGridSelection(*available_);
    const bool availableChosen =
        availableSelection.row >= 0 && available_->item(availableSelection.row, 0)->isSelected();
    const int linkedRow = selectedKey().isEmpty() ? -1 : GetGridSelection(*linked_).row;
    bool removable = false;
    for (int row = 0; row < linked_->rowCount(); ++row)
        removable = removable || !kept(row);
    cmdAddRule_->setEnabled(group_ && availableChosen);
    cmdAddRulesAll_->setEnabled(group_ && available_->rowCount() > 0);
    cmdRemoveRule_->setEnabled(group_ && linkedRow >= 0 && !kept(linkedRow));
    cmdRemoveRulesAll_->setEnabled(group_ && removable);
    cmdUp_->setEnabled(group_ && linkedRow > 0);
    cmdDown_->setEnabled(group_ && linkedRow >= 0 && linkedRow + 1 < linked_->rowCount());
}

void LinkGrids::Add() {
    if (!cmdAddRule_->isEnabled())
        return;
    const GridSelection selection = GetGridSelection(*available_);
    const QString key = group_->AddLink(selection.rowData);
    refill(selection.row, key);
    emit Changed();
}

void LinkGrids::AddAll() {
    if (!cmdAddRulesAll_->isEnabled())
        return;
    for (int row = 0; row < available_->rowCount(); ++row)
        group_->AddLink(available_->RowData(row));
    refill(-1, {});
    emit Changed();
}

void LinkGrids::Remove() {
    if (!cmdRemoveRule_->isEnabled())
        return;
    const int row = GetGridSelection(*linked_).row;
    group_->RemoveLink(selectedKey());
    refill(-1, {}, row);
    emit Changed();
}

void LinkGrids::RemoveAll() {
    if (!cmdRemoveRulesAll_->isEnabled())
        return;
    for (int row = 0; row < linked_->rowCount(); ++row)
        if (!kept(row))
            group_->RemoveLink(RuleSet::LinkKeyAt(*linked_, row));
    refill(-1, {});
    emit Changed();
}

void LinkGrids::MoveUp() {
    if (!cmdUp_->isEnabled())
        return;
    const QString key = selectedKey();
    group_->MoveLinkUp(key);
    refill(-1, key);
    emit Changed();
}

void LinkGrids::MoveDown() {
    if (!cmdDown_->isEnabled())
        return;
    const QString key = selectedKey();
    group_->MoveLinkDown(key);
    refill(-1, key);
    emit Changed();
}

} // namespace velumar
