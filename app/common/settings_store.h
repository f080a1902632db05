#pragma once
// Where per-user settings live: the platform's store for the application
// "OrvaneVLM". Tests hand the objects that keep settings a store of their own.

#include <QSettings>
#include <functional>
#include <memory>

namespace velumar {

inline constexpr char SettingsApplication[] = "OrvaneVLM";

// Opens the store afresh each time, so that what one object wrote the next reads.
using SettingsStore = std::function<std::unique_ptr<QSettings>()>;

inline SettingsStore UserSettingsStore() {
    return [] {
        return std::make_unique<QSettings>(QString::fromLatin1(SettingsApplication),
                                           QString::fromLatin1(SettingsApplication));
    };
}

} // namespace velumar
