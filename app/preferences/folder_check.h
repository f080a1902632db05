#pragma once
// The check of a folder the operator typed: an existing folder, or none,
// passes; a missing one is created when the operator agrees.

#include <QString>

namespace velumar {

class PlatformServices;

// True when the folder exists (or the path is empty), or the operator chose
// to create it and it was created.
bool CheckFolder(PlatformServices& platform, const QString& path);

} // namespace velumar
