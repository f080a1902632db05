#include "submit/frm_job_management_submit_change.h"

#include "channel.h"
#include "job_manager.h"
#include "record_sets.h"
#include "security/security_profile.h"
#include "session/order_configs.h"
#include "session/session_state.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"
#include "submit/option_group.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velumar {

namespace {

constexpr int DataChangeRules = 2;
const QString LibraryMarker = QStringLiteral("REQ_LIBRARY_ID");
const QString LocationMarker = QStringLiteral("REQ_LOCATION_ID");

// A frame of two options, one above the other.
QGroupBox* optionFrame(const QString& title, const char* name, OptionGroup* options,
                       const QString& first, const QString& second) {
    auto* frame = new QGroupBox(title);
    frame->setObjectName(QString::fromLatin1(name));
    auto* column = new QVBoxLayout(frame);
    column->addWidget(options->Add(0, first));
    column->addWidget(options->Add(1, second));
    return frame;
}

} // namespace

frmJobManagement_SubmitChange::frmJobManagement_SubmitChange(SessionState& state, QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitChange"), HelpContext,
                      {QStringLiteral("Data change job added."),
                       QStringLiteral("Operator not authorized to submit data change job."),
                       QStringLiteral("Failed to submit data change job. Error code = "), true},
                      RunChoice::Offered, parent),
      sets_(state.manager<RecordSets>()) {
    build();
    // The libraries never change during a run; the other lists on every activation.
    state.securityProfile().FillOwningLibraryCombo(*cboOwningLibrary_);
    registration_ = sets_.Screens().Register([this](qint32) { refillRecordSets(); });
    resetInputs();
    finishLayout();
}

void frmJobManagement_SubmitChange::build() {
    cboRecordSet_ = MakeList("cboRecordSet");
    cboRuleSet_ = MakeList("cboRuleSet");
    form()->addRow(QStringLiteral("R&ecord Set Name:"), cboRecordSet_);
    form()->addRow(QStringLiteral("&Rule Set Group Name:"), cboRuleSet_);

    optUpdate_ = new OptionGroup("optUpdate", this);
    optIndex_ = new OptionGroup("optIndex", this);
    // One above the other, so that neither is cut in a narrow work area.
    auto* frames = new QVBoxLayout;
    frames->addWidget(optionFrame(QStringLiteral("Update Database"), "fraUpdate", optUpdate_,
                                  QStringLiteral("&Update database"),
                                  QStringLiteral("&Do not update database (preview)")));
    fraIndex_ = optionFrame(QStringLiteral("Keyword Indexing"), "fraIndex", optIndex_,
                            QStringLiteral("Run records through &keyword index"),
                            QStringLiteral("Do &not run records through keyword index"));
    frames->addWidget(fraIndex_);
    form()->addRow(frames);

    cboOwningLibrary_ = MakeList("cboOwningLibrary");
    cboLocation_ = MakeList("cboLocation");
    cboFieldOrderConfig_ = MakeList("cboFieldOrderConfig");
    lblOwningLibrary_ = new QLabel(QStringLiteral("Change O&wning Library:"));
    lblOwningLibrary_->setObjectName(QStringLiteral("lblOwningLibrary"));
    lblOwningLibrary_->setBuddy(cboOwningLibrary_);
    lblLocation_ = new QLabel(QStringLiteral("Update &Location:"));
    lblLocation_->setObjectName(QStringLiteral("lblLocation"));
    lblLocation_->setBuddy(cboLocation_);
    form()->addRow(lblOwningLibrary_, cboOwningLibrary_);
    form()->addRow(lblLocation_, cboLocation_);
    form()->addRow(QStringLiteral("Field Order Confi&guration:"), cboFieldOrderConfig_);

    connect(cboRuleSet_, &QComboBox::currentIndexChanged, this,
            &frmJobManagement_SubmitChange::groupChanged);
    connect(optUpdate_, &OptionGroup::Changed, this, &frmJobManagement_SubmitChange::updateChanged);
    for (QComboBox* list : {cboRecordSet_, cboRuleSet_, cboOwningLibrary_, cboLocation_})
        watch(list);
    watch(optUpdate_);
    watch(optIndex_);
}

void frmJobManagement_SubmitChange::groupChanged() {
    const QString required = cboRuleSet_->currentIndex() < 0
                                 ? QString()
                                 : cboRuleSet_->currentData(JobManager::RequirementRole).toString();
    libraryRequired_ = required.contains(LibraryMarker, Qt::CaseInsensitive);
    locationRequired_ = required.contains(LocationMarker, Qt::CaseInsensitive);
    lblOwningLibrary_->setEnabled(libraryRequired_);
    cboOwningLibrary_->setEnabled(libraryRequired_);
    lblLocation_->setEnabled(locationRequired_);
    cboLocation_->setEnabled(locationRequired_);
    inputsChanged();
}

void frmJobManagement_SubmitChange::updateChanged() {
    // Keyword indexing means something only for records saved.
    fraIndex_->setEnabled(optUpdate_->IsChosen(Update));
}

void frmJobManagement_SubmitChange::refillRecordSets() {
    RefillKeepingChoice(*cboRecordSet_, [&] { sets_.FillChangeRecordSetCombo(*cboRecordSet_); });
}

void frmJobManagement_SubmitChange::fillLists() {
    const qint32 location = ChosenId(*cboLocation_);
    state_.securityProfile().FillLocationCombo(*cboLocation_);
    if (location > 0 && cboLocation_->findData(location) >= 0)
        cboLocation_->setCurrentIndex(cboLocation_->findData(location));
    const QString order = cboFieldOrderConfig_->currentText();
    cboFieldOrderConfig_->clear();
    // The first entry stands for no field order configuration.
    cboFieldOrderConfig_->addItem(QString(), 0);
    state_.orderConfigs().LoadOrderConfigs(*cboFieldOrderConfig_);
    cboFieldOrderConfig_->setCurrentIndex(std::max(cboFieldOrderConfig_->findText(order), 0));
    sets_.LoadRecordSets();
    refillRecordSets();
    RefillKeepingChoice(*cboRuleSet_,
                        [&] { jobs_.FillRuleSetGroupList(*cboRuleSet_, DataChangeRules); });
}

bool frmJobManagement_SubmitChange::inputsComplete() const {
    const bool update = optUpdate_->Chosen() >= 0;
    const bool index = !optUpdate_->IsChosen(Update) || optIndex_->Chosen() >= 0;
    return ChosenId(*cboRecordSet_) >= 0 && ChosenId(*cboRuleSet_) >= 0 && update && index &&
           (!locationRequired_ || ChosenId(*cboLocation_) > 0) &&
           (!libraryRequired_ || ChosenId(*cboOwningLibrary_) > 0);
}

void frmJobManagement_SubmitChange::addFields(orvane::Channel& channel) {
    const bool update = optUpdate_->IsChosen(Update);
    channel.AddNumericField(QStringLiteral("JT"), 1);
    addName(channel);
    addStart(channel);
    channel.AddNumericField(QStringLiteral("RSID"), ChosenId(*cboRecordSet_));
    channel.AddNumericField(QStringLiteral("RUID"), ChosenId(*cboRuleSet_));
    channel.AddBoolField(QStringLiteral("UP"), update);
    // A preview saves nothing, so nothing is indexed whatever the option shows.
    channel.AddBoolField(QStringLiteral("KI"), update && optIndex_->IsChosen(KeywordIndex));
    addOperatorId(channel);
    if (libraryRequired_)
        channel.AddField(QStringLiteral("REQ_LIBRARY_ID"),
                         QString::number(ChosenId(*cboOwningLibrary_)));
    if (locationRequired_)
        channel.AddField(QStringLiteral("REQ_LOCATION_ID"),
                         QString::number(ChosenId(*cboLocation_)));
    if (cboFieldOrderConfig_->currentIndex() > 0)
        channel.AddField(QStringLiteral("MFONAME"), cboFieldOrderConfig_->currentText());
}

void frmJobManagement_SubmitChange::resetInputs() {
    cboRecordSet_->setCurrentIndex(-1);
    cboRuleSet_->setCurrentIndex(-1);
    optUpdate_->Choose(Preview);
    optIndex_->Choose(NoKeywordIndex);
    cboOwningLibrary_->setCurrentIndex(cboOwningLibrary_->count() > 0 ? 0 : -1);
    cboLocation_->setCurrentIndex(cboLocation_->count() > 0 ? 0 : -1);
    cboFieldOrderConfig_->setCurrentIndex(cboFieldOrderConfig_->count() > 0 ? 0 : -1);
    groupChanged();
    updateChanged();
}

} // namespace velumar
