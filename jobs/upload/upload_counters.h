#pragma once
// The counters an upload screen keeps and shows while it works.

#include <QString>

namespace velumar {

struct UploadCounters {
    int toProcess = 0; // records (or keys) to process
    int processed = 0;
    int errors = 0;
    int found = 0; // matches found, or records uploaded
};

// "Processing 3 of 45 records..."
QString ProgressText(const UploadCounters& counters);
// Processed of to-process in percent, rounded; 0 while there is nothing to process.
int ProgressPercent(const UploadCounters& counters);

// What an upload screen shows of its counters.
class UploadDisplay {
public:
    virtual ~UploadDisplay() = default;
    virtual void ShowProgress(const UploadCounters& counters) = 0;
};

} // namespace velumar
