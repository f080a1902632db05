#pragma once
// "Submit Scan Job": a scan rule set group run over the whole catalogue of
// a record type, a record set or a range of ids, the records it finds
// saved into an existing set or a new one.

#include "record_set_screens.h"
#include "submit/job_submit_screen.h"

namespace velumar {

class RecordSets;
class SaveSetChoice;

class frmJobManagement_SubmitScan : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50100;
    enum ScanOption { EntireDatabase = 0, ExistingSet = 1, Range = 2 };

    explicit frmJobManagement_SubmitScan(SessionState& state, QWidget* parent = nullptr);

private:
    void build();
    int recordType() const;
    // Both set lists refilled with the sets of the record type, the save options by the rights.
    void refillRecordSets();
    void fillLists() override;
    bool inputsComplete() const override;
    bool checkInputs() override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;
    void answered(qint16 status) override;

    RecordSets& sets_;
    RecordSetScreens::Registration registration_;
    QComboBox* cboScanRule_;
    QComboBox* cboRecordType_;
    OptionGroup* optScan_;
    QComboBox* cboRecordSet_;
    QLineEdit* fpScanFrom_;
    QLineEdit* fpScanTo_;
    SaveSetChoice* fraSave_;
};

} // namespace velumar
