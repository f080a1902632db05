#include "dialogs/about_dialog.h"

#include "session.h"
#include "version.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace orvane {

AboutDialog::AboutDialog(const Session& session, const QString& programVersion,
                         const QString& serverVersion, QWidget* parent)
    : QDialog(parent), versions_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("About Velumar"));
    versions_->setObjectName(QStringLiteral("lblVersions"));
    versions_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* icon = new QLabel(this);
    const QIcon windowIcon = parent ? parent->windowIcon() : QApplication::windowIcon();
    icon->setPixmap(
        (windowIcon.isNull() ? style()->standardIcon(QStyle::SP_MessageBoxInformation) : windowIcon)
            .pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("Velumar"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto* purpose =
        new QLabel(QStringLiteral("Batch changes to the MARC records of an Orvane library."), this);
    purpose->setWordWrap(true);

    versions_->setText(
        QStringLiteral("Program version: %1\nServer-access library version: %2\n"
                       "Server: %3\nServer protocol version: %4\nOperator: %5")
            .arg(programVersion, QString::fromLatin1(LibraryVersion()), session.ServerName(),
                 serverVersion.isEmpty() ? QStringLiteral("not known") : serverVersion,
                 session.OperatorId()));

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(purpose);
    text->addSpacing(8);
    text->addWidget(versions_);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

QString AboutDialog::VersionText() const {
    return versions_->text();
}

} // namespace orvane
