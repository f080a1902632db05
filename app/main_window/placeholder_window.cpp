#include "main_window/placeholder_window.h"

#include "security/security_profile.h"
#include "session.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <functional>

namespace velumar {

namespace {

struct NavigationGroup {
    const char* caption;
    std::function<bool(const SecurityProfile&)> kept;
};

const std::vector<NavigationGroup>& navigationGroups() {
    static const std::vector<NavigationGroup> groups{
        {"Record Sets",
         [](const SecurityProfile& p) {
             return p.RecordSetAddAny() || p.RecordSetUpdateAny() || p.RecordSetViewAny();
         }},
        {"Rules", [](const SecurityProfile& p) { return p.RuleViewAny(); }},
        {"Preview", [](const SecurityProfile& p) { return p.RecordSetPreviewAny(); }},
        {"Job Management", [](const SecurityProfile&) { return true; }},
        {"Authority Loading", [](const SecurityProfile& p) { return p.AuthorityLoad(); }},
    };
    return groups;
}

} // namespace

PlaceholderWindow::PlaceholderWindow(const orvane::Session& session, QWidget* parent)
    : QMainWindow(parent), navigation_(new QListWidget) {
    setWindowTitle(QStringLiteral("Velumar"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    changePassword_ = file->addAction(QStringLiteral("Change Pass&word..."));
    changePassword_->setObjectName(QStringLiteral("mnuFileChangePassword"));
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    navigation_->setObjectName(QStringLiteral("albMain"));
    for (const auto& group : navigationGroups())
        navigation_->addItem(QString::fromLatin1(group.caption));
    auto* label = new QLabel(QStringLiteral("Velumar is connected. Its screens are on the way."));
    label->setAlignment(Qt::AlignCenter);
    auto* split = new QSplitter;
    split->addWidget(navigation_);
    split->addWidget(label);
    split->setStretchFactor(1, 1);
    setCentralWidget(split);

    statusBar()->showMessage(
        QStringLiteral("Logged in as %1 on %2").arg(session.OperatorId(), session.ServerName()));
    resize(800, 500);
}

void PlaceholderWindow::SetChangePasswordAvailable(bool available) {
    changePassword_->setVisible(available);
}

void PlaceholderWindow::ApplyRights(const SecurityProfile& profile) {
    for (const auto& group : navigationGroups()) {
        if (group.kept(profile))
            continue;
        const auto found =
            navigation_->findItems(QString::fromLatin1(group.caption), Qt::MatchExactly);
        for (QListWidgetItem* item : found)
            delete item;
    }
}

QStringList PlaceholderWindow::NavigationGroups() const {
    QStringList captions;
    for (int i = 0; i < navigation_->count(); ++i)
        captions.push_back(navigation_->item(i)->text());
    return captions;
}

} // namespace velumar
