#pragma once
// What every function screen is to the main window: a child of its work
// area with a header label (lblFormID) that names the function, loaded once
// per run, asked before the program closes, and with a help context of its own.

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace velumar {

class PlatformServices;

class FunctionScreen : public QWidget {
    Q_OBJECT
public:
    FunctionScreen(const QString& screenName, int helpContextId, QWidget* parent = nullptr);

    // False until the main window has shown the screen once.
    bool PreviouslyLoaded() const { return previouslyLoaded_; }
    void SetPreviouslyLoaded() { previouslyLoaded_ = true; }

    int HelpContextId() const { return helpContextId_; }
    QLabel* FormIdLabel() const { return lblFormID_; }

    // An edit the operator has not saved or cancelled.
    virtual bool EditInProgress() const { return false; }
    // Asked before the program closes: a screen with an edit in progress comes
    // to the front, says so, and refuses.
    bool QueryClose(PlatformServices& platform);
    // The rule screens redraw their highlighting after the preferences change.
    virtual void RedrawRuleHighlighting() {}
    // Called each time the main window brings the screen to the front, the
    // first time included: screens that show server data reload it here.
    virtual void Activate() {}

protected:
    // Where the screen lays out its controls, below the header.
    QVBoxLayout* Body() const { return body_; }
    // Pixels between the body's rows and between the parts of a row.
    static constexpr int BodySpacing = 8;

private:
    QLabel* lblFormID_;
    QVBoxLayout* body_;
    int helpContextId_;
    bool previouslyLoaded_ = false;
};

} // namespace velumar
