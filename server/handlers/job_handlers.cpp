// Jobs in the queue and after: submitting and rescheduling ("SAVE_JOB"),
// the progress the client reports of the jobs it drives, listing, fetching,
// killing and deleting. The rights depend on the job's type and record
// type, so each handler checks them once it knows the job.
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "job_access.h"
#include "jobs/job_files.h"
#include "jobs/job_kinds.h"
#include "jobs/job_progress.h"
#include "jobs/job_rights.h"
#include "jobs/job_store.h"
#include "jobs/job_submission.h"
#include "jobs/match_and_load_submission.h"
#include "jobs/wire_statuses.h"
#include "register.h"
#include "store/database.h"
#include "store/store.h"

namespace orvane::server {

namespace {

using wire::Kind;
namespace st = job_status;

bool holds(RequestContext& ctx, std::string_view right) {
    return !right.empty() && ctx.hasRight(right);
}

std::string nameOf(Database& db, const char* table, const std::optional<std::int32_t>& id) {
    if (!id)
        return {};
    auto q = db.prepare(std::string("SELECT name FROM ") + table + " WHERE id = ?1");
    q.bind(1, *id);
    return q.step() ? q.text(0) : std::string();
}

const char* yesNo(bool value) { return value ? "Y" : "N"; }

// One job as the running/completed list and "GET_JOB" answer it: the common
// fields, then those of its type.
void replyJob(RequestContext& ctx, const JobRow& job) {
    Database& db = ctx.db();
    const JobFiles files(ctx.store().path(), job.id);
    const std::string setName = nameOf(db, "record_sets", job.recordSetId);
    ctx.reply("ID", job.id);
    ctx.reply("NM", job.name);
    ctx.reply("JT", job.type);
    ctx.reply("JS", job.status);
    ctx.reply("HL", files.hasLog());
    ctx.reply("HR", files.hasResults());
    ctx.reply("SS", job.scheduledStart);
    ctx.reply("AS", job.actualStart);
    ctx.reply("OI", job.operatorId);
    ctx.reply("MD", job.modifiedAt);
    ctx.reply("RTP", job.recordsToProcess);
    ctx.reply("RP", job.recordsProcessed);
    ctx.reply("EC", job.errorCount);
    ctx.reply("RD", job.recordsDeleted);
    ctx.reply("CB", job.currentBulk);
    ctx.reply("UP", yesNo(job.updateDatabase));
    ctx.reply("RSID", setName);
    ctx.reply("RT", job.recordType);
    const std::string groupName = nameOf(db, "rule_sets", job.ruleSetId);
    switch (job.type) {
    case jobs::type::Scan:
        ctx.reply("RRE", job.rangeEnd);
        ctx.reply("RRS", job.rangeStart);
        ctx.reply("SID", groupName);
        // A new set made by the job is named as the set it fills.
        ctx.reply("SRS", job.newRecordSetName.empty()
                             ? nameOf(db, "record_sets", job.saveRecordSetId)
                             : std::string());
        ctx.reply("RSN", job.newRecordSetName);
        break;
    case jobs::type::DataChange:
        ctx.reply("KI", yesNo(job.keywordIndex));
        ctx.reply("RUID", groupName);
        ctx.reply("UP", yesNo(job.updateDatabase));
        break;
    case jobs::type::IndexRecords:
        ctx.reply("RRE", job.rangeEnd);
        ctx.reply("RRS", job.rangeStart);
        ctx.reply("RSN", setName);
        break;
    case jobs::type::Match:
        // The new set is named until the client reports the set it made.
        ctx.reply("SRS", nameOf(db, "record_sets", job.saveRecordSetId));
        ctx.reply("RSN", job.newRecordSetName);
        break;
    default:
        ctx.reply("RUID", groupName);
        break;
    }
}

// The job named by "ID" when it exists; otherwise the status is set.
std::optional<JobRow> jobFor(RequestContext& ctx) {
    auto job = JobStore(ctx.db()).find(ctx.number("ID"));
    if (!job)
        ctx.setStatus(st::Missing);
    return job;
}

bool refuseWithout(RequestContext& ctx, std::string_view right) {
    if (holds(ctx, right))
        return false;
    ctx.setStatus(st::NotAuthorized);
    return true;
}

SubmittedJob submittedFrom(RequestContext& ctx) {
    SubmittedJob s;
    s.type = ctx.number("JT");
    s.name = ctx.text("NM");
    if (ctx.has("SS"))
        s.start = ctx.text("SS");
    s.recordType = ctx.number("RT");
    if (ctx.has("RSID"))
        s.recordSet = ctx.number("RSID");
    if (ctx.has("RRS"))
        s.rangeStart = ctx.text("RRS");
    if (ctx.has("RRE"))
        s.rangeEnd = ctx.text("RRE");
    if (ctx.has("SID"))
        s.group = ctx.number("SID");
    else if (ctx.has("RUID"))
        s.group = ctx.number("RUID");
    if (ctx.has("SRS"))
        s.saveSet = ctx.number("SRS");
    if (ctx.has("RSN"))
        s.newSetName = ctx.text("RSN");
    s.update = ctx.flag("UP");
    s.keywordIndex = ctx.flag("KI");
    s.libraryId = ctx.text("REQ_LIBRARY_ID");
    s.locationId = ctx.text("REQ_LOCATION_ID");
    s.fieldOrder = ctx.text("MFONAME");
    if (ctx.has("SJID"))
        s.sourceJob = ctx.number("SJID");
    s.add035 = ctx.flag("ADD035");
    s.operatorId = ctx.session()->operatorId;
    return s;
}

void submitJob(RequestContext& ctx) {
    const SubmittedJob submitted = submittedFrom(ctx);
    if (submitted.type < jobs::type::Scan || submitted.type > jobs::type::AuthDbLoad) {
        ctx.setStatus(st::Invalid);
        return;
    }
    Database& db = ctx.db();
    const auto recordType = submittedRecordType(db, submitted);
    if (recordType && refuseWithout(ctx, submissionRight(submitted, *recordType)))
        return;
    Transaction tx(db);
    const SubmissionCheck check = checkSubmission(db, submitted, jobTimeNow());
    if (check.status != st::Ok) {
        ctx.setStatus(check.status);
        if (check.status == st::NameTaken)
            ctx.reply("BC", check.bc);
        return;
    }
    const std::int32_t id = JobStore(db).insert(check.job);
    tx.commit();
    ctx.reply("ID", id);
}

std::optional<std::int32_t> optionalNumber(RequestContext& ctx, std::string_view key) {
    if (!ctx.has(key))
        return std::nullopt;
    return ctx.number(key);
}

// Only the operator whose client submitted the job reports its progress.
void reportProgress(RequestContext& ctx) {
    Database& db = ctx.db();
    Transaction tx(db);
    const auto job = jobFor(ctx);
    if (!job)
        return;
    if (job->operatorId != ctx.session()->operatorId) {
        ctx.setStatus(st::NotAuthorized);
        return;
    }
    const ProgressReport report{ctx.number("JS"), optionalNumber(ctx, "EC"),
                                optionalNumber(ctx, "RP"), optionalNumber(ctx, "RTP"),
                                optionalNumber(ctx, "SRS")};
    if (const std::int32_t status = applyProgress(db, *job, report)) {
        ctx.setStatus(status);
        return;
    }
    tx.commit();
}

void changeJob(RequestContext& ctx) {
    if (ctx.has("JS")) {
        reportProgress(ctx);
        return;
    }
    const auto job = jobFor(ctx);
    if (!job || refuseWithout(ctx, jobs::submitRight(job->type, job->recordType)))
        return;
    JobStore store(ctx.db());
    const std::string start = ctx.text("SS");
    if (!start.empty() && !isJobTime(start)) {
        ctx.setStatus(st::Invalid);
        return;
    }
    const std::string now = jobTimeNow();
    if ((!start.empty() && start <= now) || !store.reschedule(job->id, start.empty() ? now : start))
        ctx.setStatus(st::StartNotLater);
}

void saveJob(RequestContext& ctx) {
    if (ctx.has("ID"))
        changeJob(ctx);
    else
        submitJob(ctx);
}

bool mayListJobs(RequestContext& ctx) {
    if (holdsAnyJobRight(ctx))
        return true;
    ctx.setStatus(st::NotAuthorized);
    return false;
}

void listJobs(RequestContext& ctx) {
    if (!mayListJobs(ctx))
        return;
    for (const JobRow& job : JobStore(ctx.db()).started())
        replyJob(ctx, job);
}

void listScheduledJobs(RequestContext& ctx) {
    if (!mayListJobs(ctx))
        return;
    for (const JobRow& job : JobStore(ctx.db()).pending()) {
        ctx.reply("ID", job.id);
        ctx.reply("NM", job.name);
        ctx.reply("JT", job.type);
        ctx.reply("SS", job.scheduledStart);
        ctx.reply("RT", job.recordType);
    }
}

void getJob(RequestContext& ctx) {
    if (!mayListJobs(ctx))
        return;
    if (const auto job = jobFor(ctx))
        replyJob(ctx, *job);
}

void killJob(RequestContext& ctx) {
    const auto job = jobFor(ctx);
    if (!job || refuseWithout(ctx, jobs::killRight(job->type)))
        return;
    if (!JobStore(ctx.db()).requestKill(job->id))
        ctx.setStatus(st::Busy);
}

// A job's files may not go while it runs.
bool refuseWhileActive(RequestContext& ctx, const JobRow& job) {
    if (!jobs::isActive(job.status))
        return false;
    ctx.setStatus(st::Busy);
    return true;
}

void deleteJob(RequestContext& ctx) {
    const auto job = jobFor(ctx);
    if (!job)
        return;
    const bool allowed =
        job->status == jobs::status::Pending
            ? holds(ctx, jobs::submitRight(job->type, job->recordType))
            : holds(ctx, jobs::deleteLogRight(job->type, job->recordType)) &&
                  holds(ctx, jobs::deleteResultsRight(job->type, job->recordType));
    if (!allowed) {
        ctx.setStatus(st::NotAuthorized);
        return;
    }
    if (refuseWhileActive(ctx, *job))
        return;
    JobStore(ctx.db()).remove(job->id);
    JobFiles(ctx.store().path(), job->id).removeAll();
}

void deleteJobLog(RequestContext& ctx) {
    const auto job = jobFor(ctx);
    if (!job || refuseWithout(ctx, jobs::deleteLogRight(job->type, job->recordType)) ||
        refuseWhileActive(ctx, *job))
        return;
    JobFiles(ctx.store().path(), job->id).removeLog();
}

void deleteJobResults(RequestContext& ctx) {
    const auto job = jobFor(ctx);
    if (!job || refuseWithout(ctx, jobs::deleteResultsRight(job->type, job->recordType)) ||
        refuseWhileActive(ctx, *job))
        return;
    JobFiles(ctx.store().path(), job->id).removeResults();
}

} // namespace

void registerJobHandlers(Dispatcher& dispatcher) {
    const std::vector<FieldRule> byId{{"ID", Kind::Number, true}, {"OI", Kind::Text}};
    dispatcher.add({"SAVE_JOB",
                    {},
                    {{"ID", Kind::Number},
                     {"JT", Kind::Number},
                     {"NM", Kind::Text},
                     {"SS", Kind::Text},
                     {"JS", Kind::Number},
                     {"EC", Kind::Number},
                     {"RP", Kind::Number},
                     {"RTP", Kind::Number},
                     {"RT", Kind::Number},
                     {"RSID", Kind::Number},
                     {"RRS", Kind::Text},
                     {"RRE", Kind::Text},
                     {"SID", Kind::Number},
                     {"RUID", Kind::Number},
                     {"SRS", Kind::Number},
                     {"RSN", Kind::Text},
                     {"UP", Kind::Bool},
                     {"KI", Kind::Bool},
                     {"REQ_LIBRARY_ID", Kind::Text},
                     {"REQ_LOCATION_ID", Kind::Text},
                     {"MFONAME", Kind::Text},
                     {"SJID", Kind::Number},
                     {"ADD035", Kind::Bool},
                     {"OI", Kind::Text}},
                    saveJob});
    dispatcher.add({"GET_JOBS", {}, {{"OI", Kind::Text}}, listJobs});
    dispatcher.add({"GET_SCHEDULED_JOBS", {}, {{"OI", Kind::Text}}, listScheduledJobs});
    dispatcher.add({"GET_JOB", {}, byId, getJob});
    dispatcher.add({"KILL_JOB", {}, byId, killJob});
    dispatcher.add({"DELETE_JOB", {}, byId, deleteJob});
    dispatcher.add({"DELETE_JOB_LOG", {}, byId, deleteJobLog});
    dispatcher.add({"DELETE_JOB_RESULT_FILES", {}, byId, deleteJobResults});
}

} // namespace orvane::server
