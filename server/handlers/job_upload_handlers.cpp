// The records of an authority-load match job, uploaded by its client in
// bulks while the job is Paused ("UPLOAD_MARC") and kept in upload order.
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "dispatch/text_limits.h"
#include "jobs/job_kinds.h"
#include "jobs/job_records.h"
#include "jobs/job_store.h"
#include "jobs/wire_statuses.h"
#include "protocol/octets.h"
#include "register.h"
#include "store/database.h"

namespace orvane::server {

namespace {

using wire::Kind;
namespace st = job_status;

// Each "MR" as octets, in the order sent; none when one is not octets.
std::optional<std::vector<std::string>> recordsOf(const RequestContext& ctx) {
    std::vector<std::string> records;
    for (const wire::Field& field : ctx.request().fields) {
        if (field.key != "MR")
            continue;
        const auto* text = std::get_if<std::string>(&field.value);
        auto octets = text ? wire::textToOctets(*text) : std::nullopt;
        if (!octets || octets->empty())
            return std::nullopt;
        records.push_back(std::move(*octets));
    }
    return records;
}

void uploadRecords(RequestContext& ctx) {
    Database& db = ctx.db();
    Transaction tx(db);
    const auto job = JobStore(db).find(ctx.number("ID"));
    if (!job) {
        ctx.setStatus(st::Missing);
        return;
    }
    if (job->type != jobs::type::AuthLoadMatch) {
        ctx.setStatus(st::Invalid);
        return;
    }
    if (job->operatorId != ctx.session()->operatorId) {
        ctx.setStatus(st::NotAuthorized);
        return;
    }
    // Records go only to a job its client is still filling.
    if (job->status != jobs::status::Paused) {
        ctx.setStatus(st::Busy);
        return;
    }
    JobRecords stored(db);
    const auto records = recordsOf(ctx);
    // "RP" places the bulk right after the records held, so none is lost or doubled.
    if (!records || records->empty() || ctx.number("RP") != stored.count(job->id) + 1) {
        ctx.setStatus(st::Invalid);
        return;
    }
    stored.append(job->id, *records);
    auto bulk = db.prepare("UPDATE jobs SET current_bulk = current_bulk + 1 WHERE id = ?1");
    bulk.bind(1, job->id).run();
    tx.commit();
}

} // namespace

void registerJobUploadHandlers(Dispatcher& dispatcher) {
    dispatcher.add({"UPLOAD_MARC",
                    "ALA",
                    {{"MR", Kind::Text, true, text_limits::RecordText},
                     {"ID", Kind::Number, true},
                     {"OI", Kind::Text, false, text_limits::OperatorId},
                     {"RP", Kind::Number, true}},
                    uploadRecords});
}

} // namespace orvane::server
