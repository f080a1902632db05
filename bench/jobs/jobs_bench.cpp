// A data change job with "update database" over a catalogue of real records,
// run by the server's own job runner: the three batch edits (delete every
// 9XX, 245 second indicator 0, add 590 $a Batch reviewed) saved record by
// record with history rows and control number index entries, in bulks of one
// transaction each. Timed from the job's submission to its end; the catalogue
// is then checked against what the rules should have done.

#include "bench_file.h"
#include "catalogue/index_writer.h"
#include "core/server_core.h"
#include "demo/seed.h"
#include "jobs/job_kinds.h"
#include "jobs/job_store.h"
#include "store/database.h"
#include "store/store.h"

#include "marc/reader.h"
#include "marc/record_view.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace orvane::server;
using Clock = std::chrono::steady_clock;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct Expected {
    std::size_t records = 0;
    std::size_t with245 = 0;
};

// The records go straight into the catalogue with their control number
// entries, as an import would leave them but without the word index, which
// the job does not touch; with `words`, with every entry, for a job that
// keeps the word index too.
Expected loadCatalogue(Database& db, const std::string& file, bool words) {
    Expected expected;
    const std::string bytes = readFile(file);
    marc::Reader reader{std::string_view(bytes)};
    IndexWriter index(db);
    auto insert = db.prepare("INSERT INTO catalogue_records (record_type, record_id, marc, "
                             "created_by, updated_by) VALUES (1, ?1, ?2, 'bench', 'bench')");
    auto member = db.prepare("INSERT INTO record_set_members (record_set, record_id, ordinal) "
                             "VALUES (1, ?1, ?1)");
    BulkWrite bulk(db);
    Transaction tx(db);
    db.exec("INSERT INTO record_sets (id, name, record_type, created_by) VALUES (1, 'all', 1, "
            "'bench')");
    std::int32_t id = 0;
    while (const auto record = reader.next()) {
        ++id;
        insert.reset();
        insert.bind(1, id).bindBlob(2, record->bytes()).run();
        if (words && index.rebuildsFromLists())
            index.relist(RecordKind::Bibliographic, id, &*record);
        else if (words)
            index.rewrite(RecordKind::Bibliographic, id, *record);
        else
            index.writeControlKeys(RecordKind::Bibliographic, id, *record);
        member.reset();
        member.bind(1, id).run();
        expected.with245 += record->findField("245").has_value();
    }
    db.exec("UPDATE record_sets SET record_count = " + std::to_string(id) + " WHERE id = 1");
    if (words && index.rebuildsFromLists())
        index.rebuildFromLists();
    tx.commit();
    expected.records = static_cast<std::size_t>(id);
    return expected;
}

std::int32_t storeGroup(Database& db) {
    auto doc = db.prepare("INSERT INTO rule_documents (rule_type, name, text, created_by) "
                          "VALUES (2, 'batch edits', ?1, 'bench')");
    doc.bind(1, readFile(JOBS_BENCH_RULES)).run();
    const auto docId = db.lastInsertId();
    db.exec("INSERT INTO rule_sets (rule_type, name, created_by) VALUES (2, 'batch edits', 'bench')");
    const auto groupId = db.lastInsertId();
    db.exec("INSERT INTO rule_set_links (rule_set, position, document) VALUES (" +
            std::to_string(groupId) + ", 0, " + std::to_string(docId) + ")");
    return static_cast<std::int32_t>(groupId);
}

std::int64_t count(Database& db, const std::string& sql) {
    auto st = db.prepare(sql);
    st.step();
    return st.int64(0);
}

} // namespace

int main() {
    std::size_t wanted = 100000;
    if (const char* n = std::getenv("VELUMAR_BENCH_RECORDS"))
        wanted = static_cast<std::size_t>(std::strtoul(n, nullptr, 10));
    const fs::path dir = fs::temp_directory_path() / ("velumar-jobs-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const auto file = velumar::bench::makeBenchFile(VELUMAR_MARC_DATA_DIR, (dir / "in.mrc").string(),
                                                    wanted);
    if (file.path.empty()) {
        std::cerr << "no readable records in " << VELUMAR_MARC_DATA_DIR << "\n";
        return 1;
    }
    // VELUMAR_BENCH_DB: an empty PostgreSQL database to run on instead.
    const std::string dbPath = (dir / "orvane.db").string();
    const char* url = std::getenv("VELUMAR_BENCH_DB");
    const std::string location = url ? std::string(url) : dbPath;
    // VELUMAR_BENCH_WORDS=1: the job keeps the word index as well.
    const bool words = std::getenv("VELUMAR_BENCH_WORDS") != nullptr;
    Expected expected;
    std::int32_t jobId = 0;
    {
        Store store(location, Database::DefaultBusyTimeout, dbPath);
        initialiseStore(store, false);
        expected = loadCatalogue(store.db(), file.path, words);
        // The load writes each record's list of links after its row, which
        // leaves a dead row version behind each record on PostgreSQL; a
        // catalogue a job runs on has been vacuumed long before.
        if (store.db().engine() == Engine::Postgres)
            store.db().exec("VACUUM ANALYZE");
        JobRow job;
        job.name = "bench";
        job.type = jobs::type::DataChange;
        job.recordType = 1;
        job.recordSetId = 1;
        job.ruleSetId = storeGroup(store.db());
        job.updateDatabase = true;
        job.keywordIndex = words;
        job.operatorId = "bench";
        job.scheduledStart = "2999-01-01 00:00:00"; // started below, with the clock
        jobId = JobStore(store.db()).insert(job);
    }
    std::cout << expected.records << " records (" << file.sources << " real records repeated), "
              << expected.with245 << " with a 245\n";

    ServerOptions options;
    options.dbPath = location;
    options.filesPath = dbPath;
    options.runJobs = true;
    ServerCore core(options);
    core.log().mute(true);
    Database& db = core.store().db();
    const auto start = Clock::now();
    JobStore(db).reschedule(jobId, "");
    int status = 0;
    while ((status = JobStore(db).status(jobId)) != jobs::status::Done &&
           status != jobs::status::Failed)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const auto job = JobStore(db).find(jobId);

    const std::int64_t history = count(db, "SELECT count(*) FROM catalogue_history");
    bool consistent = status == jobs::status::Done &&
                      job->recordsProcessed == static_cast<std::int32_t>(expected.records) &&
                      job->recordsToProcess == job->recordsProcessed;
    std::size_t nineXX = 0;
    std::size_t reviewed = 0;
    auto all = db.prepare("SELECT marc FROM catalogue_records");
    while (all.step()) {
        const std::string marc = all.blob(0);
        reviewed += marc.find("Batch reviewed") != std::string::npos;
        const auto parsed = marc::parseRecord(marc);
        if (!parsed.record) {
            consistent = false;
            continue;
        }
        for (const marc::FieldView f : *parsed.record)
            nineXX += f.tag()[0] == '9';
    }
    all.reset();
    consistent = consistent && nineXX == 0 && reviewed >= expected.with245;

    std::cout << "data change job, update database" << (words ? " and word index" : "")
              << ", 3 edits: " << job->recordsProcessed
              << " records in " << seconds << " s = "
              << static_cast<long>(static_cast<double>(job->recordsProcessed) / seconds)
              << " records/s\n"
              << "changed and saved: " << history << " (history rows), errors " << job->errorCount
              << ", bulks " << job->currentBulk << "\n"
              << "check: every record processed, none malformed, no 9XX left, 590 on every "
                 "record with a 245: "
              << (consistent ? "yes" : "NO") << "\n";
    fs::remove_all(dir);
    return consistent ? 0 : 1;
}
