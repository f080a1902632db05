// Matching and merging an agency's file of authority records against a
// catalogue of authority records, on the server's own job runner: the file
// holds the agency's copies of catalogue records (their 035 kept, a source
// note changed), matched by control number and merged with the demo merge
// configuration. Each job is timed from its start to its end; the catalogue
// is checked afterwards.

#include "core/server_core.h"
#include "demo/seed.h"
#include "jobs/job_kinds.h"
#include "jobs/job_records.h"
#include "jobs/job_store.h"
#include "store/database.h"
#include "store/store.h"

#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace orvane::server;
using Clock = std::chrono::steady_clock;

std::size_t setting(const char* name, std::size_t fallback) {
    const char* value = std::getenv(name);
    return value ? static_cast<std::size_t>(std::strtoul(value, nullptr, 10)) : fallback;
}

std::int64_t count(Database& db, const std::string& sql) {
    auto st = db.prepare(sql);
    st.step();
    return st.int64(0);
}

std::int32_t groupNamed(Database& db, const std::string& name) {
    auto st = db.prepare("SELECT id FROM rule_sets WHERE name = ?1");
    st.bind(1, name);
    return st.step() ? st.int32(0) : -1;
}

// Runs a queued job to its end; answers the seconds it took.
double runToEnd(Database& db, std::int32_t id) {
    const auto start = Clock::now();
    JobStore(db).setStatus(id, jobs::status::Pending);
    for (;;) {
        const int status = JobStore(db).status(id);
        if (status == jobs::status::Done || status == jobs::status::Failed)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main() {
    const std::size_t catalogue = setting("VELUMAR_BENCH_AUTHORITIES", 100000);
    const std::size_t incoming = std::min(setting("VELUMAR_BENCH_RECORDS", 10000), catalogue);
    const fs::path dir = fs::temp_directory_path() / ("velumar-authload-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string dbPath = (dir / "orvane.db").string();
    std::int32_t matchJob = 0;
    std::int32_t mergeJob = 0;
    {
        const auto seeding = Clock::now();
        Store store(dbPath);
        initialiseStore(store, true, {0, catalogue});
        Database& db = store.db();
        std::cout << catalogue << " authority records in the catalogue (made in "
                  << std::chrono::duration<double>(Clock::now() - seeding).count() << " s)\n";
        db.exec("INSERT INTO rule_sets (rule_type, name, created_by) VALUES (3, 'by 035', 'bench')");
        const auto matchGroup = static_cast<std::int32_t>(db.lastInsertId());
        db.exec("INSERT INTO rule_set_parameters (rule_set, position, name, value) VALUES (" +
                std::to_string(matchGroup) + ", 0, 'MATCH_PROFILE_CODE', 'CTRLNO')");
        std::vector<std::string> file;
        auto st = db.prepare("SELECT marc FROM catalogue_records WHERE record_type = 3 ORDER BY "
                             "record_id LIMIT ?1");
        st.bind(1, static_cast<std::int64_t>(incoming));
        while (st.step()) {
            const std::string octets = st.blob(0);
            marc::Record r = marc::Record::fromView(*marc::parseRecord(octets).record);
            const std::string id(*r.controlValue("001"));
            r.setControlValue("001", "n" + id);
            r.setControlValue("003", "VDEMO");
            r.insertField(marc::Field::data("670", ' ', ' ', {{'a', "Agency source " + id}}));
            std::string out;
            marc::appendIso2709(r, out);
            file.push_back(std::move(out));
        }
        st.reset();
        JobRow match;
        match.name = "bench match";
        match.type = jobs::type::AuthLoadMatch;
        match.recordType = 3;
        match.ruleSetId = matchGroup;
        match.status = jobs::status::Paused;
        match.operatorId = "bench";
        matchJob = JobStore(db).insert(match);
        JobRecords(db).append(matchJob, file);
        JobRow merge = match;
        merge.name = "bench merge";
        merge.type = jobs::type::AuthLoadMerge;
        merge.ruleSetId = groupNamed(db, "Standard load merge");
        merge.sourceJobId = matchJob;
        mergeJob = JobStore(db).insert(merge);
    }

    ServerOptions options;
    options.dbPath = dbPath;
    options.runJobs = true;
    ServerCore core(options);
    core.log().mute(true);
    Database& db = core.store().db();
    const double matchSeconds = runToEnd(db, matchJob);
    const double mergeSeconds = runToEnd(db, mergeJob);
    const auto match = JobStore(db).find(matchJob);
    const auto merge = JobStore(db).find(mergeJob);
    const std::int64_t merged =
        count(db, "SELECT count(*) FROM catalogue_history WHERE record_type = 3 AND "
                  "action = 'replaced'");
    const std::int64_t withNote = count(db, "SELECT count(*) FROM catalogue_records WHERE "
                                            "record_type = 3 AND instr(marc, 'Agency source') > 0");
    const bool consistent = match->status == jobs::status::Done &&
                            merge->status == jobs::status::Done &&
                            merged == static_cast<std::int64_t>(incoming) && withNote == merged;
    const auto perSecond = [&](double s) {
        return static_cast<long>(static_cast<double>(incoming) / s);
    };
    std::cout << "match: " << incoming << " records in " << matchSeconds << " s = "
              << perSecond(matchSeconds) << " records/s\n"
              << "merge: " << incoming << " records in " << mergeSeconds << " s = "
              << perSecond(mergeSeconds) << " records/s (" << merge->currentBulk << " bulks)\n"
              << "check: every record matched and merged once, with the agency's note: "
              << (consistent ? "yes" : "NO") << "\n";
    if (!consistent) {
        for (const std::int32_t id : {matchJob, mergeJob}) {
            std::ifstream log(dir / "orvane.db.jobs" / std::to_string(id) / "log.txt");
            std::string line;
            for (int n = 0; n < 12 && std::getline(log, line); ++n)
                std::cout << "  job " << id << ": " << line << "\n";
        }
    }
    fs::remove_all(dir);
    return consistent ? 0 : 1;
}
