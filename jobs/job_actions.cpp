#include "job_actions.h"

#include "job_data.h"
#include "security/security_profile.h"

namespace velumar {

bool MayViewJobOutput(const JobData& job, const SecurityProfile& profile) {
    return profile.ViewJobOutput(CodeOf(job.Type()), job.RecordType());
}

RunningJobActions RunningActionsFor(const JobData* job, const SecurityProfile& profile) {
    if (!job)
        return {};
    const int type = CodeOf(job->Type());
    const bool active = job->IsActive();
    RunningJobActions actions;
    // A match job ran in the client: there is nothing on the server to act on but the job.
    if (job->Type() == JobType::Match) {
        actions.deleteJob = !active;
        return actions;
    }
    const bool view = MayViewJobOutput(*job, profile);
    const bool deleteLog = profile.DeleteJobLog(type, job->RecordType());
    const bool deleteResults = profile.DeleteJobResults(type, job->RecordType());
    // Scan and index jobs leave no result files of their own to offer.
    const bool resultFiles =
        job->HasResults() && job->Type() != JobType::Scan && job->Type() != JobType::IndexRecords;
    actions.kill = active && profile.KillJob(type);
    actions.deleteJob = !active && deleteLog && deleteResults;
    actions.viewLog = job->HasLog() && view;
    actions.deleteLog = job->HasLog() && deleteLog;
    actions.getResultFiles = resultFiles && view;
    actions.deleteResultFiles = resultFiles && deleteResults;
    return actions;
}

bool MayChangeQueuedJob(const JobData& job, const SecurityProfile& profile) {
    switch (job.Type()) {
    case JobType::Scan:
        return profile.ScanJob(job.RecordType());
    case JobType::DataChange:
        return profile.DataChangeJob(job.RecordType());
    case JobType::IndexRecords:
        return profile.IndexJob();
    case JobType::AuthLoadMatch:
    case JobType::AuthLoadMerge:
    case JobType::AuthDbLoad:
        return profile.AuthorityLoad();
    case JobType::Match:
    case JobType::AuthLoadReconcile:
        break;
    }
    return false;
}

} // namespace velumar
