#include "failures/guarded_application.h"

#include "failures/unexpected_failure.h"

namespace velumar {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        if (handler_) {
            // A failure in the report itself must not end the run either.
            try {
                handler_(receiver, failure);
            } catch (...) {
                qWarning("Velumar: the failure report failed");
            }
        } else {
            const RuntimeError error = DescribeFailure(failure, FailureSource(receiver));
            qWarning("Velumar: error %d in %s: %s", error.number, qUtf8Printable(error.source),
                     qUtf8Printable(error.description));
        }
        return false;
    }
}

} // namespace velumar
