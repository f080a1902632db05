#include "job_store.h"

#include "job_kinds.h"
#include "store/database.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace orvane::server {

namespace {

constexpr const char* Columns =
    "id, name, job_type, status, record_type, record_set_id, save_record_set_id, "
    "new_record_set_name, rule_set_id, range_start, range_end, update_database, keyword_index, "
    "coalesce(scheduled_start, ''), coalesce(actual_start, ''), operator_id, library_param, "
    "location_param, field_order, records_to_process, records_processed, error_count, "
    "records_deleted, current_bulk, modified_at, coalesce(finished_at, ''), source_job_id, "
    "add_035";

std::optional<std::int32_t> optionalId(const Statement& st, int column) {
    if (st.isNull(column))
        return std::nullopt;
    return st.int32(column);
}

JobRow readRow(const Statement& st) {
    JobRow j;
    j.id = st.int32(0);
    j.name = st.text(1);
    j.type = st.int32(2);
    j.status = st.int32(3);
    j.recordType = st.int32(4);
    j.recordSetId = optionalId(st, 5);
    j.saveRecordSetId = optionalId(st, 6);
    j.newRecordSetName = st.text(7);
    j.ruleSetId = optionalId(st, 8);
    j.rangeStart = st.text(9);
    j.rangeEnd = st.text(10);
    j.updateDatabase = st.int64(11) != 0;
    j.keywordIndex = st.int64(12) != 0;
    j.scheduledStart = st.text(13);
    j.actualStart = st.text(14);
    j.operatorId = st.text(15);
    j.libraryParam = st.text(16);
    j.locationParam = st.text(17);
    j.fieldOrder = st.text(18);
    j.recordsToProcess = st.int32(19);
    j.recordsProcessed = st.int32(20);
    j.errorCount = st.int32(21);
    j.recordsDeleted = st.int32(22);
    j.currentBulk = st.int32(23);
    j.modifiedAt = st.text(24);
    j.finishedAt = st.text(25);
    j.sourceJobId = optionalId(st, 26);
    j.add035 = st.int64(27) != 0;
    return j;
}

std::vector<JobRow> readAll(Statement& st) {
    std::vector<JobRow> rows;
    while (st.step())
        rows.push_back(readRow(st));
    return rows;
}

} // namespace

std::string jobTimeNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool isJobTime(const std::string& text) {
    if (text.size() != 19)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool separator = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
        const char expected = i == 10 ? ' ' : (i == 13 || i == 16) ? ':' : '-';
        if (separator ? c != expected : (c < '0' || c > '9'))
            return false;
    }
    std::tm t{};
    t.tm_year = std::stoi(text.substr(0, 4)) - 1900;
    t.tm_mon = std::stoi(text.substr(5, 2)) - 1;
    t.tm_mday = std::stoi(text.substr(8, 2));
    const int hour = std::stoi(text.substr(11, 2));
    const int minute = std::stoi(text.substr(14, 2));
    const int second = std::stoi(text.substr(17, 2));
    if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || hour > 23 || minute > 59 || second > 59)
        return false;
    // A day past the month's end rolls over when normalised.
    t.tm_hour = 12;
    std::tm normal = t;
    timegm(&normal);
    return normal.tm_mday == t.tm_mday && normal.tm_mon == t.tm_mon;
}

std::int32_t JobStore::insert(const JobRow& job) {
    auto st = db_.prepare(
        "INSERT INTO jobs (name, job_type, status, record_type, record_set_id, save_record_set_id, "
        "new_record_set_name, rule_set_id, range_start, range_end, update_database, keyword_index, "
        "scheduled_start, operator_id, library_param, location_param, field_order, modified_at, "
        "source_job_id, add_035) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, "
        "?19, ?20)");
    st.bind(1, job.name)
        .bind(2, job.type)
        .bind(3, job.status)
        .bind(4, job.recordType)
        .bind(5, job.recordSetId)
        .bind(6, job.saveRecordSetId)
        .bind(7, job.newRecordSetName)
        .bind(8, job.ruleSetId)
        .bind(9, job.rangeStart)
        .bind(10, job.rangeEnd)
        .bind(11, job.updateDatabase)
        .bind(12, job.keywordIndex);
    if (job.scheduledStart.empty())
        st.bindNull(13);
    else
        st.bind(13, job.scheduledStart);
    st.bind(14, job.operatorId)
        .bind(15, job.libraryParam)
        .bind(16, job.locationParam)
        .bind(17, job.fieldOrder)
        .bind(18, jobTimeNow())
        .bind(19, job.sourceJobId)
        .bind(20, job.add035)
        .run();
    return static_cast<std::int32_t>(db_.lastInsertId());
}

std::optional<JobRow> JobStore::find(std::int32_t id) {
    auto st = db_.prepare(std::string("SELECT ") + Columns + " FROM jobs WHERE id = ?1");
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return readRow(st);
}

bool JobStore::nameTaken(const std::string& name) {
    auto st = db_.prepare("SELECT 1 FROM jobs WHERE name = ?1 COLLATE NOCASE");
    st.bind(1, name);
    return st.step();
}

std::vector<JobRow> JobStore::started() {
    auto st = db_.prepare(std::string("SELECT ") + Columns +
                          " FROM jobs WHERE status <> 0 ORDER BY actual_start DESC, id DESC");
    return readAll(st);
}

std::vector<JobRow> JobStore::pending() {
    auto st = db_.prepare(std::string("SELECT ") + Columns +
                          " FROM jobs WHERE status = 0 ORDER BY coalesce(scheduled_start, "
                          "created_at), id");
    return readAll(st);
}

std::optional<JobRow> JobStore::claimDue(const std::string& now, const std::string& runner) {
    Transaction tx(db_);
    auto due = db_.prepare(std::string("SELECT id FROM jobs WHERE status = 0 AND job_type <> 3 AND "
                                       "(scheduled_start IS NULL OR scheduled_start <= ?1) "
                                       "ORDER BY coalesce(scheduled_start, created_at), id LIMIT 1")
                               .append(db_.claimLock()));
    due.bind(1, now);
    if (!due.step())
        return std::nullopt;
    const std::int32_t id = due.int32(0);
    auto claim = db_.prepare("UPDATE jobs SET status = 1, actual_start = ?2, modified_at = ?2, "
                             "runner = ?3, heartbeat_at = unixepoch() "
                             "WHERE id = ?1 AND status = 0");
    claim.bind(1, id).bind(2, now).bind(3, runner).run();
    if (db_.changes() != 1)
        return std::nullopt;
    tx.commit();
    return find(id);
}

void JobStore::saveCounters(std::int32_t id, const JobCounters& c) {
    auto st = db_.prepare("UPDATE jobs SET records_to_process = ?2, records_processed = ?3, "
                          "error_count = ?4, records_deleted = ?5, current_bulk = ?6, "
                          "modified_at = ?7 WHERE id = ?1");
    st.bind(1, id)
        .bind(2, c.toProcess)
        .bind(3, c.processed)
        .bind(4, c.errors)
        .bind(5, c.deleted)
        .bind(6, c.bulk)
        .bind(7, jobTimeNow())
        .run();
}

void JobStore::setStatus(std::int32_t id, std::int32_t jobStatus) {
    auto st = db_.prepare("UPDATE jobs SET status = ?2, modified_at = ?3 WHERE id = ?1");
    st.bind(1, id).bind(2, jobStatus).bind(3, jobTimeNow()).run();
}

void JobStore::finish(std::int32_t id, std::int32_t jobStatus) {
    const std::string now = jobTimeNow();
    auto st = db_.prepare(
        "UPDATE jobs SET status = ?2, modified_at = ?3, finished_at = ?3 WHERE id = ?1");
    st.bind(1, id).bind(2, jobStatus).bind(3, now).run();
}

std::int32_t JobStore::status(std::int32_t id) {
    auto st = db_.prepare("SELECT status FROM jobs WHERE id = ?1");
    st.bind(1, id);
    return st.step() ? st.int32(0) : -1;
}

bool JobStore::requestKill(std::int32_t id) {
    auto st = db_.prepare("UPDATE jobs SET status = 3, modified_at = ?2 "
                          "WHERE id = ?1 AND status IN (1, 3, 6)");
    st.bind(1, id).bind(2, jobTimeNow()).run();
    return db_.changes() == 1;
}

bool JobStore::reschedule(std::int32_t id, const std::string& start) {
    auto st = db_.prepare(
        "UPDATE jobs SET scheduled_start = ?2, modified_at = ?3 WHERE id = ?1 AND status = 0");
    st.bind(1, id);
    if (start.empty())
        st.bindNull(2);
    else
        st.bind(2, start);
    st.bind(3, jobTimeNow()).run();
    return db_.changes() == 1;
}

void JobStore::remove(std::int32_t id) {
    auto st = db_.prepare("DELETE FROM jobs WHERE id = ?1");
    st.bind(1, id).run();
}

std::vector<std::int32_t> JobStore::failInterrupted() {
    std::vector<std::int32_t> ids;
    // Paused jobs wait on their client (an upload), not on this server.
    auto active = db_.prepare("SELECT id FROM jobs WHERE status IN (1, 3)");
    while (active.step())
        ids.push_back(active.int32(0));
    for (const std::int32_t id : ids)
        finish(id, jobs::status::Failed);
    return ids;
}

void JobStore::heartbeat(std::int32_t id, const std::string& runner) {
    auto st = db_.prepare("UPDATE jobs SET heartbeat_at = unixepoch() WHERE id = ?1 AND runner = ?2");
    st.bind(1, id).bind(2, runner).run();
}

std::vector<std::int32_t> JobStore::failAbandoned(std::int64_t leaseSeconds) {
    std::vector<std::int32_t> ids;
    Transaction tx(db_);
    auto lapsed = db_.prepare(std::string("SELECT id FROM jobs WHERE status IN (1, 3) AND "
                                          "heartbeat_at < unixepoch() - ?1")
                                  .append(db_.claimLock()));
    lapsed.bind(1, leaseSeconds);
    while (lapsed.step())
        ids.push_back(lapsed.int32(0));
    for (const std::int32_t id : ids)
        finish(id, jobs::status::Failed);
    tx.commit();
    return ids;
}

void JobStore::setSaveRecordSet(std::int32_t id, std::int32_t recordSetId) {
    auto st = db_.prepare("UPDATE jobs SET save_record_set_id = ?2 WHERE id = ?1");
    st.bind(1, id).bind(2, recordSetId).run();
}

} // namespace orvane::server
