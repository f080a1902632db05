#pragma once
// "Preview Record": the record before and after the rules side by side, the
// preview's messages, and in record set mode the walk through the set:
// previous, next, jump, and taking the record out of the set. A window of
// its own, so that long fields have room; it remembers its place.
//
// Prev is off on the first record and Next on the last: the server keeps the
// place within the set, so either would only show the same record again.

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velumar {

class Preview;
class PreviewGrid;
class SessionState;
class frmPreviewValidation;

class frmPreviewCompare : public QWidget {
    Q_OBJECT
public:
    explicit frmPreviewCompare(SessionState& state, QWidget* parent = nullptr);

    // Shows what the preview holds now: headings, both sides and the messages.
    void ShowPreview();

    void PrevRecord();
    void NextRecord();
    void Jump();
    void RemoveRecord();
    void ViewMessages();

    // Null until the operator first asks for it.
    frmPreviewValidation* ValidationScreen() const { return validation_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build();
    // Loads `step` places on in the set, under the screen's busy state.
    void step(qint32 places);
    void setButtons();

    SessionState& state_;
    Preview& preview_;
    frmPreviewValidation* validation_ = nullptr;
    bool placed_ = false;
    QList<QWidget*> setControls_; // shown in record set mode only
    // The messages on screen: a failed load leaves them with the record.
    QStringList shownMessages_;

    QLabel* lblRecord_;
    QLabel* lblRuleSet_;
    QLabel* lblPosition_;
    PreviewGrid* vsfBefore_;
    PreviewGrid* vsfAfter_;
    QListWidget* vseMessage_;
    QPushButton* cmdViewMessages_;
    QPushButton* cmdPrev_;
    QPushButton* cmdNext_;
    QLineEdit* fpJump_;
    QPushButton* cmdJump_;
    QPushButton* cmdRemove_;
    QPushButton* cmdClose_;
};

} // namespace velumar
