#pragma once
// One job while it runs: its row, its folder, its counters as the operator
// watches them, and whether a kill or a server stop asks it to end.

#include "job_files.h"
#include "job_store.h"

#include <atomic>
#include <fstream>
#include <string>
#include <string_view>

namespace orvane::server {

class Database;

// How a job ended, and why when it failed.
struct JobEnd {
    std::int32_t status = 0;
    std::string reason;
};

class JobExecution {
public:
    JobExecution(Database& db, const std::string& databasePath, JobRow job,
                 const std::atomic<bool>& serverStopping);

    Database& db() { return db_; }
    const std::string& databasePath() const { return databasePath_; }
    const JobRow& job() const { return job_; }
    const JobFiles& files() const { return files_; }
    JobCounters& counters() { return counters_; }

    // Records per bulk: each bulk's changes are one transaction, and the
    // counters and a kill are looked at between bulks.
    static constexpr std::size_t BulkSize = 200;

    // Saves the counters; true when the job must stop now (a kill, or the
    // server stopping).
    bool bulkDone();
    // Why it stops, once bulkDone said so.
    JobEnd stopped() const;

private:
    Database& db_;
    std::string databasePath_;
    JobRow job_;
    JobFiles files_;
    JobCounters counters_;
    const std::atomic<bool>& serverStopping_;
    bool killed_ = false;
};

// The ids a job reads: its record set in order, its range, or (a scan with
// neither) every record of its type. Empty, with the reason, when the
// input is gone.
std::vector<std::int32_t> jobRecordIds(Database& db, const JobRow& job, std::string& error);

// The job kinds. Each writes its log and result files in the job's folder.
JobEnd runScanJob(JobExecution& run);
JobEnd runDataChangeJob(JobExecution& run);
JobEnd runIndexJob(JobExecution& run);
JobEnd runAuthMatchJob(JobExecution& run);
JobEnd runAuthMergeJob(JobExecution& run);
JobEnd runAuthDbLoadJob(JobExecution& run);

struct GroupSource;
// The tag a match configuration writes its matched ids into ("035" unless set).
std::string matchIdTag(const GroupSource& matchConfiguration);

} // namespace orvane::server
