#include "job_types.h"

#include <array>

namespace velumar {

namespace {

constexpr std::array<const char*, 8> TypeNames{"Scan",
                                               "Data Change",
                                               "Index Records",
                                               "Match",
                                               "Auth Load Match",
                                               "Auth Load Merge",
                                               "Auth Load Reconcile",
                                               "Auth Db Load"};

constexpr std::array<const char*, 7> StatusNames{"Pending", "Running", "Done",  "Kill",
                                                 "Killed",  "Failed",  "Paused"};

} // namespace

JobType JobTypeOf(int code) {
    return code >= CodeOf(JobType::Scan) && code <= CodeOf(JobType::AuthDbLoad)
               ? static_cast<JobType>(code)
               : JobType::Scan;
}

QString JobTypeName(JobType type) {
    return QString::fromLatin1(TypeNames[static_cast<std::size_t>(CodeOf(type))]);
}

QString JobStatusName(int status) {
    if (status < CodeOf(JobStatus::Pending) || status > CodeOf(JobStatus::Paused))
        return {};
    return QString::fromLatin1(StatusNames[static_cast<std::size_t>(status)]);
}

bool IsActiveStatus(int status) {
    return status == CodeOf(JobStatus::Running) || status == CodeOf(JobStatus::Kill) ||
           status == CodeOf(JobStatus::Paused);
}

} // namespace velumar
