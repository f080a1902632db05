#pragma once
// "Submit Match Job": the records of a local MARC file matched by their
// control numbers against the catalogue, the records found saved into an
// existing set or a new one. The job runs at once, from this client: once
// the server has the job, the match job progress screen reads the file.

#include "record_set_screens.h"
#include "submit/job_submit_screen.h"

namespace velumar {

class MarcSourceFields;
class RecordSets;
class SaveSetChoice;

class frmJobManagement_SubmitMatch : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50400;

    explicit frmJobManagement_SubmitMatch(SessionState& state, QWidget* parent = nullptr);

private:
    void build();
    int recordType() const;
    void refillRecordSets();
    // The set the matches go to, the job marked failed when there is none,
    // else the file read by the progress screen.
    void handOver(qint32 jobId);
    void fillLists() override;
    bool inputsComplete() const override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;
    void accepted(const SubmitAnswer& answer) override;
    void answered(qint16 status) override;
    void focusAfter(const SubmitAnswer& answer) override;

    RecordSets& sets_;
    RecordSetScreens::Registration registration_;
    QComboBox* cboRecordType_;
    MarcSourceFields* source_;
    SaveSetChoice* fraSave_;
};

} // namespace velumar
