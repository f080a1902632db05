#pragma once
// What "SAVE_JOB" checks of the jobs that take their input from a file or
// from earlier jobs: match jobs (3) and the authority-load jobs (4 to 7).

#include "job_submission.h"

#include <cstdint>
#include <string_view>

namespace orvane::server {

class Database;

// Checks the fields of a job of type 3 to 7 and fills the row with them; the
// wire status of the refusal, 0 when the job may be queued. An authority-load
// match job starts Paused: its client uploads the records before it may run.
std::int32_t checkMatchOrLoadSubmission(Database& db, const SubmittedJob& submitted, JobRow& job);

// The right a submission needs: that of its type, except that a match job
// filling a new set needs the right to create sets of its record type.
std::string_view submissionRight(const SubmittedJob& submitted, std::int32_t recordType);

} // namespace orvane::server
