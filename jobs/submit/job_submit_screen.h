#pragma once
// What the eight job submission screens share: the job name, the run
// choice (now, or later at a run date and time), Submit and Cancel. On
// every activation the lists are filled again and the run time goes back to
// five minutes from now; Submit is enabled only while the inputs are
// complete; Submit runs the screen's checks, sends "SAVE_JOB" with the
// fields in the screen's order, and tells the answer: after success the
// inputs are reset, after a refusal they stay as they were.

#include "main_window/function_screen.h"

class QComboBox;
class QDateEdit;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace orvane {
class Channel;
}

namespace velumar {

class JobManager;
class OptionGroup;
class SessionState;
enum class MessageIcon;

// What a job type's answers say.
struct SubmitTexts {
    QString added;         // status 0; empty: the job is handed on instead
    QString notAuthorised; // status 6
    QString failed;        // any other status, followed by the number
    // Status 4: "BC" 2 names the job name, any other value the new set's name.
    bool readsNameCode = false;
};

// The answer of "SAVE_JOB".
struct SubmitAnswer {
    qint16 status = 0;
    qint32 jobId = 0;    // "ID", on status 0
    qint32 nameCode = 0; // "BC", on status 4
};

class JobSubmitScreen : public FunctionScreen {
    Q_OBJECT
public:
    // Lists filled again, the run time five minutes from now, the focus on the job name.
    void Activate() override;
    // Checks, sends and tells; nothing while Submit is disabled.
    void Submit();
    // Closes the screen; nothing is sent.
    void Cancel();

protected:
    enum class RunChoice { Offered, None };

    JobSubmitScreen(SessionState& state, const QString& screenName, int helpContextId,
                    SubmitTexts texts, RunChoice runChoice, QWidget* parent);

    // The rows after the job name; the screen adds its own, then finishLayout.
    QFormLayout* form() const { return form_; }
    void finishLayout();

    // Every change of an input the screen adds recomputes Submit's state.
    void watch(QLineEdit* box);
    void watch(QComboBox* list);
    void watch(OptionGroup* options);
    void inputsChanged();

    // The screen's own part.
    virtual void fillLists() = 0;
    virtual bool inputsComplete() const = 0;
    // Checks that tell the operator why nothing is sent; true to send.
    virtual bool checkInputs() { return true; }
    virtual void addFields(orvane::Channel& channel) = 0;
    virtual void resetInputs() = 0;
    // Status 0: by default the success message, then the inputs reset.
    virtual void accepted(const SubmitAnswer& answer);
    // After any answer, once it was told.
    virtual void answered(qint16) {}
    // Where the focus goes after an answer: the job name, but for status 2.
    virtual void focusAfter(const SubmitAnswer& answer);

    // For addFields, at the place of each in the screen's order.
    void addName(orvane::Channel& channel) const;
    void addStart(orvane::Channel& channel) const; // "SS", only when later is chosen
    void addOperatorId(orvane::Channel& channel) const;

    void tell(const QString& text, MessageIcon icon);
    void focusJobName();
    // Name emptied, run time back to five minutes from now, "No&w", the screen's inputs.
    void resetAll();

    SessionState& state_;
    JobManager& jobs_;
    QLineEdit* fpJobName_;
    QPushButton* cmdSubmit_;
    QPushButton* cmdCancel_;

private:
    void initRunTime();
    bool runChosen() const;
    void answer(const SubmitAnswer& answer);

    SubmitTexts texts_;
    RunChoice runChoice_;
    QFormLayout* form_;
    OptionGroup* optRun_ = nullptr;
    QDateEdit* fpdRunDate_ = nullptr;
    QTimeEdit* fpdRunTime_ = nullptr;
};

} // namespace velumar
