#include "dialog_runner.h"

#include <QDialog>

namespace velumar {

DialogRunner ModalDialogRunner() {
    return [](QDialog& dialog) { return dialog.exec(); };
}

} // namespace velumar
