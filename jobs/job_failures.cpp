#include "job_failures.h"

#include <array>

namespace velumar {

namespace {

using Op = JobOperation;

struct Known {
    Op operation;
    int status;
    const char* text; // null: nothing is told
};

struct Otherwise {
    Op operation;
    const char* text; // followed by " Error code = " and the status
};

constexpr char NotFound[] = "Job not found.";

constexpr std::array<Known, 31> KnownStatuses{{
    {Op::LoadRunningJobs, 6, "Operator not authorized to view running/completed jobs."},
    {Op::LoadScheduledJobs, 6, "Operator not authorized to view scheduled jobs."},
    {Op::FetchJob, 5, NotFound},
    // A refused fetch only means there is nothing to show.
    {Op::FetchJob, 6, nullptr},
    {Op::StopJob, 2, "Job has already stopped running."},
    {Op::StopJob, 5, NotFound},
    {Op::StopJob, 6, "Operator not authorized to kill job."},
    {Op::RemoveJob, 2, "Job cannot be deleted.  Job files in use."},
    {Op::RemoveJob, 5, NotFound},
    {Op::RemoveJob, 6, "Operator not authorized to delete job."},
    {Op::RemoveJobLog, 2, "Job log cannot be deleted.  Job files in use."},
    {Op::RemoveJobLog, 5, NotFound},
    {Op::RemoveJobLog, 6, "Operator not authorized to delete job log."},
    {Op::RemoveJobResultFiles, 2, "Job result files cannot be deleted.  Job files in use."},
    {Op::RemoveJobResultFiles, 5, NotFound},
    {Op::RemoveJobResultFiles, 6, "Operator not authorized to delete result files."},
    {Op::RescheduleJob, 2, "Job start time must be later than now."},
    {Op::RescheduleJob, 5, NotFound},
    {Op::RescheduleJob, 6, "Operator not authorized to update job data."},
    {Op::ShowJobLog, 2, "Job log file not found"},
    {Op::ShowJobLog, 5, NotFound},
    {Op::ShowJobLog, 6, "Operator not authorized to view job log."},
    {Op::FetchResultFile, 2, "Job result file not found"},
    {Op::FetchResultFile, 5, NotFound},
    {Op::FetchResultFile, 6, "Operator not authorized to view job result file."},
    {Op::FetchResultFileList, 2, "No files found for this job."},
    {Op::FetchResultFileList, 5, NotFound},
    {Op::FetchResultFileList, 6, "Operator not authorized to view job log."},
    {Op::FillRuleSetGroupList, 6, "Operator not authorized to view rule set groups."},
    {Op::FillJobsWithFiles, 5, "Invalid input."},
    {Op::FillJobsWithFiles, 6, "Operator not authorized to submit job."},
}};

constexpr std::array<Otherwise, 13> OtherStatuses{{
    {Op::LoadRunningJobs, "Failed to load running/completed jobs."},
    {Op::LoadScheduledJobs, "Failed to load scheduled jobs."},
    {Op::FetchJob, "Failed to retrieve job data."},
    {Op::StopJob, "Failed to kill job."},
    {Op::RemoveJob, "Failed to delete job."},
    {Op::RemoveJobLog, "Failed to delete job log."},
    {Op::RemoveJobResultFiles, "Failed to delete job result files."},
    {Op::RescheduleJob, "Failed to update job data."},
    {Op::ShowJobLog, "Failed to retrieve job log."},
    {Op::FetchResultFile, "Failed to retrieve job result file."},
    {Op::FetchResultFileList, "Failed to retrieve job log."},
    {Op::FillRuleSetGroupList, "Failed to get rule set groups."},
    {Op::FillJobsWithFiles, "Failed to load jobs."},
}};

const Known* findKnown(Op operation, int status) {
    for (const Known& known : KnownStatuses)
        if (known.operation == operation && known.status == status)
            return &known;
    return nullptr;
}

} // namespace

QString JobFailureText(JobOperation operation, int status) {
    if (status == 0)
        return {};
    if (const Known* known = findKnown(operation, status))
        return known->text ? QString::fromLatin1(known->text) : QString();
    for (const Otherwise& other : OtherStatuses)
        if (other.operation == operation)
            return QString::fromLatin1(other.text) + QStringLiteral(" Error code = ") +
                   QString::number(status);
    return {};
}

} // namespace velumar
