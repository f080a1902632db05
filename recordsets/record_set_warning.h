#pragma once
// Record set failures and summaries are told in a warning box with the
// program's title.

class QString;

namespace velumar {

class PlatformServices;

void ShowRecordSetWarning(PlatformServices& platform, const QString& text);

} // namespace velumar
