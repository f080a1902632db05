#include "upload/upload_counters.h"

#include <cmath>

namespace velumar {

QString ProgressText(const UploadCounters& c) {
    return QStringLiteral("Processing %1 of %2 records...").arg(c.processed).arg(c.toProcess);
}

int ProgressPercent(const UploadCounters& c) {
    if (c.toProcess <= 0)
        return 0;
    return static_cast<int>(std::lround(100.0 * c.processed / c.toProcess));
}

} // namespace velumar
