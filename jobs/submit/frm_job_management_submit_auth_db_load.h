#pragma once
// "Submit Auth DB Load Job": the records an authority-load match job found
// no match for, added to the catalogue.

#include "submit/job_submit_screen.h"

namespace velumar {

class frmJobManagement_SubmitAuthDbLoad : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50700;

    explicit frmJobManagement_SubmitAuthDbLoad(SessionState& state, QWidget* parent = nullptr);

private:
    void fillLists() override;
    bool inputsComplete() const override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;
    void answered(qint16) override { fillLists(); }

    QComboBox* cboSource_;
};

} // namespace velumar
