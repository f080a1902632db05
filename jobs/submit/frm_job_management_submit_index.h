#pragma once
// "Submit Index Job": the records of a record set, or of a range of at most
// 20,000 ids, run through the keyword index.

#include "submit/job_submit_screen.h"

namespace velumar {

class RecordSets;

class frmJobManagement_SubmitIndex : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50300;
    // The options of optIndex start at 1.
    enum IndexOption { RecordSet = 1, Range = 2 };
    static constexpr qint64 MaxRangeRecords = 20000;

    explicit frmJobManagement_SubmitIndex(SessionState& state, QWidget* parent = nullptr);

private:
    void build();
    int recordType() const;
    void refillRecordSets();
    void fillLists() override;
    bool inputsComplete() const override;
    bool checkInputs() override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;

    RecordSets& sets_;
    QComboBox* cboRecordType_;
    OptionGroup* optIndex_;
    QComboBox* cboRecordSet_;
    QLineEdit* fpIndexFrom_;
    QLineEdit* fpIndexTo_;
};

} // namespace velumar
