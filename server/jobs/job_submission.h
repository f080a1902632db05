#pragma once
// A new job as "SAVE_JOB" submits it: the fields checked against the
// catalogue, the record sets, the rule set groups and the clock, and turned
// into a job row. The caller checks the operator's right for the type and
// record type the submission names.

#include "job_store.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvane::server {

class Database;

struct SubmittedJob {
    std::int32_t type = 0;                 // "JT"
    std::string name;                      // "NM"
    std::optional<std::string> start;      // "SS"
    std::int32_t recordType = 0;           // "RT"
    std::optional<std::int32_t> recordSet; // "RSID"
    std::optional<std::string> rangeStart; // "RRS"
    std::optional<std::string> rangeEnd;   // "RRE"
    std::optional<std::int32_t> group;     // "SID" (scan) or "RUID"
    std::optional<std::int32_t> saveSet;   // "SRS"
    std::optional<std::string> newSetName; // "RSN"
    bool update = false;                   // "UP"
    bool keywordIndex = false;             // "KI"
    std::string libraryId;                 // "REQ_LIBRARY_ID"
    std::string locationId;                // "REQ_LOCATION_ID"
    std::string fieldOrder;                // "MFONAME"
    std::optional<std::int32_t> sourceJob; // "SJID"
    bool add035 = false;                   // "ADD035"
    std::string operatorId;
};

struct SubmissionCheck {
    std::int32_t status = 0; // wire status; 0 when the job may be queued
    std::int32_t bc = 0;     // with status 4: 2 the job name, 1 the new set name
    JobRow job;              // filled when status is 0
};

// The record type a job works on: its set's for a data change job, else "RT".
// Nothing when the set does not exist.
std::optional<std::int32_t> submittedRecordType(Database& db, const SubmittedJob& submitted);

SubmissionCheck checkSubmission(Database& db, const SubmittedJob& submitted,
                                const std::string& now);

// The most ids an index records job takes.
inline constexpr std::int64_t MaxIndexJobRecords = 20000;

} // namespace orvane::server
