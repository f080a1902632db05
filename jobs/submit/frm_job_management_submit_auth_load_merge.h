#pragma once
// "Submit Auth Load Merge Job": the records an authority-load match job
// left, merged by a merge configuration.

#include "submit/job_submit_screen.h"

namespace velumar {

class frmJobManagement_SubmitAuthLoadMerge : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50600;

    explicit frmJobManagement_SubmitAuthLoadMerge(SessionState& state, QWidget* parent = nullptr);

private:
    void fillSources();
    void fillLists() override;
    bool inputsComplete() const override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;
    void answered(qint16) override { fillSources(); }

    QComboBox* cboSource_;
    QComboBox* cboRuleSet_;
};

} // namespace velumar
