#pragma once
// The preview screens name their controls as the screens' descriptions do
// (cmdNext, vsfBefore, ...), so that tests and tools find them by name.

#include <QString>

namespace velumar {

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace velumar
