#include "main_window/frm_main.h"

#include "components/component_table.h"
#include "dialogs/about_dialog.h"
#include "dialogs/change_password_dialog.h"
#include "dialogs/login_information_dialog.h"
#include "failures/unexpected_failure.h"
#include "help/help_topics.h"
#include "help/help_window.h"
#include "main_window/function_screen.h"
#include "main_window/navigation_bar.h"
#include "main_window/navigation_icons.h"
#include "main_window/navigation_table.h"
#include "main_window/placeholder_screen.h"
#include "main_window/screen_catalogue.h"
#include "platform/platform_services.h"
#include "preferences/frm_prefs.h"
#include "preferences/preferences.h"
#include "record_search.h"
#include "request_channel.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>

namespace velumar {

namespace {

constexpr int NavigationWidth = 200;

QString doubledAmpersands(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// Names kept for examples and tests, never a real site.
bool isExampleHost(const QString& host) {
    const QString h = host.toLower();
    for (const char* name : {"example", "example.com", "example.net", "example.org"})
        if (h == QLatin1String(name) || h.endsWith(QLatin1Char('.') + QLatin1String(name)))
            return true;
    for (const char* domain : {".test", ".invalid", ".localhost"})
        if (h.endsWith(QLatin1String(domain)))
            return true;
    return false;
}

// The support web text as an address; none when it names no real site.
QUrl supportAddress(const QString& supportText) {
    const QUrl support(supportText.trimmed());
    if (!support.isValid() || support.host().isEmpty() || isExampleHost(support.host()))
        return {};
    return support;
}

// The home of the support site: scheme and host of the support web text.
QUrl webSiteHome(const QString& supportText) {
    const QUrl support = supportAddress(supportText);
    if (support.isEmpty())
        return {};
    QUrl home;
    home.setScheme(support.scheme());
    home.setHost(support.host());
    home.setPort(support.port());
    home.setPath(QStringLiteral("/"));
    return home;
}

} // namespace

frmMain::frmMain(SessionState& state, QWidget* parent)
    : QMainWindow(parent), state_(state), albMain_(new NavigationBar), workArea_(new QWidget),
      statusPanel1_(new QLabel), statusPanel2_(new QLabel), statusTimer_(new QTimer(this)),
      runDialog_([](QDialog& dialog) { return dialog.exec(); }) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Velumar"));
    setWindowIcon(NavigationIcon(NavigationGlyph::Stack, GroupColour(0)));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setFixedSize(FixedWidth, FixedHeight);

    buildMenus();
    buildNavigation();
    buildStatusBar();
    // Every screen and dialog of the frame: a field the operator cannot type
    // in shows the window's colour, not the colour of an entry field.
    setStyleSheet(QStringLiteral(
        "QLineEdit[readOnly=\"true\"], QPlainTextEdit[readOnly=\"true\"],"
        " QTextEdit[readOnly=\"true\"] { background: palette(window); }"));
    // Style sheets do not look again when a field turns read-only or back: see it happen.
    qApp->installEventFilter(this);

    workArea_->setObjectName(QStringLiteral("workArea"));
    workArea_->setAutoFillBackground(true);
    workArea_->setBackgroundRole(QPalette::Base);
    // What the empty work area shows: the program's mark and where to start.
    auto* mark = new QLabel(workArea_);
    mark->setPixmap(windowIcon().pixmap(64, 64));
    mark->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("Velumar"), workArea_);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.8);
    nameFont.setBold(true);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    auto* hint = new QLabel(QStringLiteral("Choose a function from the navigation bar\n"
                                           "or from the Functions menu."),
                            workArea_);
    hint->setObjectName(QStringLiteral("lblWorkAreaHint"));
    hint->setAlignment(Qt::AlignCenter);
    hint->setEnabled(false);
    auto* hintLayout = new QVBoxLayout(workArea_);
    hintLayout->addStretch(1);
    hintLayout->addWidget(mark);
    hintLayout->addWidget(name);
    hintLayout->addSpacing(6);
    hintLayout->addWidget(hint);
    hintLayout->addStretch(1);

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);
    albMain_->setFixedWidth(NavigationWidth);
    layout->addWidget(albMain_);
    layout->addWidget(workArea_, 1);
    setCentralWidget(central);

    statusTimer_->setObjectName(QStringLiteral("statusTimer"));
    statusTimer_->setSingleShot(true);
    statusTimer_->setInterval(StatusMessageMilliseconds);
    connect(statusTimer_, &QTimer::timeout, statusPanel2_, &QLabel::clear);

    // The frame starts in the middle of the desktop's usable area.
    if (const QScreen* display = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(), frameGeometry().size());
        place.moveCenter(display->availableGeometry().center());
        move(place.topLeft());
    }

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &frmMain::ShowContextHelp);
}

frmMain::~frmMain() = default;

void frmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* login = file->addAction(QStringLiteral("Login &Information..."));
    login->setObjectName(QStringLiteral("mnuFileLogin"));
    connect(login, &QAction::triggered, this, &frmMain::ShowLoginInformation);
    changePassword_ = file->addAction(QStringLiteral("Change Pass&word..."));
    changePassword_->setObjectName(QStringLiteral("mnuFileChangePassword"));
    connect(changePassword_, &QAction::triggered, this, &frmMain::ShowChangePassword);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    connect(exit, &QAction::triggered, this, &frmMain::Exit);

    functionsMenu_ = menuBar()->addMenu(QStringLiteral("F&unctions"));
    functionsMenu_->setObjectName(QStringLiteral("mnuFunctions"));
    const auto& table = NavigationTable();
    for (std::size_t g = 0; g < table.size(); ++g) {
        const NavigationGroup& group = table[g];
        const QColor colour = GroupColour(static_cast<int>(g));
        QMenu* menu = functionsMenu_->addMenu(NavigationIcon(group.glyph, colour), group.caption);
        menu->menuAction()->setObjectName(group.menuName);
        for (const NavigationItem& item : group.items) {
            QAction* entry = menu->addAction(NavigationIcon(item.glyph, colour), item.caption);
            entry->setObjectName(item.menuName);
            connect(entry, &QAction::triggered, this,
                    [this, key = item.key, groupCaption = group.caption,
                     caption = item.menuCaption] { OpenFunction(key, groupCaption, caption); });
        }
    }

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    QAction* preferences = options->addAction(QStringLiteral("Session &Preferences..."));
    preferences->setObjectName(QStringLiteral("mnuOptionsSessionPreferences"));
    connect(preferences, &QAction::triggered, this, &frmMain::ShowPreferences);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* topics = help->addAction(style()->standardIcon(QStyle::SP_DialogHelpButton),
                                      QStringLiteral("&Help Topics"));
    topics->setObjectName(QStringLiteral("mnuHelpTopics"));
    connect(topics, &QAction::triggered, this, &frmMain::ShowHelpTopics);
    QMenu* web = help->addMenu(QStringLiteral("Velumar on the &Web"));
    const QString support = state_.supportWebText();
    const QStringList captions{QStringLiteral("Velumar &Home Page"),
                               QStringLiteral("Velumar &Support")};
    for (int i = 0; i < captions.size(); ++i) {
        QAction* site = web->addAction(captions[i]);
        site->setObjectName(QStringLiteral("mnuHelpWebSite_%1").arg(i));
        connect(site, &QAction::triggered, this, [this, i] { OpenWebSite(i); });
        webSites_.push_back(site);
    }
    webSites_[1]->setData(support);
    webSites_[1]->setToolTip(support);
    // A server that names no real support site gets no web entries at all.
    web->menuAction()->setObjectName(QStringLiteral("mnuHelpWebSite"));
    web->menuAction()->setVisible(!webSiteHome(support).isEmpty());
    help->addSeparator();
    QAction* about = help->addAction(QStringLiteral("&About Velumar"));
    about->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(about, &QAction::triggered, this, &frmMain::ShowAbout);
}

void frmMain::buildNavigation() {
    const auto& table = NavigationTable();
    for (std::size_t g = 0; g < table.size(); ++g) {
        const NavigationGroup& group = table[g];
        const QColor colour = GroupColour(static_cast<int>(g));
        albMain_->AddGroup(group.key, group.caption, NavigationIcon(group.glyph, colour));
        for (const NavigationItem& item : group.items)
            albMain_->AddItem(group.key, item.key, item.caption,
                              NavigationIcon(item.glyph, colour));
    }
    albMain_->setCurrentIndex(0);
    connect(albMain_, &NavigationBar::ItemActivated, this, &frmMain::OpenFunction);
}

void frmMain::buildStatusBar() {
    statusPanel1_->setObjectName(QStringLiteral("statusPanel1"));
    statusPanel2_->setObjectName(QStringLiteral("statusPanel2"));
    statusPanel1_->setMinimumWidth(260);
    statusPanel1_->setTextFormat(Qt::PlainText);
    statusPanel2_->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(statusPanel1_);
    statusBar()->addWidget(statusPanel2_, 1);
    statusBar()->setSizeGripEnabled(false);
    // Until a function is opened, who is logged in where.
    statusPanel1_->setText(loggedInText());
}

void frmMain::searchRecordSets() {
    state_.recordSearch().ShowSearchWindow(state_.channel(), this);
    BusyGuard busy(state_.busy());
    if (recordSetRefresh_)
        recordSetRefresh_();
}

void frmMain::SetScreenFactory(const QString& key, ScreenFactory factory) {
    factories_[key] = std::move(factory);
}

void frmMain::OpenFunction(const QString& key, const QString& groupCaption,
                           const QString& itemCaption) {
    albMain_->SelectGroup(groupCaption);
    const QString title = QLatin1Char(' ') + groupCaption + QStringLiteral(" - ") + itemCaption;

    if (key == QLatin1String(RecordSetSearchKey)) {
        statusPanel1_->setText(albMain_->CurrentGroupCaption() + QStringLiteral(":  ") +
                               doubledAmpersands(itemCaption));
        guarded(QStringLiteral("RecordSets_Search"), [this] {
            if (recordSetSearch_)
                recordSetSearch_();
            else
                searchRecordSets();
        });
        // The search has its own window: the work area is as it was.
        followFrontScreen();
        return;
    }
    const ScreenEntry* entry = FindScreenEntry(key);
    if (!entry)
        return;
    guarded(entry->screenName, [&] {
        FunctionScreen* screen = screenFor(key);
        if (!screen->PreviouslyLoaded()) {
            screen->setWindowTitle(QString());
            screen->setGeometry(workArea_->rect());
            screen->FormIdLabel()->setText(title);
            screen->FormIdLabel()->setFixedWidth(workArea_->width());
            screen->SetPreviouslyLoaded();
        }
        openedAs_[key] = {groupCaption, itemCaption};
        screen->show();
        screen->raise();
        followFrontScreen();
        screen->Activate();
    });
    followFrontScreen();
}

void frmMain::guarded(const QString& source, const std::function<void()>& action) {
    RunReportingFailures(state_.platform(), state_.busy(), source, action);
}

void frmMain::followFrontScreen() {
    FunctionScreen* front = FrontScreen();
    const auto shown = std::find_if(screens_.begin(), screens_.end(),
                                    [front](const auto& open) { return open.second == front; });
    const auto opened = shown == screens_.end() ? openedAs_.end() : openedAs_.find(shown->first);
    if (!front || opened == openedAs_.end()) {
        albMain_->HighlightItem(QString());
        statusPanel1_->setText(loggedInText());
        return;
    }
    const auto& [groupCaption, itemCaption] = opened->second;
    albMain_->SelectGroup(groupCaption);
    albMain_->HighlightItem(shown->first);
    statusPanel1_->setText(albMain_->CurrentGroupCaption() + QStringLiteral(":  ") +
                           doubledAmpersands(itemCaption));
}

QString frmMain::loggedInText() const {
    return QStringLiteral("Logged in as %1 on %2")
        .arg(state_.session().OperatorId(), state_.session().ServerName());
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ReadOnlyChange && watched->isWidgetType()) {
        auto* field = static_cast<QWidget*>(watched);
        if (field->window() == this || isAncestorOf(field)) {
            field->style()->unpolish(field);
            field->style()->polish(field);
            field->update();
        }
    }
    if (event->type() == QEvent::HideToParent && qobject_cast<FunctionScreen*>(watched))
        followFrontScreen();
    return QMainWindow::eventFilter(watched, event);
}

FunctionScreen* frmMain::screenFor(const QString& key) {
    if (const auto open = screens_.find(key); open != screens_.end())
        return open->second;
    const ScreenEntry* entry = FindScreenEntry(key);
    if (!entry)
        return nullptr;
    FunctionScreen* screen = nullptr;
    if (const auto factory = factories_.find(key); factory != factories_.end())
        screen = factory->second(workArea_);
    else
        screen = new PlaceholderScreen(entry->screenName, entry->helpContextId, workArea_);
    screen->setParent(workArea_);
    screen->hide();
    screen->installEventFilter(this);
    screens_[key] = screen;
    return screen;
}

void frmMain::ShowStatusMessage(const QString& text) {
    statusPanel2_->setText(text);
    statusTimer_->start();
}

void frmMain::ApplyRights(const SecurityProfile& profile) {
    for (const NavigationGroup& group : NavigationTable()) {
        QAction* groupMenu = functionsMenu_->findChild<QAction*>(group.menuName);
        if (!group.kept || !group.kept(profile)) {
            albMain_->RemoveGroup(group.key);
            if (groupMenu)
                groupMenu->setVisible(false);
            continue;
        }
        for (const NavigationItem& item : group.items) {
            if (item.kept && item.kept(profile))
                continue;
            albMain_->RemoveItem(item.key);
            if (QAction* entry = functionsMenu_->findChild<QAction*>(item.menuName))
                entry->setVisible(false);
        }
    }
    albMain_->setCurrentIndex(0);
}

void frmMain::SetChangePasswordAvailable(bool available) {
    changePassword_->setVisible(available);
}

QStringList frmMain::NavigationGroups() const {
    return albMain_->GroupCaptions();
}

FunctionScreen* frmMain::Screen(const QString& key) const {
    const auto found = screens_.find(key);
    return found == screens_.end() ? nullptr : found->second;
}

FunctionScreen* frmMain::FrontScreen() const {
    // raise() moves a child to the end of its parent's children.
    const QObjectList& children = workArea_->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (auto* screen = qobject_cast<FunctionScreen*>(*it); screen && screen->isVisible())
            return screen;
    return nullptr;
}

QString frmMain::StatusPanel1() const {
    return statusPanel1_->text();
}

QString frmMain::StatusPanel2() const {
    return statusPanel2_->text();
}

void frmMain::Exit() {
    exiting_ = true;
    close();
    exiting_ = false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!exiting_ && state_.preferences().WarnOnClose()) {
        Message question;
        question.text = QStringLiteral("You are about to close the Velumar module.");
        question.icon = MessageIcon::Information;
        question.buttons = MessageButtons::OkCancel;
        question.parent = this;
        if (state_.platform().ShowMessage(question) != MessageAnswer::Ok) {
            event->ignore();
            return;
        }
    }
    if (!screensAgreeToClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool frmMain::screensAgreeToClose() {
    for (const auto& [key, screen] : screens_) {
        bool agrees = true;
        // A screen whose question fails must not keep the program from closing.
        guarded(screen->objectName(), [&] {
            agrees = !screen->isVisible() || screen->QueryClose(state_.platform());
        });
        if (!agrees)
            return false;
    }
    for (const auto& [key, screen] : screens_)
        screen->hide();
    return true;
}

void frmMain::ShowHelpTopics() {
    showHelp(HelpIndexUrl());
}

void frmMain::ShowContextHelp() {
    const FunctionScreen* screen = FrontScreen();
    showHelp(HelpTopicUrl(screen ? screen->HelpContextId() : MainWindowHelpContext));
}

void frmMain::showHelp(const QUrl& page) {
    if (!help_)
        help_ = new HelpWindow(state_.platform(), this);
    help_->ShowPage(page);
}

void frmMain::ShowPreferences() {
    frmPrefs prefs(state_, this);
    prefs.SetRuleHighlightingChanged([this] { redrawRuleHighlighting(); });
    runDialog_(prefs);
}

void frmMain::redrawRuleHighlighting() {
    for (const char* key : {"RuleGeneration_RuleDocuments", "RuleGeneration_ScanRuleDocs"})
        if (FunctionScreen* screen = Screen(QString::fromLatin1(key)))
            guarded(screen->objectName(), [screen] { screen->RedrawRuleHighlighting(); });
}

void frmMain::ShowLoginInformation() {
    orvane::LoginInformationDialog dialog(state_.session(), QString(), QString(),
                                          QStringLiteral("All"), this);
    runDialog_(dialog);
}

void frmMain::ShowChangePassword() {
    orvane::ChangePasswordDialog dialog(state_.session(), state_.channel(), QStringLiteral("All"),
                                        this);
    if (runDialog_(dialog) != QDialog::Accepted)
        return;
    Message done;
    done.text = QString::fromLatin1(orvane::ChangePasswordDialog::ChangedText);
    done.icon = MessageIcon::Information;
    done.parent = this;
    state_.platform().ShowMessage(done);
}

void frmMain::ShowAbout() {
    const Component* protocol =
        state_.components().Find(QString::fromLatin1(ComponentTable::ServerProtocol));
    orvane::AboutDialog dialog(state_.session(), QApplication::applicationVersion(),
                               protocol ? protocol->Installed : QString(), this);
    runDialog_(dialog);
}

void frmMain::OpenWebSite(int index) {
    const QString support = state_.supportWebText();
    const QUrl url = index == 0 ? webSiteHome(support) : supportAddress(support);
    if (url.isValid() && !url.isEmpty())
        OpenInBrowser(state_.platform(), url, this);
}

} // namespace velumar
