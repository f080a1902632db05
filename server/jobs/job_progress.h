#pragma once
// The status and counters a client reports of a job whose work it drives
// ("SAVE_JOB" with "JS"): a match job, which the client runs from its file
// (Pending, Running, then Done, Killed or Failed), and an authority-load
// match job while the client uploads its records (Paused, then Pending for
// the runner, Killed or Failed). Any pending job may be marked Failed.

#include "job_store.h"

#include <cstdint>
#include <optional>

namespace orvane::server {

class Database;

struct ProgressReport {
    std::int32_t status = 0;               // "JS"
    std::optional<std::int32_t> errors;    // "EC"
    std::optional<std::int32_t> processed; // "RP"
    std::optional<std::int32_t> toProcess; // "RTP"
    std::optional<std::int32_t> saveSet;   // "SRS": the set a match job fills
};

// Applies the report to the job as it stands; the wire status, 0 when taken:
// 2 when the job cannot go from its status to the one reported, 5 no such
// save set, 8 a save set of another record type or for another kind of job.
// A job killed meanwhile ends Killed whatever its client reports.
std::int32_t applyProgress(Database& db, const JobRow& job, const ProgressReport& report);

} // namespace orvane::server
