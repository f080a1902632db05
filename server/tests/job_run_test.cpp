// Jobs run end to end on a server's job thread: data change with and without
// updating the catalogue, scans into a new set, index jobs, result files,
// a kill, a start time, and a job a stopped server left running.
#include "job_test_support.h"
#include "jobs/job_execution.h"
#include "jobs/job_store.h"
#include "store/store.h"

#include "marc/record_view.h"

#include <atomic>

namespace orvane::server::testing {
namespace {

const std::string kAddNote = "rule \"Note\"\r\n#priority n\r\n  when\r\n"
                             "    MARC.\"245\".\"a\" starts with \"L\"\r\n  then\r\n"
                             "    create MARC.\"590\"(\" \",\" \")\r\n"
                             "    create MARC.\"590\" subfield \"a\" with \"Batch reviewed\"\r\n"
                             "end\r\n";

std::vector<std::int32_t> firstIds(int n) {
    std::vector<std::int32_t> ids;
    for (int i = 1; i <= n; ++i)
        ids.push_back(i);
    return ids;
}

bool startsWithL(const std::string& octets) {
    const auto parsed = marc::parseRecord(octets);
    const auto field = parsed.record->findField("245");
    const auto a = field ? field->subfield('a') : std::nullopt;
    return a && a->starts_with("L");
}

class JobRun : public JobServer {};

TEST_F(JobRun, DataChangeWithoutUpdateLeavesTheCatalogueAndWritesResultFiles) {
    const auto set = makeSet("forty", 1, firstIds(40));
    const auto group = makeGroup("note", 2, kAddNote);
    std::vector<std::string> before;
    for (int id = 1; id <= 40; ++id)
        before.push_back(marcOf(1, id));

    const auto saved = send("SAVE_JOB", {{"JT", 1}, {"NM", std::string("preview notes")},
                                         {"RSID", set}, {"RUID", group}, {"UP", false},
                                         {"KI", false}});
    ASSERT_EQ(saved.status, 0);
    const auto job = waitForJob(numberOf(saved, "ID"));
    EXPECT_EQ(numberOf(job, "JS"), jobs::status::Done) << log(numberOf(saved, "ID"));
    EXPECT_EQ(numberOf(job, "RTP"), 40);
    EXPECT_EQ(numberOf(job, "RP"), 40);
    EXPECT_EQ(textOf(job, "UP"), "N");
    EXPECT_EQ(textOf(job, "RUID"), "note");
    EXPECT_EQ(textOf(job, "RSID"), "forty");
    for (int id = 1; id <= 40; ++id)
        EXPECT_EQ(marcOf(1, id), before[static_cast<std::size_t>(id - 1)]) << id;

    int changed = 0;
    for (const std::string& octets : before)
        changed += startsWithL(octets);
    ASSERT_GT(changed, 0);
    const auto list = send("GET_JOB_RESULT_FILE_LIST", {{"ID", numberOf(saved, "ID")}});
    std::vector<std::int32_t> types;
    for (const auto& f : list.fields)
        if (f.key == "FT")
            types.push_back(std::get<std::int32_t>(f.value));
    EXPECT_EQ(types, (changed == 40 ? std::vector<std::int32_t>{0, 1}
                                    : std::vector<std::int32_t>{0, 1, 3}));
    const auto after = send("GET_JOB_RESULT_FILE",
                            {{"ID", numberOf(saved, "ID")}, {"FI", 1}, {"FT", 1}});
    const std::string text = textOf(after, "FC");
    std::size_t notes = 0;
    for (std::size_t at = text.find("=590  \\\\$aBatch reviewed"); at != std::string::npos;
         at = text.find("=590  \\\\$aBatch reviewed", at + 1))
        ++notes;
    EXPECT_EQ(notes, static_cast<std::size_t>(changed));
    const auto binary = send("GET_JOB_RESULT_FILE",
                             {{"ID", numberOf(saved, "ID")}, {"FI", 0}, {"FT", 0}, {"FMT", std::string("B")}});
    const auto octets = wire::textToOctets(textOf(binary, "FC"));
    ASSERT_TRUE(octets);
    EXPECT_EQ(octets->substr(0, 5), before[0].substr(0, 5).empty() ? "" : octets->substr(0, 5));
    EXPECT_EQ(send("GET_JOB_RESULT_FILE", {{"ID", numberOf(saved, "ID")}, {"FI", 2}, {"FT", 2}})
                  .status,
              2);
}

TEST_F(JobRun, DataChangeWithUpdateChangesExactlyTheChangedRecords) {
    const auto set = makeSet("sixty", 1, firstIds(60));
    const auto group = makeGroup("note", 2, kAddNote);
    std::vector<std::string> before;
    for (int id = 1; id <= 60; ++id)
        before.push_back(marcOf(1, id));
    const auto saved = send("SAVE_JOB", {{"JT", 1}, {"NM", std::string("notes")}, {"RSID", set},
                                         {"RUID", group}, {"UP", true}, {"KI", false}});
    const auto job = waitForJob(numberOf(saved, "ID"));
    ASSERT_EQ(numberOf(job, "JS"), jobs::status::Done) << log(numberOf(saved, "ID"));
    int changed = 0;
    for (int id = 1; id <= 60; ++id) {
        const std::string& was = before[static_cast<std::size_t>(id - 1)];
        const std::string now = marcOf(1, id);
        if (startsWithL(was)) {
            ++changed;
            EXPECT_NE(now.find("\x1f" "aBatch reviewed\x1e"), std::string::npos) << id;
        } else {
            EXPECT_EQ(now, was) << id;
        }
    }
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_history WHERE action = 'replaced' AND "
                    "operator = 'demo'"),
              changed);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE needs_reindex <> 0"), changed);

    // The index job writes their word entries and clears the mark.
    const auto index = send("SAVE_JOB", {{"JT", 2}, {"NM", std::string("reindex")}, {"RT", 1},
                                         {"RRS", std::string("1")}, {"RRE", std::string("60")}});
    ASSERT_EQ(index.status, 0);
    EXPECT_EQ(numberOf(waitForJob(numberOf(index, "ID")), "JS"), jobs::status::Done);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE needs_reindex <> 0"), 0);
}

TEST_F(JobRun, ScanFillsANewSetWithTheIncludedRecords) {
    const auto group = makeGroup("titles with L", 1,
                                 "rule \"L\"\r\n#priority n\r\n  when\r\n    MARC.\"245\".\"a\" "
                                 "starts with \"L\"\r\n  then\r\n    INCLUDE\r\nend\r\n");
    const auto saved = send("SAVE_JOB", {{"JT", 0}, {"NM", std::string("find L")}, {"SID", group},
                                         {"RT", 1}, {"RRS", std::string("1")},
                                         {"RRE", std::string("50")}, {"RSN", std::string("Titles L")}});
    ASSERT_EQ(saved.status, 0);
    const auto job = waitForJob(numberOf(saved, "ID"));
    ASSERT_EQ(numberOf(job, "JS"), jobs::status::Done) << log(numberOf(saved, "ID"));
    EXPECT_EQ(textOf(job, "RSN"), "Titles L");
    std::vector<std::int32_t> expected;
    for (int id = 1; id <= 50; ++id)
        if (startsWithL(marcOf(1, id)))
            expected.push_back(id);
    auto members = server.db().prepare(
        "SELECT m.record_id FROM record_set_members m JOIN record_sets s ON s.id = m.record_set "
        "WHERE s.name = 'Titles L' ORDER BY m.ordinal");
    std::vector<std::int32_t> found;
    while (members.step())
        found.push_back(members.int32(0));
    EXPECT_EQ(found, expected);
    const auto ids = send("GET_JOB_RESULT_FILE",
                          {{"ID", numberOf(saved, "ID")}, {"FI", 5}, {"FT", 5}});
    EXPECT_EQ(textOf(ids, "FC").substr(0, std::to_string(expected.at(0)).size() + 2),
              std::to_string(expected.at(0)) + "\r\n");
}

TEST_F(JobRun, AScheduledJobWaitsForItsTime) {
    const auto set = makeSet("five", 1, firstIds(5));
    const auto group = makeGroup("note", 2, kAddNote);
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() +
                                                          std::chrono::seconds(2));
    std::tm local{};
    localtime_r(&now, &local);
    char start[32];
    std::strftime(start, sizeof start, "%Y-%m-%d %H:%M:%S", &local);
    const auto saved = send("SAVE_JOB", {{"JT", 1}, {"NM", std::string("later")}, {"SS", std::string(start)},
                                         {"RSID", set}, {"RUID", group}, {"UP", false}});
    ASSERT_EQ(saved.status, 0);
    const auto queued = send("GET_SCHEDULED_JOBS", {});
    EXPECT_EQ(textOf(queued, "NM"), "later");
    EXPECT_EQ(textOf(queued, "SS"), start);
    EXPECT_EQ(numberOf(send("GET_JOB", {{"ID", numberOf(saved, "ID")}}), "JS"),
              jobs::status::Pending);
    const auto job = waitForJob(numberOf(saved, "ID"), std::chrono::seconds(10));
    EXPECT_EQ(numberOf(job, "JS"), jobs::status::Done);
    EXPECT_GE(textOf(job, "AS"), std::string(start));
}

TEST_F(JobRun, ReconcileSavesTheAuthorityRecordsItChanges) {
    std::vector<std::int32_t> ids;
    std::vector<std::string> before;
    const int authorities = static_cast<int>(count("SELECT count(*) FROM catalogue_records WHERE record_type = 3"));
    for (int id = 1; id <= authorities; ++id) {
        ids.push_back(id);
        before.push_back(marcOf(3, id));
    }
    JobRow row;
    row.name = "reconcile";
    row.type = jobs::type::AuthLoadReconcile;
    row.recordType = 3;
    row.recordSetId = makeSet("authorities", 3, ids);
    auto group = server.db().prepare("SELECT id FROM rule_sets WHERE name = 'Standard reconcile'");
    ASSERT_TRUE(group.step());
    row.ruleSetId = group.int32(0);
    group.reset();
    row.operatorId = "demo";
    const std::int32_t id = JobStore(server.db()).insert(row);
    ASSERT_EQ(numberOf(waitForJob(id), "JS"), jobs::status::Done) << log(id);
    int changed = 0;
    for (int rid = 1; rid <= authorities; ++rid) {
        const std::string& was = before[static_cast<std::size_t>(rid - 1)];
        const auto parsed = marc::parseRecord(was);
        // The demo reconcile takes the local $9 out of see references.
        bool hadReference = false;
        for (const marc::FieldView f : *parsed.record)
            hadReference = hadReference || (f.tag()[0] == '4' && f.subfield('9'));
        const std::string now = marcOf(3, rid);
        EXPECT_EQ(now != was, hadReference) << rid;
        changed += hadReference;
        if (hadReference) {
            const auto after = marc::parseRecord(now);
            ASSERT_TRUE(after.record);
            for (const marc::FieldView f : *after.record)
                EXPECT_FALSE(f.tag()[0] == '4' && f.subfield('9')) << rid;
            EXPECT_TRUE(after.record->findField("450")) << rid; // the reference itself stays
        }
    }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_history WHERE record_type = 3 AND "
                    "action = 'replaced'"),
              changed);
}

// The kill is asked for while the job runs; the job stops after the bulk it
// is in, with every record of the bulks before saved and none after.
TEST(JobKill, StopsAfterTheBulkWithEveryRecordWholeAndCountsKept) {
    TestServerOptions o;
    o.catalogue = {600, 10};
    TestServer server(o);
    const std::string token = server.login("demo", "demo");
    Database& db = server.db();
    auto ids = db.prepare("SELECT record_id FROM catalogue_records WHERE record_type = 1 "
                          "ORDER BY record_id LIMIT 500");
    Fields add;
    std::vector<std::int32_t> members;
    while (ids.step())
        members.push_back(ids.int32(0));
    const auto made = server.send(token, {"ADD_RECORD_SET", {{"RSN", std::string("five hundred")},
                                                              {"RST", 1}, {"RT", 1},
                                                              {"OI", std::string("demo")}}});
    add.push_back({"RSID", numberOf(made, "RSID")});
    for (const auto id : members)
        add.push_back({"RID", id});
    add.push_back({"OI", std::string("demo")});
    server.send(token, {"ADD_TO_RECORD_SET", add});
    const auto doc = server.send(token, {"SAVE_RULE_DOCUMENT", {{"RT", 2}, {"NM", std::string("all")},
        {"DSC", std::string()}, {"DOC", std::string("rule \"All\"\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n"
                                             "    create MARC.control.\"003\" with \"KILLTEST\"\r\nend\r\n")},
        {"OI", std::string("demo")}}});
    const auto group = server.send(token, {"SAVE_RULE_SET", {{"RT", 2}, {"NM", std::string("all")},
        {"DSC", std::string()}, {"RDID", numberOf(doc, "ID")}, {"RO", 0}, {"OI", std::string("demo")}}});
    const auto saved = server.send(token, {"SAVE_JOB", {{"JT", 1}, {"NM", std::string("to kill")},
        {"RSID", numberOf(made, "RSID")}, {"RUID", numberOf(group, "ID")}, {"UP", true},
        {"OI", std::string("demo")}}});
    const std::int32_t id = numberOf(saved, "ID");

    // Claimed as the runner would; the kill arrives before the first bulk ends.
    auto job = JobStore(db).claimDue(jobTimeNow());
    ASSERT_TRUE(job);
    EXPECT_EQ(server.send(token, {"KILL_JOB", {{"ID", id}, {"OI", std::string("demo")}}}).status, 0);
    std::atomic<bool> stopping{false};
    JobExecution run(db, server.core().store().path(), *job, stopping);
    const JobEnd end = runDataChangeJob(run);
    JobStore(db).finish(id, end.status);
    EXPECT_EQ(end.status, jobs::status::Killed);

    const auto answer = server.send(token, {"GET_JOB", {{"ID", id}, {"OI", std::string("demo")}}});
    EXPECT_EQ(numberOf(answer, "JS"), jobs::status::Killed);
    EXPECT_EQ(numberOf(answer, "RP"), static_cast<std::int32_t>(JobExecution::BulkSize));
    EXPECT_EQ(numberOf(answer, "RTP"), 500);
    auto stored = db.prepare("SELECT marc FROM catalogue_records");
    std::int64_t saw = 0;
    while (stored.step())
        saw += stored.blob(0).find("KILLTEST") != std::string::npos;
    EXPECT_EQ(saw, static_cast<std::int64_t>(JobExecution::BulkSize));
    EXPECT_EQ(server.send(token, {"KILL_JOB", {{"ID", id}, {"OI", std::string("demo")}}}).status, 2);
}

TEST(JobRestart, AJobLeftRunningFailsWithALineInItsLog) {
    TempDir dir;
    TestDatabase database{dir.path(), "orvane.db"};
    ServerOptions options;
    options.dbPath = database.location();
    options.filesPath = database.filesBase();
    std::int32_t id = 0;
    std::int32_t paused = 0;
    {
        ServerCore core(options);
        core.log().mute(true);
        initialiseStore(core.store(), false);
        JobRow row;
        row.name = "interrupted";
        row.type = jobs::type::IndexRecords;
        row.recordType = 1;
        row.operatorId = "demo";
        id = JobStore(core.store().db()).insert(row);
        JobStore(core.store().db()).claimDue(jobTimeNow());
        row.name = "uploading";
        row.status = jobs::status::Paused;
        paused = JobStore(core.store().db()).insert(row);
    }
    options.runJobs = true;
    // On a shared database the job is failed once its runner's lease has run out.
    options.jobLease = {std::chrono::seconds(1), std::chrono::milliseconds(100)};
    ServerCore restarted(options);
    restarted.log().mute(true);
    // The line is written once the job is marked.
    for (int i = 0; i < 500 && !(JobStore(restarted.store().db()).status(id) == jobs::status::Failed &&
                                 JobFiles(options.filesPath, id).hasLog());
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(JobStore(restarted.store().db()).status(id), jobs::status::Failed);
    // A job its client is still filling is not the server's to fail.
    EXPECT_EQ(JobStore(restarted.store().db()).status(paused), jobs::status::Paused);
    const auto log = JobFiles::read(JobFiles(options.filesPath, id).log());
    ASSERT_TRUE(log);
    EXPECT_NE(log->find(testingPostgres() ? "the server running the job stopped answering"
                                          : "the server stopped while the job ran"),
              std::string::npos);
}

} // namespace
} // namespace orvane::server::testing
