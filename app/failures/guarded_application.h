#pragma once
// The program's application object: a failure thrown while an event is
// handled (a click, a timer, a key) is handed to the failure handler instead
// of ending the program.

#include <QApplication>
#include <exception>
#include <functional>

namespace velumar {

class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    // The object the event was for, and what was thrown.
    using FailureHandler = std::function<void(QObject* receiver, std::exception_ptr failure)>;

    GuardedApplication(int& argc, char** argv);

    // Until one is set, a failure is written to the error output and the run goes on.
    void SetFailureHandler(FailureHandler handler) { handler_ = std::move(handler); }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    FailureHandler handler_;
};

} // namespace velumar
