#pragma once
// The specific records screen: adds one id, a range of ids, or the ids of a
// text file to an existing record set or to a new one, showing progress
// while more than one batch goes to the server.

#include "main_window/function_screen.h"
#include "record_set_progress.h"
#include "record_set_screens.h"

#include <QList>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace velumar {

class RecordSets;
class SessionState;

class frmRecordSets_Specific : public FunctionScreen, public RecordSetProgress {
    Q_OBJECT
public:
    static constexpr int HelpContext = 20300;

    // The choices of optRecordSet and optRecord.
    enum Target { ExistingSet = 0, NewSet = 1 };
    enum Input { OneId = 0, IdFile = 1, IdRange = 2 };

    explicit frmRecordSets_Specific(SessionState& state, QWidget* parent = nullptr);

    // Refills the record set list of the selected type; selects `selectId`,
    // or else the set selected before.
    void RefillRecordSets(qint32 selectId = -1);

    void Browse();
    void Save();
    void Cancel();

    void ProgressShow(int current, int maximum) override;
    void ProgressHide() override;

    // The ids of an id list file's text: the pieces between CR LF pairs that
    // are numbers, in order, duplicates kept.
    static QList<qint32> ParseRecordIds(const QString& text);
    // The id typed into an id field: a whole number from 1 to 2147483647
    // (a record id's range); none for anything else.
    static std::optional<qint32> RecordIdOf(const QString& text);
    // Told when a typed id or range end is not one.
    static QString IdOutOfRangeText();

private:
    void build();
    void recordTypeChanged();
    void setTarget(Target target);
    void setInput(Input input);
    void setSaveEnabled();
    int recordType() const;
    Target target() const;
    Input input() const;
    // The ids of the file; false when it gave none (the operator has been told).
    bool readFileIds(QList<qint32>& ids);
    // The typed id, or both range ends, in `from` and `to`; false, with the
    // operator told, when one is not a record id or the range is out of order.
    bool readTypedIds(Input chosen, qint32& from, qint32& to);
    void clearInputs();

    SessionState& state_;
    RecordSets& sets_;
    RecordSetScreens::Registration registration_;

    QComboBox* cboRecordType_;
    QRadioButton* optRecordSetExisting_;
    QRadioButton* optRecordSetNew_;
    QComboBox* cboRecordSet_;
    QLineEdit* fpNewRecordSet_;
    QRadioButton* optRecordId_;
    QRadioButton* optRecordList_;
    QRadioButton* optRecordRange_;
    QLineEdit* fpRecordId_;
    QLineEdit* fpRecordList_;
    QPushButton* cmdBrowse_;
    QLineEdit* fpRecordFrom_;
    QLineEdit* fpRecordTo_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
    QWidget* fraProgress_;
    QLabel* lblProgress_;
    QProgressBar* pbProgress_;
};

} // namespace velumar
