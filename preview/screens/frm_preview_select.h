#pragma once
// "Select Preview Criteria": what to preview (one record by id, or a record
// set of the chosen type), the data change rule set group to apply and the
// field order configuration, then the compare screen.

#include "main_window/function_screen.h"
#include "record_set_screens.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velumar {

class Preview;
class RecordSets;
class RuleSets;
class SessionState;
class frmPreviewCompare;

class frmPreview_Select : public FunctionScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 40100;
    // The choices of optSource.
    enum Source { OneRecord = 0, RecordSetSource = 1 };

    explicit frmPreview_Select(SessionState& state, QWidget* parent = nullptr);

    // Reloads the record sets and rule set groups, keeping the choices made.
    void RefillLists(qint32 selectSetId = -1);

    void PreviewChosen();
    void Cancel();

    // Null until the first preview is shown.
    frmPreviewCompare* CompareScreen() const { return compare_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void refillRecordSets(qint32 selectId);
    void setPreviewEnabled();
    int recordType() const;

    SessionState& state_;
    RecordSets& sets_;
    RuleSets& rules_;
    Preview& preview_;
    RecordSetScreens::Registration registration_;
    frmPreviewCompare* compare_ = nullptr;
    bool shownBefore_ = false;

    QComboBox* cboRecordType_;
    QRadioButton* optSourceRecord_;
    QRadioButton* optSourceSet_;
    QLineEdit* fpRecordId_;
    QComboBox* cboRecordSet_;
    QComboBox* cboRuleSet_;
    QComboBox* cboFieldOrderConfig_;
    QPushButton* cmdPreview_;
    QPushButton* cmdCancel_;
};

} // namespace velumar
