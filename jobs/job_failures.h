#pragma once
// What the operator is told when a job request fails, per operation and
// status: a fixed text for the codes the operation knows, otherwise its
// "Failed to ..." text with " Error code = " and the status.

#include <QString>

namespace velumar {

enum class JobOperation {
    LoadRunningJobs,
    LoadScheduledJobs,
    FetchJob,
    StopJob,
    RemoveJob,
    RemoveJobLog,
    RemoveJobResultFiles,
    RescheduleJob,
    ShowJobLog,
    FetchResultFile,
    FetchResultFileList,
    FillRuleSetGroupList,
    FillJobsWithFiles,
};

// Empty for status 0, and for a refusal the operation keeps quiet about.
QString JobFailureText(JobOperation operation, int status);

} // namespace velumar
