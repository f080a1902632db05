#include "rule_document_screen.h"

#include "files/file_system.h"
#include "grid/grid.h"
#include "platform/platform_services.h"
#include "preferences/preferences.h"
#include "request_channel.h"
#include "rule_document_requests.h"
#include "rule_screen_kind.h"
#include "rule_set_file.h"
#include "rule_set_messages.h"
#include "rule_sets.h"
#include "rules_grid_panel.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace velumar {

namespace {

constexpr int ScanType = 1;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// A document of its own to edit: Cancel leaves the listed one as the server gave it.
rules::RuleDocument editableCopy(const rules::RuleDocument& listed) {
    rules::RuleDocument copy;
    copy.Id = listed.Id;
    copy.Name = listed.Name;
    copy.Description = listed.Description;
    copy.CreatedBy = listed.CreatedBy;
    copy.UpdatedBy = listed.UpdatedBy;
    copy.UpdateDate = listed.UpdateDate;
    copy.LoadText(listed.Text);
    return copy;
}

} // namespace

RuleDocumentScreen::RuleDocumentScreen(SessionState& state, const RuleScreenKind& kind,
                                       QWidget* parent)
    : RuleObjectScreen(state, kind, parent), rules_(new RulesGridPanel(state, kind.ruleType)),
      cmdExport_(MakeButton("cmdExport", QStringLiteral("E&xport..."))),
      cmdImport_(MakeButton("cmdImport", QStringLiteral("&Import..."))) {
    ListButtons()->addWidget(cmdExport_);
    ListButtons()->addWidget(cmdImport_);
    EditBody()->addWidget(rules_, 1);
    connect(cmdExport_, &QPushButton::clicked, this, &RuleDocumentScreen::Export);
    connect(cmdImport_, &QPushButton::clicked, this, &RuleDocumentScreen::Import);
    setButtons();
}

void RuleDocumentScreen::SetDialogRunner(DialogRunner runner) {
    rules_->SetDialogRunner(std::move(runner));
}

void RuleDocumentScreen::RedrawRuleHighlighting() {
    rules_->RedrawHighlighting();
}

void RuleDocumentScreen::load() {
    ruleSets_.LoadRuleDocuments(kind_.ruleType);
}

void RuleDocumentScreen::fill(Grid& grid, qint32 selectId) {
    ruleSets_.FillRuleDocumentGrid(kind_.ruleType, grid, selectId);
}

std::optional<RuleObjectScreen::Shown> RuleDocumentScreen::shown(qint32 id) {
    const auto* document = ruleSets_.GetRuleDocument(kind_.ruleType, id);
    if (!document)
        return std::nullopt;
    return Shown{text(document->Name), text(document->Description), text(document->UpdateDate),
                 text(document->LastEditor())};
}

bool RuleDocumentScreen::begin(std::optional<rules::RuleDocument> document) {
    if (!document)
        return false;
    document_ = std::move(document);
    rules_->SetDocument(&*document_);
    return true;
}

bool RuleDocumentScreen::prepareNew() {
    return begin(rules::RuleDocument());
}

bool RuleDocumentScreen::prepareCopy(qint32 id) {
    return begin(ruleSets_.CopyRuleDocument(kind_.ruleType, id));
}

bool RuleDocumentScreen::prepareEdit(qint32 id) {
    const auto* listed = ruleSets_.GetRuleDocument(kind_.ruleType, id);
    return listed && begin(editableCopy(*listed));
}

RuleObjectScreen::Shown RuleDocumentScreen::working() const {
    if (!document_)
        return {};
    return {text(document_->Name), text(document_->Description), text(document_->UpdateDate),
            text(document_->LastEditor())};
}

qint32 RuleDocumentScreen::saveWorking(const QString& name, const QString& description) {
    const QString error =
        rules::channel::SaveRuleDocument(state_.channel(), *document_, kind_.ruleType, name,
                                         description, state_.session().OperatorId());
    if (!error.isEmpty()) {
        ShowRuleSetWarning(state_.platform(), error);
        return 0;
    }
    return document_->Id;
}

void RuleDocumentScreen::deleteObject(qint32 id) {
    ruleSets_.DeleteRuleDocument(id);
}

void RuleDocumentScreen::discardWorking() {
    rules_->SetDocument(nullptr);
    document_.reset();
}

void RuleDocumentScreen::setButtons() {
    RuleObjectScreen::setButtons();
    const bool idle = !EditInProgress();
    cmdExport_->setEnabled(idle && SelectedId() >= 0 && shown(SelectedId()).has_value());
    cmdImport_->setEnabled(idle && MayAdd());
}

QString RuleDocumentScreen::folder() const {
    const Preferences& preferences = state_.preferences();
    return kind_.ruleType == ScanType ? preferences.DslrScanDir() : preferences.DslrDataChangeDir();
}

void RuleDocumentScreen::Export() {
    if (!cmdExport_->isEnabled())
        return;
    FileSystem files(state_.platform(), &state_.securityProfile());
    ExportRuleDocument(ruleSets_, files, kind_.ruleType, SelectedId(), folder());
}

void RuleDocumentScreen::Import() {
    if (!cmdImport_->isEnabled())
        return;
    FileSystem files(state_.platform(), &state_.securityProfile());
    if (begin(ImportRuleDocument(files, folder())))
        openPanel(QString::fromLatin1(rule_screen_kinds::ImportCaption));
}

} // namespace velumar
