#pragma once
// Job types ("JT") and job statuses ("JS") with the names the screens show.

#include <QString>

namespace velumar {

enum class JobType {
    Scan = 0,
    DataChange = 1,
    IndexRecords = 2,
    Match = 3,
    AuthLoadMatch = 4,
    AuthLoadMerge = 5,
    AuthLoadReconcile = 6,
    AuthDbLoad = 7,
};

// Statuses travel as numbers and are kept as received, known or not.
enum class JobStatus {
    Pending = 0,
    Running = 1,
    Done = 2,
    Kill = 3, // a kill asked for and not yet carried out
    Killed = 4,
    Failed = 5,
    Paused = 6,
};

// A received type outside 0..7 is a scan job.
JobType JobTypeOf(int code);
inline int CodeOf(JobType type) {
    return static_cast<int>(type);
}
inline int CodeOf(JobStatus status) {
    return static_cast<int>(status);
}

// "Scan", "Data Change", ... "Auth Db Load".
QString JobTypeName(JobType type);
// "Pending", "Running", ... "Paused"; empty for a code outside 0..6.
QString JobStatusName(int status);
// Running, Kill or Paused: the job still holds its records and files.
bool IsActiveStatus(int status);

} // namespace velumar
