#pragma once
// The record set view: every record set in a grid, the selected one shown
// below it, and renaming, copying, deleting and exporting by the operator's
// rights for its record type. Refilled whenever the record sets are refreshed.

#include "main_window/function_screen.h"
#include "record_set_screens.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace velumar {

class Grid;
class RecordSets;
class SessionState;

class frmRecordSets_View : public FunctionScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 20100;

    explicit frmRecordSets_View(SessionState& state, QWidget* parent = nullptr);

    // Refills the grid, keeping its order; selects `selectId`, or else the
    // set selected before.
    void RefillRecordSets(qint32 selectId = -1);

    bool EditInProgress() const override;

    void Edit();
    void Copy();
    void Save();
    void Cancel();
    void Delete();
    void Export();

    // The export's suggested file name: the set's name without * " / : < > ? \ |.
    static QString SuggestedExportName(const QString& setName);

private:
    enum class Mode { None, Edit, Copy };

    void build();
    void showSelected();
    void setButtons();
    void openPanel(Mode mode);
    void closePanel();
    qint32 selectedId() const;

    SessionState& state_;
    RecordSets& sets_;
    RecordSetScreens::Registration registration_;
    Mode mode_ = Mode::None;
    qint32 editId_ = -1; // the set being edited or copied

    Grid* vsf_;
    QGroupBox* fraView_;
    QLineEdit* lblViewName_;
    QPlainTextEdit* txtViewDesc_;
    QLineEdit* fpViewCount_;
    QLineEdit* lblViewType_;
    QLineEdit* lblViewModified_;
    QLineEdit* lblViewModifiedBy_;
    QGroupBox* fraEdit_;
    QLineEdit* fpName_;
    QPlainTextEdit* txtDesc_;
    QLineEdit* fpCount_;
    QLineEdit* lblType_;
    QLineEdit* fpModified_;
    QLineEdit* fpModifiedBy_;
    QPushButton* cmdCopy_;
    QPushButton* cmdEdit_;
    QPushButton* cmdDelete_;
    QPushButton* cmdExport_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
};

} // namespace velumar
