#include "help/help_window.h"

#include "help/help_topics.h"
#include "platform/platform_services.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace velumar {

namespace {

QToolButton* toolButton(const QString& name, const QString& text, const QIcon& icon,
                        const QString& tip) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(icon);
    button->setToolTip(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

QString HelpMissingText(const QUrl& page) {
    QString text = QStringLiteral("The help page \"");
    text.append(QFileInfo(page.toLocalFile()).fileName());
    text.append(QStringLiteral("\" could not be found.\r\nVelumar's help pages belong in the "
                               "folder \""));
    text.append(QFileInfo(page.toLocalFile()).absolutePath());
    text.append(QStringLiteral("\"."));
    return text;
}

HelpWindow::HelpWindow(PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform), browser_(new QTextBrowser),
      back_(toolButton(QStringLiteral("cmdBack"), QStringLiteral("Back"),
                       style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"))),
      forward_(toolButton(QStringLiteral("cmdForward"), QStringLiteral("Forward"),
                          style()->standardIcon(QStyle::SP_ArrowForward),
                          QStringLiteral("Forward"))) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Velumar Help"));
    resize(640, 600);

    auto* contents = toolButton(QStringLiteral("cmdContents"), QStringLiteral("Contents"),
                                style()->standardIcon(QStyle::SP_DirHomeIcon),
                                QStringLiteral("The help's first page"));
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    bar->setSpacing(4);
    bar->addWidget(contents);
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addStretch(1);

    browser_->setObjectName(QStringLiteral("txtHelp"));
    // Every link goes through FollowLink: pages stay here, the web goes out.
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->document()->setDocumentMargin(16);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(contents, &QToolButton::clicked, this, [this] { ShowPage(HelpIndexUrl()); });
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Velumar Help")
                                       : title + QStringLiteral(" - Velumar Help"));
    });
}

bool HelpWindow::ShowPage(const QUrl& page) {
    const QUrl file = page.adjusted(QUrl::RemoveFragment);
    if (!file.isLocalFile() || !QFileInfo(file.toLocalFile()).isFile()) {
        Message missing;
        missing.text = HelpMissingText(file);
        missing.icon = MessageIcon::Exclamation;
        missing.parent = parentWidget();
        platform_.ShowMessage(missing);
        return false;
    }
    browser_->setSource(page);
    show();
    raise();
    activateWindow();
    return true;
}

QUrl HelpWindow::CurrentPage() const {
    return browser_->source();
}

QString HelpWindow::CurrentTitle() const {
    return browser_->documentTitle();
}

void HelpWindow::FollowLink(const QUrl& link) {
    const QUrl target = browser_->source().resolved(link);
    if (target.isLocalFile()) {
        ShowPage(target);
        return;
    }
    OpenInBrowser(platform_, target, this);
}

void OpenInBrowser(PlatformServices& platform, const QUrl& address, QWidget* parent) {
    if (platform.OpenUrl(address))
        return;
    Message none;
    none.text = QStringLiteral("No web browser could be started to open \"");
    none.text.append(address.toString());
    none.text.append(QStringLiteral("\"."));
    none.icon = MessageIcon::Exclamation;
    none.parent = parent;
    platform.ShowMessage(none);
}

} // namespace velumar
