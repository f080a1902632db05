#pragma once
// The jobs table: what was submitted, where each job stands, and the claim
// that hands a due job to exactly one runner.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

struct JobRow {
    std::int32_t id = 0;
    std::string name;
    std::int32_t type = 0;
    std::int32_t status = 0;
    std::int32_t recordType = 0;
    std::optional<std::int32_t> recordSetId;
    std::optional<std::int32_t> saveRecordSetId;
    std::string newRecordSetName;
    std::optional<std::int32_t> ruleSetId;
    std::string rangeStart;
    std::string rangeEnd;
    bool updateDatabase = false;
    bool keywordIndex = false;
    std::string scheduledStart; // "yyyy-mm-dd hh:mm:ss", local time; empty: at once
    std::string actualStart;
    std::string operatorId;
    std::string libraryParam;
    std::string locationParam;
    std::string fieldOrder;
    std::optional<std::int32_t> sourceJobId; // "SJID": the match job a merge or load reads
    bool add035 = false;                     // "ADD035"
    std::int32_t recordsToProcess = 0;
    std::int32_t recordsProcessed = 0;
    std::int32_t errorCount = 0;
    std::int32_t recordsDeleted = 0;
    std::int32_t currentBulk = 0;
    std::string modifiedAt;
    std::string finishedAt;
};

struct JobCounters {
    std::int32_t toProcess = 0;
    std::int32_t processed = 0;
    std::int32_t errors = 0;
    std::int32_t deleted = 0;
    std::int32_t bulk = 0;
};

class JobStore {
public:
    explicit JobStore(Database& db) : db_(db) {}

    std::int32_t insert(const JobRow& job);
    std::optional<JobRow> find(std::int32_t id);
    bool nameTaken(const std::string& name);
    // Every job that has started, newest first; the pending ones by start.
    std::vector<JobRow> started();
    std::vector<JobRow> pending();

    // Marks the earliest pending job whose start has come (`now`) Running
    // and answers it; nothing when none is due or another runner took it.
    // Match jobs are never claimed: the client that reads their file runs them.
    // `runner` names the server process that claims it (its lease).
    std::optional<JobRow> claimDue(const std::string& now, const std::string& runner = {});
    // The runner still has the job: its lease starts again.
    void heartbeat(std::int32_t id, const std::string& runner);
    // Jobs running (or being killed) whose runner has not said so for
    // `lease` seconds: its server died. Marked Failed; their ids.
    std::vector<std::int32_t> failAbandoned(std::int64_t leaseSeconds);
    void saveCounters(std::int32_t id, const JobCounters& counters);
    void setStatus(std::int32_t id, std::int32_t status);
    // Running (or Kill) becomes Done, Killed or Failed, with the time it ended.
    void finish(std::int32_t id, std::int32_t status);
    std::int32_t status(std::int32_t id);
    // A kill asked for: Running or Paused become Kill. False when not active.
    bool requestKill(std::int32_t id);
    bool reschedule(std::int32_t id, const std::string& start);
    void remove(std::int32_t id);
    // Jobs a stopped server left running (or being killed); answers their
    // ids, now Failed. Paused jobs wait on their client and stay.
    std::vector<std::int32_t> failInterrupted();
    void setSaveRecordSet(std::int32_t id, std::int32_t recordSetId);

private:
    Database& db_;
};

// The local time as jobs keep it: "yyyy-mm-dd hh:mm:ss".
std::string jobTimeNow();
// True for a text of exactly that form with a real date and time.
bool isJobTime(const std::string& text);

} // namespace orvane::server
