#include "submit/input_widgets.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <limits>

namespace velumar {

QComboBox* MakeList(const char* name, int minimumWidth) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    list->setMinimumWidth(minimumWidth);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

QLineEdit* MakeIdBox(const char* name, QWidget* owner) {
    auto* box = new QLineEdit;
    box->setObjectName(QString::fromLatin1(name));
    box->setValidator(new QIntValidator(1, std::numeric_limits<qint32>::max(), owner));
    box->setMaximumWidth(110);
    return box;
}

QHBoxLayout* RangeRow(QLineEdit* from, QLineEdit* to) {
    auto* row = new QHBoxLayout;
    row->addWidget(from);
    row->addWidget(new QLabel(QStringLiteral("to")));
    row->addWidget(to);
    row->addStretch(1);
    return row;
}

} // namespace velumar
