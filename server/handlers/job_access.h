#pragma once
// What every job request asks before anything else: whether the operator
// holds any right about jobs at all.

#include "dispatch/request_context.h"
#include "jobs/job_rights.h"

namespace orvane::server {

inline bool holdsAnyJobRight(RequestContext& ctx) {
    for (const std::string_view code : jobs::jobRightCodes())
        if (ctx.hasRight(code))
            return true;
    return false;
}

} // namespace orvane::server
