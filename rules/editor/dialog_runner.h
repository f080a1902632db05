#pragma once
// How a screen shows a modal dialog of its own: exec() in the program. Tests
// put a runner in its place that fills the dialog and confirms or cancels
// it, so no test waits on a modal loop.

#include <functional>

class QDialog;

namespace velumar {

using DialogRunner = std::function<int(QDialog&)>;

// exec().
DialogRunner ModalDialogRunner();

} // namespace velumar
