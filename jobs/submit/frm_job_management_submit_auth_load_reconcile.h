#pragma once
// "Submit Auth Load Reconcile Job": a reconcile rule set group run over an
// authority record set.

#include "record_set_screens.h"
#include "submit/job_submit_screen.h"

namespace velumar {

class RecordSets;

class frmJobManagement_SubmitAuthLoadReconcile : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50800;

    explicit frmJobManagement_SubmitAuthLoadReconcile(SessionState& state,
                                                      QWidget* parent = nullptr);

private:
    void refillRecordSets();
    void fillLists() override;
    bool inputsComplete() const override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;
    void answered(qint16 status) override;

    RecordSets& sets_;
    RecordSetScreens::Registration registration_;
    QComboBox* cboRecordSet_;
    QComboBox* cboRuleSet_;
};

} // namespace velumar
