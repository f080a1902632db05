#pragma once
// How the search window tells the operator something. The window shows its
// messages through this, so tests can keep them instead of facing a box.

#include <QString>

class QWidget;

namespace orvane {

class SearchMessages {
public:
    virtual ~SearchMessages() = default;
    // A request that failed or an input that is not usable.
    virtual void Warning(QWidget* parent, const QString& text) = 0;
    // The outcome of an action that went through.
    virtual void Information(QWidget* parent, const QString& text) = 0;
};

// The title of the window's message boxes: the program's name as every other
// box shows it, not the settings name the application is registered under.
QString SearchMessageTitle();

// Modal message boxes with the program's title.
class BoxSearchMessages final : public SearchMessages {
public:
    void Warning(QWidget* parent, const QString& text) override;
    void Information(QWidget* parent, const QString& text) override;
};

} // namespace orvane
