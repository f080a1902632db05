#pragma once
// The inputs the submission screens build alike: named drop-down lists,
// and record id range boxes that take whole numbers only.

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QWidget;

namespace velumar {

// A drop-down list named as the screens name their controls, with nothing chosen.
QComboBox* MakeList(const char* name, int minimumWidth = 260);

// A box for a record id (1 or more).
QLineEdit* MakeIdBox(const char* name, QWidget* owner);

// "from" and "to" boxes side by side, "to" between them.
QHBoxLayout* RangeRow(QLineEdit* from, QLineEdit* to);

} // namespace velumar
