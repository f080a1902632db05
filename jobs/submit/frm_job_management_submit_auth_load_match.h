#pragma once
// "Submit Auth Load Match Job": the authority records of a local MARC file
// matched against the catalogue by a load match configuration. Once the
// server has the job, the upload screen sends the file's records into it.

#include "submit/job_submit_screen.h"

class QCheckBox;

namespace velumar {

class MarcSourceFields;

class frmJobManagement_SubmitAuthLoadMatch : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50500;

    explicit frmJobManagement_SubmitAuthLoadMatch(SessionState& state, QWidget* parent = nullptr);

private:
    void fillLists() override;
    bool inputsComplete() const override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;
    void accepted(const SubmitAnswer& answer) override;

    MarcSourceFields* source_;
    QComboBox* cboRuleSet_;
    QCheckBox* chkAdd035WhenCreatingNewAuthRecords_;
};

} // namespace velumar
