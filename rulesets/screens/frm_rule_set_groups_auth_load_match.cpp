#include "frm_rule_set_groups_auth_load_match.h"

#include "link_grids.h"
#include "rule_document.h"
#include "rule_screen_kind.h"
#include "rule_sets.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velumar {

namespace {

constexpr int MatchType = 3;
constexpr char ProfileCode[] = "MATCH_PROFILE_CODE";
constexpr char MatchIdTag[] = "MULTIMATCH_TAG";

QLineEdit* readOnly(const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

QHBoxLayout* settingsRow(const QString& tagCaption, QWidget* tag, const QString& profileCaption,
                         QWidget* profile) {
    auto* row = new QHBoxLayout;
    auto* tagLabel = new QLabel(tagCaption);
    tagLabel->setBuddy(tag);
    auto* profileLabel = new QLabel(profileCaption);
    profileLabel->setBuddy(profile);
    row->addWidget(profileLabel);
    row->addWidget(profile, 1);
    row->addWidget(tagLabel);
    row->addWidget(tag);
    return row;
}

} // namespace

frmRuleSetGroups_AuthLoadMatch::frmRuleSetGroups_AuthLoadMatch(SessionState& state, QWidget* parent)
    : RuleSetGroupScreen(state, rule_screen_kinds::LoadMatchConfigurations, parent),
      txtViewMatchIdTag_(readOnly("txtViewMatchIdTag")),
      txtViewProfile_(readOnly("txtViewProfile")), cboProfile_(new QComboBox),
      txtMatchIdTag_(new QLineEdit) {
    cboProfile_->setObjectName(QStringLiteral("cboProfile"));
    txtMatchIdTag_->setObjectName(QStringLiteral("txtMatchIdTag"));
    txtMatchIdTag_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,3}")), txtMatchIdTag_));
    for (QLineEdit* tag : {txtViewMatchIdTag_, txtMatchIdTag_})
        tag->setMaximumWidth(60);
    ViewBody()->addLayout(settingsRow(QStringLiteral("Match id tag:"), txtViewMatchIdTag_,
                                      QStringLiteral("Profile:"), txtViewProfile_));
    EditBody()->insertLayout(0, settingsRow(QStringLiteral("Match id &tag:"), txtMatchIdTag_,
                                            QStringLiteral("P&rofile:"), cboProfile_));
}

void frmRuleSetGroups_AuthLoadMatch::Activate() {
    if (!profilesLoaded_ && !EditInProgress()) {
        BusyGuard busy(state_.busy());
        ruleSets_.LoadDupeDetectionProfiles();
        profilesLoaded_ = true;
    }
    RuleSetGroupScreen::Activate();
}

void frmRuleSetGroups_AuthLoadMatch::showSelected(qint32 id) {
    const RuleSet* group = listed(id);
    if (!group) {
        txtViewMatchIdTag_->clear();
        txtViewProfile_->clear();
        return;
    }
    // The settings are parameters, read for the group shown.
    RuleSet settings = *group;
    BusyGuard busy(state_.busy());
    settings.LoadParameters(ruleSets_);
    ruleSets_.ShowMatchSettings(&settings, *txtViewMatchIdTag_, *txtViewProfile_);
}

void frmRuleSetGroups_AuthLoadMatch::showSettings() {
    // Linked last on every save, never offered: not in the lists while editing.
    group_->TakeMatchCodeRuleDocument(ruleSets_);
    Links().SetKeptDocument(ruleSets_.FindRuleDocumentId(QString::fromLatin1(DeleteByAuthStatus)));
    Links().Refill();
    ruleSets_.FillDupeDetectionProfileCombo(*cboProfile_, group_->GetParameter(ProfileCode));
    txtMatchIdTag_->setText(group_->GetParameter(MatchIdTag));
}

bool frmRuleSetGroups_AuthLoadMatch::prepareNew() {
    if (!RuleSetGroupScreen::prepareNew())
        return false;
    // A missing document is simply not linked.
    if (const qint32 id = ruleSets_.FindRuleDocumentId(QString::fromLatin1(DeleteByAuthStatus)))
        group_->AddLink(id);
    showSettings();
    return true;
}

bool frmRuleSetGroups_AuthLoadMatch::prepareCopy(qint32 id) {
    if (!RuleSetGroupScreen::prepareCopy(id))
        return false;
    group_->LoadParameters(ruleSets_, id);
    showSettings();
    return true;
}

bool frmRuleSetGroups_AuthLoadMatch::prepareEdit(qint32 id) {
    if (!RuleSetGroupScreen::prepareEdit(id))
        return false;
    group_->LoadParameters(ruleSets_);
    showSettings();
    return true;
}

qint32 frmRuleSetGroups_AuthLoadMatch::saveWorking(const QString& name,
                                                   const QString& description) {
    const qint32 matchCode = ruleSets_.FindRuleDocumentId(
        QString::fromUtf8(rules::kMatchCodeDocumentName.data(),
                          static_cast<qsizetype>(rules::kMatchCodeDocumentName.size())));
    if (matchCode != 0)
        group_->AddLink(matchCode);
    const qint32 profile = cboProfile_->currentIndex() < 0 ? 0 : cboProfile_->currentData().toInt();
    group_->SetParameter(ProfileCode, ruleSets_.GetDupeDetectionProfileCode(profile));
    group_->SetParameter(MatchIdTag, txtMatchIdTag_->text());
    const qint32 id = group_->Save(ruleSets_, MatchType, name, description);
    // Kept out of the lists for another try.
    if (id <= 0)
        group_->TakeMatchCodeRuleDocument(ruleSets_);
    return id;
}

} // namespace velumar
