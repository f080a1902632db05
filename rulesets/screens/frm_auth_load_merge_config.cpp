#include "frm_auth_load_merge_config.h"

#include "do_not_merge_grid.h"
#include "link_grids.h"
#include "merge_rules_grid.h"
#include "multiple_matches_grid.h"
#include "platform/platform_services.h"
#include "rule_sets.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velumar {

namespace {

constexpr int ChooseBestType = 5;

} // namespace

frmAuthLoadMergeConfig::frmAuthLoadMergeConfig(RuleSets& ruleSets, PlatformServices& platform,
                                               RuleSet& merge, RuleSet& chooseBest, QWidget* parent)
    : QDialog(parent), ruleSets_(ruleSets), platform_(platform), merge_(merge),
      chooseBest_(chooseBest), working_(chooseBest.CloneLinks()), tabs_(new QTabWidget),
      vsfMergeRules_(new MergeRulesGrid), vsfDoNotMerge_(new DoNotMergeGrid),
      vsfMultiReduce_(new MultipleMatchesGrid),
      bestMatch_(new LinkGrids(ruleSets, QStringLiteral("vsfBestMatchRules"),
                               QStringLiteral("vsfBestMatchSelected"))) {
    setObjectName(QStringLiteral("frmAuthLoadMergeConfig"));
    setWindowTitle(QStringLiteral("Load Merge Configuration Rules"));
    setModal(true);
    vsfMergeRules_->Load(ruleSets_, merge_);
    vsfDoNotMerge_->Load(ruleSets_, merge_);
    vsfMultiReduce_->Load(merge_);
    bestMatch_->SetGroup(&working_, ChooseBestType);

    tabs_->addTab(vsfMergeRules_, QStringLiteral("&Merge Rules"));
    tabs_->addTab(vsfDoNotMerge_, QStringLiteral("&Do Not Merge If"));
    tabs_->addTab(vsfMultiReduce_, QStringLiteral("Merge Multiple &Matches"));
    tabs_->addTab(bestMatch_, QStringLiteral("&Best Match Rules"));
    auto* buttons = new QDialogButtonBox;
    QPushButton* cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cmdCancel =
        buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmAuthLoadMergeConfig::Confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addWidget(buttons);
    resize(720, 480);
}

frmAuthLoadMergeConfig::~frmAuthLoadMergeConfig() = default;

void frmAuthLoadMergeConfig::Confirm() {
    if (const int row = vsfDoNotMerge_->FirstMissingInput(); row >= 0) {
        tabs_->setCurrentWidget(vsfDoNotMerge_);
        vsfDoNotMerge_->setCurrentCell(row, DoNotMergeGrid::ValueColumn);
        vsfDoNotMerge_->setFocus();
        Message message;
        message.text = vsfDoNotMerge_->Label(row) + QString::fromLatin1(RequiresInputMessage);
        message.icon = MessageIcon::Exclamation;
        message.parent = this;
        platform_.ShowMessage(message);
        return;
    }
    merge_.ClearLinks();
    merge_.ClearParameters();
    vsfMultiReduce_->Store(merge_);
    vsfDoNotMerge_->Store(merge_);
    vsfMergeRules_->Store(ruleSets_, merge_);
    chooseBest_.CopyLinksFrom(working_);
    accept();
}

} // namespace velumar
