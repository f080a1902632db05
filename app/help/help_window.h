#pragma once
// The help viewer inside Velumar: the help pages shown in a window of its
// own, so that help works on any desktop. Links between pages stay in the
// window; a link to the web goes to the desktop's browser, and the operator
// is told when there is none.

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace velumar {

class PlatformServices;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(PlatformServices& platform, QWidget* parent = nullptr);

    // Shows the page (a help file) and brings the window to the front; false,
    // after telling the operator, when the page is not there.
    bool ShowPage(const QUrl& page);
    QUrl CurrentPage() const;
    QString CurrentTitle() const;

    // What a click on a link in the page does.
    void FollowLink(const QUrl& link);

private:
    PlatformServices& platform_;
    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
};

// Told when a help page is missing: where the pages were looked for.
QString HelpMissingText(const QUrl& page);

// Opens a web address in the desktop's browser; when none would, says so.
void OpenInBrowser(PlatformServices& platform, const QUrl& address, QWidget* parent);

} // namespace velumar
