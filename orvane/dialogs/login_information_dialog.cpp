#include "dialogs/login_information_dialog.h"

#include "session.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace orvane {

LoginInformationDialog::LoginInformationDialog(const Session& session, const QString& title,
                                               const QString& note, const QString& scope,
                                               QWidget* parent)
    : QDialog(parent), form_(new QFormLayout) {
    setWindowTitle(title.isEmpty() ? QStringLiteral("Login Information") : title);
    auto* layout = new QVBoxLayout(this);
    if (!note.isEmpty()) {
        auto* noteLabel = new QLabel(note, this);
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }
    const auto add = [this](const QString& label, const QString& value) {
        auto* shown = new QLabel(value, this);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form_->addRow(label, shown);
    };
    add(QStringLiteral("Operator ID:"), session.OperatorId());
    add(QStringLiteral("Server:"), session.ServerName());
    add(QStringLiteral("Logged in:"),
        session.IsLoggedIn() ? QStringLiteral("Yes") : QStringLiteral("No"));
    add(QStringLiteral("Password:"), session.PasswordFlag()
                                         ? QStringLiteral("Managed outside this program")
                                         : QStringLiteral("Managed by the library server"));
    add(QStringLiteral("Programs:"), scope);
    layout->addLayout(form_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}

QStringList LoginInformationDialog::Details() const {
    QStringList lines;
    for (int row = 0; row < form_->rowCount(); ++row) {
        const auto* label =
            qobject_cast<QLabel*>(form_->itemAt(row, QFormLayout::LabelRole)->widget());
        const auto* value =
            qobject_cast<QLabel*>(form_->itemAt(row, QFormLayout::FieldRole)->widget());
        if (label && value)
            lines.push_back(label->text() + QLatin1Char(' ') + value->text());
    }
    return lines;
}

} // namespace orvane
