#pragma once
// The screen of a function this version does not have yet: it says so
// instead of leaving the work area empty.

#include "main_window/function_screen.h"

namespace velumar {

class PlaceholderScreen : public FunctionScreen {
    Q_OBJECT
public:
    PlaceholderScreen(const QString& screenName, int helpContextId, QWidget* parent = nullptr);

    QString Notice() const;

private:
    class QLabel* notice_;
};

} // namespace velumar
