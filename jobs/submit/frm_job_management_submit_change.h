#pragma once
// "Submit Data Change Job": a data change rule set group run over a record
// set, updating the database or only previewing, with the owning library
// and location its rules ask for and a field order configuration.

#include "record_set_screens.h"
#include "submit/job_submit_screen.h"

class QGroupBox;
class QLabel;

namespace velumar {

class RecordSets;

class frmJobManagement_SubmitChange : public JobSubmitScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50200;
    enum UpdateOption { Update = 0, Preview = 1 };
    enum IndexOption { KeywordIndex = 0, NoKeywordIndex = 1 };

    explicit frmJobManagement_SubmitChange(SessionState& state, QWidget* parent = nullptr);

    bool LibraryRequired() const { return libraryRequired_; }
    bool LocationRequired() const { return locationRequired_; }

private:
    void build();
    // The chosen group's requirement text enables the library and location lists.
    void groupChanged();
    void updateChanged();
    void refillRecordSets();
    void fillLists() override;
    bool inputsComplete() const override;
    void addFields(orvane::Channel& channel) override;
    void resetInputs() override;

    RecordSets& sets_;
    RecordSetScreens::Registration registration_;
    QComboBox* cboRecordSet_;
    QComboBox* cboRuleSet_;
    OptionGroup* optUpdate_;
    QGroupBox* fraIndex_;
    OptionGroup* optIndex_;
    QLabel* lblOwningLibrary_;
    QComboBox* cboOwningLibrary_;
    QLabel* lblLocation_;
    QComboBox* cboLocation_;
    QComboBox* cboFieldOrderConfig_;
    bool libraryRequired_ = false;
    bool locationRequired_ = false;
};

} // namespace velumar
