#include "screens/frm_preview_validation.h"

#include "grid/grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace velumar {

frmPreviewValidation::frmPreviewValidation(QWidget* parent)
    : QWidget(parent, Qt::Window), vsfMessages_(new Grid),
      cmdClose_(new QPushButton(QStringLiteral("&Close"))) {
    setObjectName(QStringLiteral("frmPreviewValidation"));
    setWindowTitle(QStringLiteral("Preview Messages"));
    vsfMessages_->setObjectName(QStringLiteral("vsfMessages"));
    vsfMessages_->SetHeadings({QStringLiteral("Message")});
    vsfMessages_->setWordWrap(true);
    vsfMessages_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(vsfMessages_, 1);
    layout->addLayout(buttons);
    resize(560, 320);
}

void frmPreviewValidation::ShowMessages(const QStringList& messages) {
    vsfMessages_->ClearRows();
    for (int i = 0; i < messages.size(); ++i)
        vsfMessages_->AddRow({messages[i]}, i);
}

} // namespace velumar
