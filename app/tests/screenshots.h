#pragma once
// Screens drawn into the folder VELUMAR_SCREENSHOTS names, for looking at;
// nothing is written when it names none.

#include <QString>
#include <QWidget>

namespace velumar::testing {

inline void SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("VELUMAR_SCREENSHOTS");
    if (!folder.isEmpty())
        widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace velumar::testing
