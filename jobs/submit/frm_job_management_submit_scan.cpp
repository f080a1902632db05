#include "submit/frm_job_management_submit_scan.h"

#include "channel.h"
#include "job_manager.h"
#include "platform/platform_services.h"
#include "record_sets.h"
#include "record_type_purpose.h"
#include "session/session_state.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"
#include "submit/option_group.h"
#include "submit/save_set_choice.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace velumar {

namespace {

constexpr int ScanRules = 1;

} // namespace

frmJobManagement_SubmitScan::frmJobManagement_SubmitScan(SessionState& state, QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitScan"), HelpContext,
                      {QStringLiteral("Scan job added."),
                       QStringLiteral("Operator not authorized to submit scan job."),
                       QStringLiteral("Failed to submit scan job. Error code = "), true},
                      RunChoice::Offered, parent),
      sets_(state.manager<RecordSets>()) {
    build();
    registration_ = sets_.Screens().Register([this](qint32) { refillRecordSets(); });
    finishLayout();
}

void frmJobManagement_SubmitScan::build() {
    cboScanRule_ = MakeList("cboScanRule");
    cboRecordType_ = MakeList("cboRecordType", 120);
    form()->addRow(QStringLiteral("&Rule Set Group Name:"), cboScanRule_);
    form()->addRow(QStringLiteral("Record &Type:"), cboRecordType_);

    auto* fraScan = new QGroupBox(QStringLiteral("Scan"));
    fraScan->setObjectName(QStringLiteral("fraScan"));
    optScan_ = new OptionGroup("optScan", this);
    cboRecordSet_ = MakeList("cboRecordSet");
    fpScanFrom_ = MakeIdBox("fpScanFrom", this);
    fpScanTo_ = MakeIdBox("fpScanTo", this);
    auto* scan = new QGridLayout(fraScan);
    scan->addWidget(optScan_->Add(EntireDatabase, QStringLiteral("Entire &Database")), 0, 0);
    scan->addWidget(optScan_->Add(ExistingSet, QStringLiteral("&Existing Set:")), 1, 0);
    scan->addWidget(cboRecordSet_, 1, 1, Qt::AlignLeft);
    scan->addWidget(optScan_->Add(Range, QStringLiteral("Range &of Records:")), 2, 0);
    scan->addLayout(RangeRow(fpScanFrom_, fpScanTo_), 2, 1);
    scan->setColumnStretch(2, 1);
    form()->addRow(fraScan);

    fraSave_ = new SaveSetChoice(QStringLiteral("Save Records Into"), QStringLiteral("&New Set:"));
    form()->addRow(fraSave_);

    connect(cboRecordType_, &QComboBox::currentIndexChanged, this,
            &frmJobManagement_SubmitScan::refillRecordSets);
    // Choosing a set or typing a range value chooses its option.
    connect(cboRecordSet_, &QComboBox::activated, this, [this] { optScan_->Choose(ExistingSet); });
    for (QLineEdit* box : {fpScanFrom_, fpScanTo_})
        connect(box, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (!text.isEmpty())
                optScan_->Choose(Range);
        });
    for (QComboBox* list : {cboScanRule_, cboRecordType_, cboRecordSet_})
        watch(list);
    for (QLineEdit* box : {fpScanFrom_, fpScanTo_})
        watch(box);
    watch(optScan_);
    connect(fraSave_, &SaveSetChoice::Changed, this, &frmJobManagement_SubmitScan::inputsChanged);
}

int frmJobManagement_SubmitScan::recordType() const {
    return std::max(ChosenId(*cboRecordType_), 0);
}

void frmJobManagement_SubmitScan::refillRecordSets() {
    const int type = recordType();
    RefillKeepingChoice(*cboRecordSet_, [&] { sets_.FillRecordSetCombo(*cboRecordSet_, type); });
    fraSave_->Refill(sets_, state_.securityProfile(), type);
    inputsChanged();
}

void frmJobManagement_SubmitScan::fillLists() {
    RefillKeepingChoice(*cboScanRule_,
                        [&] { jobs_.FillRuleSetGroupList(*cboScanRule_, ScanRules); });
    sets_.LoadRecordSets();
    const qint32 type = ChosenId(*cboRecordType_);
    {
        const QSignalBlocker quiet(cboRecordType_);
        sets_.FillRecordTypeList(*cboRecordType_, PurposeScanJob);
        if (type > 0 && cboRecordType_->findData(type) >= 0)
            cboRecordType_->setCurrentIndex(cboRecordType_->findData(type));
    }
    refillRecordSets();
}

bool frmJobManagement_SubmitScan::inputsComplete() const {
    bool scan = false;
    switch (optScan_->Chosen()) {
    case EntireDatabase:
        scan = true;
        break;
    case ExistingSet:
        scan = ChosenId(*cboRecordSet_) >= 0;
        break;
    case Range:
        scan = !fpScanFrom_->text().isEmpty() && !fpScanTo_->text().isEmpty();
        break;
    default:
        break;
    }
    return ChosenId(*cboScanRule_) >= 0 && recordType() > 0 && scan && fraSave_->Complete();
}

bool frmJobManagement_SubmitScan::checkInputs() {
    if (optScan_->IsChosen(ExistingSet) && fraSave_->Chosen() == SaveSetChoice::ExistingSet &&
        ChosenId(*cboRecordSet_) == fraSave_->ChosenSetId()) {
        tell(QStringLiteral("Scan job cannot save records into same record set as it is "
                            "scanning from."),
             MessageIcon::Exclamation);
        return false;
    }
    if (optScan_->IsChosen(Range) &&
        fpScanFrom_->text().toLongLong() > fpScanTo_->text().toLongLong()) {
        tell(QStringLiteral("Scan range is out of order."), MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void frmJobManagement_SubmitScan::addFields(orvane::Channel& channel) {
    channel.AddNumericField(QStringLiteral("JT"), 0);
    addName(channel);
    channel.AddNumericField(QStringLiteral("SID"), ChosenId(*cboScanRule_));
    addStart(channel);
    channel.AddNumericField(QStringLiteral("RT"), recordType());
    if (optScan_->IsChosen(ExistingSet)) {
        channel.AddNumericField(QStringLiteral("RSID"), ChosenId(*cboRecordSet_));
    } else if (optScan_->IsChosen(Range)) {
        channel.AddField(QStringLiteral("RRS"), fpScanFrom_->text());
        channel.AddField(QStringLiteral("RRE"), fpScanTo_->text());
    }
    fraSave_->AddFields(channel);
    addOperatorId(channel);
}

void frmJobManagement_SubmitScan::resetInputs() {
    cboScanRule_->setCurrentIndex(-1);
    cboRecordType_->setCurrentIndex(cboRecordType_->count() > 0 ? 0 : -1);
    optScan_->Clear();
    cboRecordSet_->setCurrentIndex(-1);
    fpScanFrom_->clear();
    fpScanTo_->clear();
    fraSave_->Reset();
}

void frmJobManagement_SubmitScan::answered(qint16) {
    sets_.RefreshRecordSetScreens();
}

} // namespace velumar
