#include "failures/unexpected_failure.h"

#include <QObject>
#include <new>
#include <system_error>

namespace velumar {

RuntimeError DescribeFailure(std::exception_ptr failure, const QString& source) {
    RuntimeError error{UnexpectedFailureNumber, source, QStringLiteral("Unknown failure"), false};
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        error.number = OutOfMemoryNumber;
        error.description = QStringLiteral("Out of memory");
        error.outOfMemory = true;
    } catch (const std::system_error& e) {
        error.number = e.code().value();
        error.description = QString::fromUtf8(e.what());
    } catch (const std::exception& e) {
        error.description = QString::fromUtf8(e.what());
    } catch (...) {
        // Not a standard failure: nothing more to say of it.
    }
    return error;
}

QString FailureSource(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent())
        if (o->objectName().startsWith(QLatin1String("frm")))
            return o->objectName();
    if (object)
        return QString::fromLatin1(object->metaObject()->className());
    return QStringLiteral("Velumar");
}

bool RunReportingFailures(PlatformServices& platform, BusyState& busy, const QString& source,
                          const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (...) {
        ReportRuntimeError(platform, busy, DescribeFailure(std::current_exception(), source));
        return false;
    }
}

} // namespace velumar
