#pragma once
// The drop-down lists of the submission screens: an entry's id is its item
// data, and a list may have nothing chosen.

#include <QtGlobal>
#include <functional>

class QComboBox;

namespace velumar {

// The chosen entry's id; -1 when nothing is chosen.
qint32 ChosenId(const QComboBox& list);

// Fills the list again; the entry chosen before stays chosen when it is
// still listed, otherwise nothing is.
void RefillKeepingChoice(QComboBox& list, const std::function<void()>& fill);

} // namespace velumar
