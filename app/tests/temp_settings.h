#pragma once
// A settings store in a file of the test's own, so that no test reads or
// changes the operator's settings.

#include "common/settings_store.h"

#include <QTemporaryDir>

namespace velumar::testing {

class TempSettings {
public:
    SettingsStore Store() const {
        return [path = path_] { return std::make_unique<QSettings>(path, QSettings::IniFormat); };
    }
    // The store as the program left it, for reading what was written.
    std::unique_ptr<QSettings> Open() const { return Store()(); }

private:
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("settings.ini"));
};

} // namespace velumar::testing
