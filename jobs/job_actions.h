#pragma once
// What the operator may do with a job on the queue screens, from the job's
// type, status and files and the operator's rights. The server checks again.

namespace velumar {

class JobData;
class SecurityProfile;

struct RunningJobActions {
    bool kill = false;
    bool deleteJob = false;
    bool viewLog = false;
    bool deleteLog = false;
    bool getResultFiles = false;
    bool deleteResultFiles = false;

    bool operator==(const RunningJobActions&) const = default;
};

// Nothing for no job.
RunningJobActions RunningActionsFor(const JobData* job, const SecurityProfile& profile);

// The right to see a job's summary, log and result files.
bool MayViewJobOutput(const JobData& job, const SecurityProfile& profile);

// Editing the run time of a queued job, or removing it: the submission
// right of its type (and record type); never for match and reconcile jobs.
bool MayChangeQueuedJob(const JobData& job, const SecurityProfile& profile);

} // namespace velumar
