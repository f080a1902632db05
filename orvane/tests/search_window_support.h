#pragma once
// What the search window tests share: a message recorder in place of boxes.

#include "search_window/search_messages.h"

#include <QStringList>

namespace orvane::testing {

class RecordedMessages final : public SearchMessages {
public:
    void Warning(QWidget*, const QString& text) override { warnings << text; }
    void Information(QWidget*, const QString& text) override { informations << text; }

    QStringList warnings;
    QStringList informations;
};

} // namespace orvane::testing
