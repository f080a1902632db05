// What a job leaves behind: its log and result files, fetched to be read or
// exported, and the jobs whose files later jobs take as their input.
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "job_access.h"
#include "jobs/job_files.h"
#include "jobs/job_kinds.h"
#include "jobs/job_rights.h"
#include "jobs/job_store.h"
#include "jobs/result_file_text.h"
#include "jobs/wire_statuses.h"
#include "protocol/octets.h"
#include "register.h"
#include "store/database.h"
#include "store/store.h"

#include <algorithm>

namespace orvane::server {

namespace {

using wire::Kind;
namespace st = job_status;

// The job named by "ID", when the operator may see what it left.
std::optional<JobRow> viewableJob(RequestContext& ctx) {
    auto job = JobStore(ctx.db()).find(ctx.number("ID"));
    if (!job) {
        ctx.setStatus(st::Missing);
        return std::nullopt;
    }
    const std::string_view right = jobs::viewOutputRight(job->type, job->recordType);
    if (right.empty() || !ctx.hasRight(right)) {
        ctx.setStatus(st::NotAuthorized);
        return std::nullopt;
    }
    return job;
}

void jobLog(RequestContext& ctx) {
    const auto job = viewableJob(ctx);
    if (!job)
        return;
    if (const auto text = JobFiles::read(JobFiles(ctx.store().path(), job->id).log()))
        ctx.reply("LC", wire::octetsToText(*text));
}

void resultFileList(RequestContext& ctx) {
    const auto job = viewableJob(ctx);
    if (!job)
        return;
    for (const JobResultFileEntry& file : JobFiles(ctx.store().path(), job->id).results()) {
        ctx.reply("FI", file.type);
        ctx.reply("FN", file.name);
        ctx.reply("FT", file.type);
    }
}

void resultFile(RequestContext& ctx) {
    const auto job = viewableJob(ctx);
    if (!job)
        return;
    // One file of each type: its id is its type.
    const std::int32_t type = ctx.number("FT");
    const JobFiles files(ctx.store().path(), job->id);
    const auto bytes = ctx.number("FI") == type ? JobFiles::read(files.resultFile(type))
                                                : std::nullopt;
    if (!bytes || bytes->empty()) {
        ctx.setStatus(st::Busy);
        return;
    }
    const bool binary = ctx.text("FMT") == "B";
    const bool holdsRecords = type != jobs::MarcIdsFile;
    ctx.reply("FC", binary ? wire::octetsToText(*bytes)
                           : wire::octetsToText(resultFileText(*bytes, holdsRecords)));
}

void jobsWithFiles(RequestContext& ctx) {
    if (!holdsAnyJobRight(ctx)) {
        ctx.setStatus(st::NotAuthorized);
        return;
    }
    const std::int32_t type = ctx.number("JT");
    if (type < jobs::type::Scan || type > jobs::type::AuthDbLoad) {
        ctx.setStatus(st::Missing);
        return;
    }
    for (const JobRow& job : JobStore(ctx.db()).started()) {
        if (job.type != type)
            continue;
        const auto results = JobFiles(ctx.store().path(), job.id).results();
        const bool found =
            ctx.has("JFT") ? std::any_of(results.begin(), results.end(),
                                         [&](const auto& f) { return f.type == ctx.number("JFT"); })
                           : !results.empty();
        if (!found)
            continue;
        ctx.reply("ID", job.id);
        ctx.reply("NM", job.name);
    }
}

} // namespace

void registerJobOutputHandlers(Dispatcher& dispatcher) {
    const std::vector<FieldRule> byId{{"ID", Kind::Number, true}, {"OI", Kind::Text}};
    dispatcher.add({"GET_JOB_LOG", {}, byId, jobLog});
    dispatcher.add({"GET_JOB_RESULT_FILE_LIST", {}, byId, resultFileList});
    dispatcher.add({"GET_JOB_RESULT_FILE",
                    {},
                    {{"ID", Kind::Number, true},
                     {"FI", Kind::Number, true},
                     {"FT", Kind::Number, true},
                     {"FMT", Kind::Text},
                     {"OI", Kind::Text}},
                    resultFile});
    dispatcher.add({"GET_JOBS_WITH_FILES",
                    {},
                    {{"JT", Kind::Number, true}, {"JFT", Kind::Number}, {"OI", Kind::Text}},
                    jobsWithFiles});
}

} // namespace orvane::server
