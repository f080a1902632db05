#pragma once
// The one frame window: the navigation bar (albMain) and the Functions
// menu lead to one open-function operation, which shows each function's
// screen in the work area, one screen per function for the whole run. The
// File, Options and Help menus, and a status bar of two panels: the
// function in front, and passing messages.

#include <QMainWindow>
#include <functional>
#include <map>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QTimer;

namespace velumar {

class FunctionScreen;
class HelpWindow;
class NavigationBar;
class SecurityProfile;
class SessionState;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int FixedWidth = 750;
    static constexpr int FixedHeight = 550;
    static constexpr int StatusMessageMilliseconds = 5000;

    // Makes the screen of a key; the main window owns what it answers.
    using ScreenFactory = std::function<FunctionScreen*(QWidget* workArea)>;
    // Shows a modal dialog; exec() unless replaced (tests answer without a modal loop).
    using DialogRunner = std::function<int(QDialog&)>;

    explicit frmMain(SessionState& state, QWidget* parent = nullptr);
    ~frmMain() override;

    // Selects the group of that caption in the bar, then opens the key's
    // function: its screen, made on first use, or brought to the front.
    void OpenFunction(const QString& key, const QString& groupCaption, const QString& itemCaption);
    // A passing text in status panel 2, cleared after 5000 ms; a new one restarts the wait.
    void ShowStatusMessage(const QString& text);
    // Removes what the operator may not use; run once at start-up.
    void ApplyRights(const SecurityProfile& profile);
    void SetChangePasswordAvailable(bool available);

    // How a key's screen is made; keys without one get a screen saying the
    // function is not there yet.
    void SetScreenFactory(const QString& key, ScreenFactory factory);
    // What "RecordSets_Search" hands over to; unless replaced, the record
    // search component's window over the channel, then the record set refresh.
    void SetRecordSetSearch(std::function<void()> search) { recordSetSearch_ = std::move(search); }
    // Refills the record set screens after the search window closes (the
    // record set screens set it); run under the busy state.
    void SetRecordSetRefresh(std::function<void()> refresh) {
        recordSetRefresh_ = std::move(refresh);
    }
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

    // File, Exit: closes without the close question.
    void Exit();

    NavigationBar& NavigationBarWidget() const { return *albMain_; }
    QStringList NavigationGroups() const;
    QAction* ChangePasswordAction() const { return changePassword_; }
    QWidget* WorkArea() const { return workArea_; }
    // The screen of a key; null until it is first opened.
    FunctionScreen* Screen(const QString& key) const;
    // The screen in front of the work area; null when none is open.
    FunctionScreen* FrontScreen() const;
    QString StatusPanel1() const;
    QString StatusPanel2() const;

    // The help's first page in the help window.
    void ShowHelpTopics();
    // F1: the help of the screen in front, or of the main window.
    void ShowContextHelp();
    // The help window; null until help is first shown.
    HelpWindow* HelpWindowWidget() const { return help_; }
    void ShowPreferences();
    void ShowLoginInformation();
    void ShowChangePassword();
    void ShowAbout();
    void OpenWebSite(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    // A screen going out of sight hands the navigation to the screen now in front.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildNavigation();
    void buildStatusBar();
    FunctionScreen* screenFor(const QString& key);
    bool screensAgreeToClose();
    void redrawRuleHighlighting();
    // The bar's group and highlighted item, and status panel 1, for the screen in front.
    void followFrontScreen();
    QString loggedInText() const;
    void showHelp(const QUrl& page);
    // Runs a screen's entry point; a failure is reported and the program goes on.
    void guarded(const QString& source, const std::function<void()>& action);

    SessionState& state_;
    NavigationBar* albMain_;
    QWidget* workArea_;
    QLabel* statusPanel1_;
    QLabel* statusPanel2_;
    QTimer* statusTimer_;
    QAction* changePassword_ = nullptr;
    QMenu* functionsMenu_ = nullptr;
    QList<QAction*> webSites_;
    std::map<QString, ScreenFactory> factories_;
    std::map<QString, FunctionScreen*> screens_;
    // How each screen was last opened: its group caption and item caption.
    std::map<QString, std::pair<QString, QString>> openedAs_;
    HelpWindow* help_ = nullptr;
    void searchRecordSets();

    std::function<void()> recordSetSearch_;
    std::function<void()> recordSetRefresh_;
    DialogRunner runDialog_;
    bool exiting_ = false;
};

} // namespace velumar
