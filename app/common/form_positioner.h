#pragma once
// Remembered window places: a screen restores its place when it loads and
// saves it when it unloads, per operator (the settings group is the operator
// id), under the screen's name followed by "Top", "Left", "Height", "Width".

#include "common/settings_store.h"

#include <QSize>
#include <QString>

class QWidget;

namespace velumar {

class FormPositioner {
public:
    explicit FormPositioner(QString operatorId, SettingsStore store = UserSettingsStore());

    // The saved place, never smaller than minimum. Nothing saved yet: the
    // screen is centred over the main window (when given) at its own size.
    void Restore(QWidget& screen, const QString& name, QSize minimum,
                 const QWidget* mainWindow) const;
    void Save(const QWidget& screen, const QString& name) const;

private:
    QString operatorId_;
    SettingsStore store_;
};

// Centres a screen over another window, keeping it on that window's screen.
void PlaceRelativeTo(QWidget& screen, const QWidget* mainWindow);

} // namespace velumar
