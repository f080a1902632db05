#include "submit/job_submit_screen.h"

#include "channel.h"
#include "date_time_conversion.h"
#include "job_manager.h"
#include "platform/platform_services.h"
#include "request_channel.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"
#include "submit/option_group.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>

namespace velumar {

namespace {

// Status 2: a start not later than now; 4: a name in use.
constexpr qint16 StartNotLater = 2;
constexpr qint16 NameTaken = 4;
constexpr qint16 NotAuthorised = 6;
constexpr qint32 JobNameCode = 2;

} // namespace

JobSubmitScreen::JobSubmitScreen(SessionState& state, const QString& screenName, int helpContextId,
                                 SubmitTexts texts, RunChoice runChoice, QWidget* parent)
    : FunctionScreen(screenName, helpContextId, parent), state_(state),
      jobs_(state.manager<JobManager>()), fpJobName_(new QLineEdit),
      cmdSubmit_(new QPushButton(QStringLiteral("&Submit"))),
      cmdCancel_(new QPushButton(QStringLiteral("&Cancel"))), texts_(std::move(texts)),
      runChoice_(runChoice), form_(new QFormLayout) {
    fpJobName_->setObjectName(QStringLiteral("fpJobName"));
    fpJobName_->setMaxLength(100);
    cmdSubmit_->setObjectName(QStringLiteral("cmdSubmit"));
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdSubmit_->setDefault(true);
    form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form_->addRow(QStringLiteral("&Job Name:"), fpJobName_);
    fpJobName_->setMinimumWidth(320);
    watch(fpJobName_);
    connect(cmdSubmit_, &QPushButton::clicked, this, &JobSubmitScreen::Submit);
    connect(cmdCancel_, &QPushButton::clicked, this, &JobSubmitScreen::Cancel);
}

void JobSubmitScreen::finishLayout() {
    if (runChoice_ == RunChoice::Offered) {
        optRun_ = new OptionGroup("optRun", this);
        QRadioButton* now = optRun_->Add(0, QStringLiteral("No&w"));
        QRadioButton* later = optRun_->Add(1, QStringLiteral("&Later:"));
        fpdRunDate_ = new QDateEdit;
        fpdRunDate_->setObjectName(QStringLiteral("fpdRunDate"));
        fpdRunDate_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        fpdRunDate_->setCalendarPopup(true);
        fpdRunTime_ = new QTimeEdit;
        fpdRunTime_->setObjectName(QStringLiteral("fpdRunTime"));
        fpdRunTime_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        auto* run = new QHBoxLayout;
        run->addWidget(now);
        run->addSpacing(12);
        run->addWidget(later);
        run->addWidget(fpdRunDate_);
        run->addWidget(fpdRunTime_);
        run->addStretch(1);
        form_->addRow(QStringLiteral("Run:"), run);
        watch(optRun_);
        // A run time typed means later; with "No&w" the boxes do not matter.
        const auto typed = [this] {
            if (fpdRunDate_->date().isValid() && fpdRunTime_->time().isValid())
                optRun_->Choose(1);
            inputsChanged();
        };
        connect(fpdRunDate_, &QDateEdit::dateChanged, this, typed);
        connect(fpdRunTime_, &QTimeEdit::timeChanged, this, typed);
        optRun_->Choose(0);
        initRunTime();
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSubmit_);
    buttons->addWidget(cmdCancel_);
    Body()->addLayout(form_);
    Body()->addSpacing(8);
    Body()->addLayout(buttons);
    Body()->addStretch(1);
    inputsChanged();
}

void JobSubmitScreen::watch(QLineEdit* box) {
    connect(box, &QLineEdit::textChanged, this, &JobSubmitScreen::inputsChanged);
}

void JobSubmitScreen::watch(QComboBox* list) {
    connect(list, &QComboBox::currentIndexChanged, this, &JobSubmitScreen::inputsChanged);
}

void JobSubmitScreen::watch(OptionGroup* options) {
    connect(options, &OptionGroup::Changed, this, &JobSubmitScreen::inputsChanged);
}

bool JobSubmitScreen::runChosen() const {
    if (!optRun_)
        return true;
    return optRun_->IsChosen(0) ||
           (optRun_->IsChosen(1) && fpdRunDate_->date().isValid() && fpdRunTime_->time().isValid());
}

void JobSubmitScreen::inputsChanged() {
    cmdSubmit_->setEnabled(!fpJobName_->text().trimmed().isEmpty() && runChosen() &&
                           inputsComplete());
}

void JobSubmitScreen::initRunTime() {
    if (!fpdRunDate_)
        return;
    // Putting the time in is not the operator choosing later.
    const QSignalBlocker quietDate(fpdRunDate_);
    const QSignalBlocker quietTime(fpdRunTime_);
    JobManager::InitRunTime(*fpdRunDate_, *fpdRunTime_);
}

void JobSubmitScreen::focusJobName() {
    if (fpJobName_->isEnabled())
        fpJobName_->setFocus();
}

void JobSubmitScreen::Activate() {
    {
        const BusyGuard busy(state_.busy());
        fillLists();
    }
    initRunTime();
    inputsChanged();
    focusJobName();
}

void JobSubmitScreen::Cancel() {
    close();
}

void JobSubmitScreen::addName(orvane::Channel& channel) const {
    channel.AddField(QStringLiteral("NM"), fpJobName_->text().trimmed());
}

void JobSubmitScreen::addStart(orvane::Channel& channel) const {
    if (optRun_ && optRun_->IsChosen(1))
        channel.AddField(QStringLiteral("SS"),
                         orvane::DateTimeToText(fpdRunDate_->date(), fpdRunTime_->time()));
}

void JobSubmitScreen::addOperatorId(orvane::Channel& channel) const {
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
}

void JobSubmitScreen::tell(const QString& text, MessageIcon icon) {
    Message message;
    message.text = text;
    message.icon = icon;
    state_.platform().ShowMessage(message);
}

void JobSubmitScreen::Submit() {
    if (!cmdSubmit_->isEnabled() || !checkInputs())
        return;
    SubmitAnswer reply;
    {
        const BusyGuard busy(state_.busy());
        orvane::Channel& channel = state_.channel();
        addFields(channel);
        reply.status = channel.SendRequest(QStringLiteral("SAVE_JOB"));
        reply.jobId = channel.GetNumericField(QStringLiteral("ID"));
        reply.nameCode = channel.GetNumericField(QStringLiteral("BC"));
    }
    answer(reply);
}

void JobSubmitScreen::answer(const SubmitAnswer& reply) {
    switch (reply.status) {
    case 0:
        accepted(reply);
        break;
    case StartNotLater:
        tell(QStringLiteral("Job start time must be later than now."), MessageIcon::Exclamation);
        break;
    case NameTaken:
        tell(texts_.readsNameCode && reply.nameCode != JobNameCode
                 ? QStringLiteral("Record set name already in use. Please choose another name.")
                 : QStringLiteral("Job name already in use. Please choose another name."),
             MessageIcon::Exclamation);
        break;
    case NotAuthorised:
        tell(texts_.notAuthorised, MessageIcon::Exclamation);
        break;
    default:
        tell(texts_.failed + QString::number(reply.status), MessageIcon::Exclamation);
        break;
    }
    answered(reply.status);
    focusAfter(reply);
}

void JobSubmitScreen::accepted(const SubmitAnswer&) {
    tell(texts_.added, MessageIcon::Information);
    resetAll();
}

void JobSubmitScreen::focusAfter(const SubmitAnswer& reply) {
    if (reply.status != StartNotLater)
        focusJobName();
    else if (fpdRunDate_)
        fpdRunDate_->setFocus();
}

void JobSubmitScreen::resetAll() {
    fpJobName_->clear();
    if (optRun_) {
        initRunTime();
        optRun_->Choose(0);
    }
    resetInputs();
    inputsChanged();
}

} // namespace velumar
