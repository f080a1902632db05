#pragma once
// The main window until the real one with its navigation lands: who is
// logged in where, and nothing else.

#include <QMainWindow>

namespace orvane {
class Session;
}

namespace velumar {

class PlaceholderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PlaceholderWindow(const orvane::Session& session, QWidget* parent = nullptr);
};

} // namespace velumar
