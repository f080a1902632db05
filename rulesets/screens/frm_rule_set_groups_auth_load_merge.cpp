#include "frm_rule_set_groups_auth_load_merge.h"

#include "frm_auth_load_merge_config.h"
#include "rule_screen_kind.h"
#include "rule_sets.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velumar {

namespace {

constexpr int MergeType = 4;
constexpr int ChooseBestType = 5;
constexpr char CompanionId[] = "LOAD_CHOOSE_BEST_RULE_SET_ID";
constexpr char ImportUnmatched[] = "IMPORT_UNMATCHED_RECORDS";
constexpr char NucCode[] = "LOCAL_NUC_CODE";
constexpr char NucCodeList[] = "LOCAL_NUC_CODE_LIST";
// The check box's state as the parameter holds it.
constexpr char Ticked[] = "1";
constexpr char NotTicked[] = "0";

QLineEdit* field(const char* name, bool readOnly) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    if (readOnly)
        edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

QCheckBox* importBox(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QGridLayout* settingsGrid(QCheckBox* import, QLineEdit* code, QLineEdit* list) {
    auto* grid = new QGridLayout;
    auto* codeLabel = new QLabel(QStringLiteral("Local NUC &code:"));
    codeLabel->setBuddy(code);
    auto* listLabel = new QLabel(QStringLiteral("NUC code &list:"));
    listLabel->setBuddy(list);
    grid->addWidget(import, 0, 0, 1, 2);
    grid->addWidget(codeLabel, 0, 2);
    grid->addWidget(code, 0, 3);
    grid->addWidget(listLabel, 1, 0);
    grid->addWidget(list, 1, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return grid;
}

} // namespace

frmRuleSetGroups_AuthLoadMerge::frmRuleSetGroups_AuthLoadMerge(SessionState& state, QWidget* parent)
    : RuleObjectScreen(state, rule_screen_kinds::LoadMergeConfigurations, parent),
      runDialog_(ModalDialogRunner()),
      chkViewImportUnmatched_(
          importBox("chkViewImportUnmatched", QStringLiteral("Import unmatched records"))),
      txtViewNucCode_(field("txtViewNucCode", true)),
      txtViewNucCodeList_(field("txtViewNucCodeList", true)),
      chkImportUnmatchedRecords_(
          importBox("chkImportUnmatchedRecords", QStringLiteral("&Import unmatched records"))),
      txtLocalNucCode_(field("txtLocalNucCode", false)),
      txtLocalNucCodeList_(field("txtLocalNucCodeList", false)), lstSummary_(new QListWidget),
      cmdEditRules_(MakeButton("cmdEditRules", QStringLiteral("Edit &Rules..."))) {
    // Shown, not changed, in the view panel.
    chkViewImportUnmatched_->setAttribute(Qt::WA_TransparentForMouseEvents);
    chkViewImportUnmatched_->setFocusPolicy(Qt::NoFocus);
    ViewBody()->addLayout(
        settingsGrid(chkViewImportUnmatched_, txtViewNucCode_, txtViewNucCodeList_));
    lstSummary_->setObjectName(QStringLiteral("lstSummary"));
    EditBody()->addLayout(
        settingsGrid(chkImportUnmatchedRecords_, txtLocalNucCode_, txtLocalNucCodeList_));
    auto* summaryRow = new QHBoxLayout;
    summaryRow->addWidget(lstSummary_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdEditRules_);
    buttons->addStretch(1);
    summaryRow->addLayout(buttons);
    EditBody()->addLayout(summaryRow, 1);
    connect(cmdEditRules_, &QPushButton::clicked, this, &frmRuleSetGroups_AuthLoadMerge::EditRules);
    setButtons();
}

void frmRuleSetGroups_AuthLoadMerge::load() {
    ruleSets_.LoadRuleSets(MergeType);
}

void frmRuleSetGroups_AuthLoadMerge::fill(Grid& grid, qint32 selectId) {
    ruleSets_.FillRuleSetGrid(MergeType, grid, selectId);
}

const RuleSet* frmRuleSetGroups_AuthLoadMerge::listed(qint32 id) {
    return ruleSets_.GetRuleSet(MergeType, id);
}

std::optional<RuleObjectScreen::Shown> frmRuleSetGroups_AuthLoadMerge::shown(qint32 id) {
    const RuleSet* group = listed(id);
    if (!group)
        return std::nullopt;
    return Shown{group->Name, group->Description, group->UpdateDate, group->LastOperator()};
}

void frmRuleSetGroups_AuthLoadMerge::showSelected(qint32 id) {
    RuleSet settings;
    if (const RuleSet* group = listed(id)) {
        // The settings are parameters, read for the configuration shown.
        settings = *group;
        BusyGuard busy(state_.busy());
        settings.LoadParameters(ruleSets_);
    }
    chkViewImportUnmatched_->setChecked(settings.GetParameter(ImportUnmatched) ==
                                        QLatin1String(Ticked));
    txtViewNucCode_->setText(settings.GetParameter(NucCode));
    txtViewNucCodeList_->setText(settings.GetParameter(NucCodeList));
}

qint32 frmRuleSetGroups_AuthLoadMerge::companionOf(const RuleSet& merge) {
    return merge.GetParameter(CompanionId).toInt();
}

bool frmRuleSetGroups_AuthLoadMerge::begin(std::optional<RuleSet> merge,
                                           std::optional<RuleSet> chooseBest) {
    if (!merge)
        return false;
    merge_ = std::move(merge);
    chooseBest_ = chooseBest ? std::move(chooseBest) : RuleSet();
    // The documents the rules dialog and the summary name.
    ruleSets_.LoadRuleDocuments(MergeType);
    ruleSets_.LoadRuleDocuments(ChooseBestType);
    chkImportUnmatchedRecords_->setChecked(merge_->GetParameter(ImportUnmatched) ==
                                           QLatin1String(Ticked));
    txtLocalNucCode_->setText(merge_->GetParameter(NucCode));
    txtLocalNucCodeList_->setText(merge_->GetParameter(NucCodeList));
    showSummary();
    return true;
}

bool frmRuleSetGroups_AuthLoadMerge::prepareNew() {
    return begin(RuleSet(), RuleSet());
}

bool frmRuleSetGroups_AuthLoadMerge::prepareEdit(qint32 id) {
    const RuleSet* group = ruleSets_.GetRuleSetWithLinks(MergeType, id, true);
    if (!group)
        return false;
    RuleSet merge = *group;
    merge.LoadParameters(ruleSets_);
    std::optional<RuleSet> chooseBest;
    if (const qint32 companion = companionOf(merge)) {
        ruleSets_.LoadRuleSets(ChooseBestType);
        if (const RuleSet* found = ruleSets_.GetRuleSetWithLinks(ChooseBestType, companion, true))
            chooseBest = *found;
    }
    return begin(std::move(merge), std::move(chooseBest));
}

bool frmRuleSetGroups_AuthLoadMerge::prepareCopy(qint32 id) {
    auto merge = ruleSets_.CopyRuleSet(MergeType, id, true);
    if (!merge)
        return false;
    merge->LoadParameters(ruleSets_, id);
    std::optional<RuleSet> chooseBest;
    if (const qint32 companion = companionOf(*merge)) {
        ruleSets_.LoadRuleSets(ChooseBestType);
        chooseBest = ruleSets_.CopyRuleSet(ChooseBestType, companion, true);
    }
    return begin(std::move(merge), std::move(chooseBest));
}

RuleObjectScreen::Shown frmRuleSetGroups_AuthLoadMerge::working() const {
    if (!merge_)
        return {};
    return {merge_->Name, merge_->Description, merge_->UpdateDate, merge_->LastOperator()};
}

void frmRuleSetGroups_AuthLoadMerge::showSummary() {
    lstSummary_->clear();
    if (!merge_)
        return;
    lstSummary_->addItems(merge_->DoNotMergeSummary(ruleSets_));
    lstSummary_->addItems(merge_->MergeRulesSummary(ruleSets_));
    lstSummary_->addItems(merge_->MergeMultipleMatchesSummary());
    lstSummary_->addItems(chooseBest_->BestMatchRulesSummary(ruleSets_));
}

void frmRuleSetGroups_AuthLoadMerge::EditRules() {
    if (!merge_ || !cmdEditRules_->isEnabled())
        return;
    frmAuthLoadMergeConfig rules(ruleSets_, state_.platform(), *merge_, *chooseBest_, this);
    if (runDialog_(rules) == QDialog::Accepted)
        showSummary();
}

qint32 frmRuleSetGroups_AuthLoadMerge::saveWorking(const QString& name,
                                                   const QString& description) {
    // The companion first: the merge group names it by its id.
    const qint32 companion = chooseBest_->Save(
        ruleSets_, ChooseBestType, name + QString::fromLatin1(CompanionSuffix), description);
    if (companion <= 0)
        return 0;
    // Saved now: another try updates it rather than making a second one.
    chooseBest_->Id = companion;
    merge_->SetParameter(CompanionId, QString::number(companion));
    merge_->SetParameter(
        ImportUnmatched,
        QString::fromLatin1(chkImportUnmatchedRecords_->isChecked() ? Ticked : NotTicked));
    merge_->SetParameter(NucCode, txtLocalNucCode_->text().trimmed());
    merge_->SetParameter(NucCodeList, txtLocalNucCodeList_->text().trimmed());
    const qint32 id = merge_->Save(ruleSets_, MergeType, name, description);
    if (id > 0)
        ruleSets_.LoadRuleSets(ChooseBestType);
    return id;
}

void frmRuleSetGroups_AuthLoadMerge::deleteObject(qint32 id) {
    const RuleSet* group = listed(id);
    if (!group)
        return;
    RuleSet settings = *group;
    settings.LoadParameters(ruleSets_);
    // The companion goes first; the configuration only when that did not fail.
    const qint32 companion = companionOf(settings);
    if (companion == 0 || !ruleSets_.DeleteRuleSet(companion))
        ruleSets_.DeleteRuleSet(id);
    ruleSets_.LoadRuleSets(ChooseBestType);
}

void frmRuleSetGroups_AuthLoadMerge::discardWorking() {
    merge_.reset();
    chooseBest_.reset();
    lstSummary_->clear();
}

void frmRuleSetGroups_AuthLoadMerge::setButtons() {
    RuleObjectScreen::setButtons();
    cmdEditRules_->setEnabled(merge_.has_value());
}

} // namespace velumar
