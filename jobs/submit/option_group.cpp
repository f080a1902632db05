#include "submit/option_group.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace velumar {

OptionGroup::OptionGroup(const char* name, QObject* owner)
    : QObject(owner), name_(name), group_(new QButtonGroup(this)) {
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            emit Changed();
    });
}

QRadioButton* OptionGroup::Add(int index, const QString& caption) {
    auto* option = new QRadioButton(caption);
    option->setObjectName(QString::fromLatin1(name_) + QLatin1Char('_') + QString::number(index));
    group_->addButton(option, index);
    options_[index] = option;
    return option;
}

QRadioButton* OptionGroup::Option(int index) const {
    const auto found = options_.find(index);
    return found == options_.end() ? nullptr : found->second;
}

int OptionGroup::Chosen() const {
    return group_->checkedId();
}

void OptionGroup::Choose(int index) {
    QRadioButton* option = Option(index);
    if (option && option->isEnabled())
        option->setChecked(true);
}

void OptionGroup::Clear() {
    if (Chosen() < 0)
        return;
    // An exclusive group keeps one option checked; unchecking needs it open for a moment.
    group_->setExclusive(false);
    group_->checkedButton()->setChecked(false);
    group_->setExclusive(true);
    emit Changed();
}

void OptionGroup::SetOptionEnabled(int index, bool enabled) {
    QRadioButton* option = Option(index);
    if (!option)
        return;
    option->setEnabled(enabled);
    if (!enabled && option->isChecked())
        Clear();
}

} // namespace velumar
