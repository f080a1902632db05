#pragma once
// The help page of each help context: a screen's F1 opens its page, and a
// context without a page of its own opens the help's first page.

#include <QUrl>

namespace velumar {

QUrl HelpIndexUrl();
QUrl HelpTopicUrl(int helpContextId);

} // namespace velumar
