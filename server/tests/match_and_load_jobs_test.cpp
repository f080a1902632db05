// Match and authority-load jobs on the server: what "SAVE_JOB" takes and
// refuses for job types 3 to 7, the progress the submitting client reports,
// the records "UPLOAD_MARC" keeps in upload order, and the runner leaving
// alone the jobs their client drives.
#include "auth/operators.h"
#include "auth/password.h"
#include "job_test_support.h"
#include "jobs/job_records.h"
#include "jobs/job_store.h"

#include <algorithm>
#include <functional>

namespace orvane::server::testing {
namespace {

using js = std::int32_t;
namespace status = jobs::status;

class MatchAndLoadJobs : public JobServer {
protected:
    void SetUp() override {
        JobServer::SetUp();
        bibSet = makeSet("bibs", 1, {1, 2});
        authSet = makeSet("auths", 3, {1, 2});
        loadMatch = groupNamed("Standard load match");
        loadMerge = groupNamed("Standard load merge");
        reconcile = groupNamed("Standard reconcile");
        dataChange = groupNamed("Monthly clean-up");
    }

    std::int32_t groupNamed(const std::string& name) {
        auto st = server.db().prepare("SELECT id FROM rule_sets WHERE name = ?1");
        st.bind(1, name);
        return st.step() ? st.int32(0) : -1;
    }

    // The token of a new operator with these rights.
    std::string operatorWith(const std::string& id, std::vector<std::string_view> rights) {
        const auto row = addOperator(server.db(), id, id, hashPassword("password"));
        grantRights(server.db(), row, rights);
        return server.login(id, "password");
    }

    wire::Answer sendAs(const std::string& who, const std::string& tokenOf, const std::string& code,
                        Fields fields) {
        fields.push_back({"OI", who});
        return server.send(tokenOf, {code, std::move(fields)});
    }

    std::int32_t submit(Fields fields) {
        const auto answer = send("SAVE_JOB", std::move(fields));
        EXPECT_EQ(answer.status, 0) << "SAVE_JOB";
        return numberOf(answer, "ID");
    }
    std::int32_t submitMatch(const std::string& name) {
        return submit({{"JT", 3}, {"NM", name}, {"RT", 1}, {"RSN", name + " hits"}});
    }
    std::int32_t submitLoadMatch(const std::string& name, const std::string& start = {}) {
        Fields fields{{"JT", 4}, {"NM", name}, {"RT", 3}, {"RUID", loadMatch}};
        if (!start.empty())
            fields.push_back({"SS", start});
        fields.push_back({"ADD035", true});
        return submit(fields);
    }
    JobRow row(std::int32_t id) { return *JobStore(server.db()).find(id); }

    // A record of these octets' length, as a client uploads it.
    static std::string record(const std::string& body) {
        return std::to_string(100000 + body.size() + 5).substr(1) + body;
    }
    wire::Answer upload(std::int32_t job, const std::vector<std::string>& records,
                        std::int32_t first) {
        Fields fields;
        for (const std::string& r : records)
            fields.push_back({"MR", wire::octetsToText(r)});
        fields.push_back({"ID", job});
        fields.push_back({"OI", std::string("demo")});
        fields.push_back({"RP", first});
        return server.send(token, {"UPLOAD_MARC", fields});
    }

    std::int32_t bibSet = 0;
    std::int32_t authSet = 0;
    std::int32_t loadMatch = 0;
    std::int32_t loadMerge = 0;
    std::int32_t reconcile = 0;
    std::int32_t dataChange = 0;
};

TEST_F(MatchAndLoadJobs, SaveJobTakesTheFieldsOfEachTypeAndRefusesWhatCannotRun) {
    const std::int32_t source = submitLoadMatch("source");
    const std::int32_t notLoad = submitMatch("not a load");
    const std::string name = "job";
    struct Case {
        const char* what;
        Fields fields;
        js status;
        js bc;
    } cases[] = {
        {"match into a new set",
         {{"JT", 3}, {"NM", name}, {"RT", 1}, {"RSN", std::string("Hits")}},
         0,
         -1},
        {"match into a set", {{"JT", 3}, {"NM", name}, {"RT", 3}, {"SRS", authSet}}, 0, -1},
        {"match: set name taken",
         {{"JT", 3}, {"NM", name}, {"RT", 1}, {"RSN", std::string("BIBS")}},
         4,
         1},
        {"match: set of another type",
         {{"JT", 3}, {"NM", name}, {"RT", 1}, {"SRS", authSet}},
         8,
         -1},
        {"match: no set at all", {{"JT", 3}, {"NM", name}, {"RT", 1}}, 8, -1},
        {"match: holdings", {{"JT", 3}, {"NM", name}, {"RT", 2}, {"RSN", std::string("H")}}, 8, -1},
        {"load match", {{"JT", 4}, {"NM", name}, {"RT", 3}, {"RUID", loadMatch}}, 0, -1},
        {"load match: job name taken",
         {{"JT", 4}, {"NM", std::string("SOURCE")}, {"RT", 3}, {"RUID", loadMatch}},
         4,
         2},
        {"load match: merge configuration",
         {{"JT", 4}, {"NM", name}, {"RT", 3}, {"RUID", loadMerge}},
         8,
         -1},
        {"load match: no configuration",
         {{"JT", 4}, {"NM", name}, {"RT", 3}, {"RUID", 999}},
         5,
         -1},
        {"load match: bibliographic",
         {{"JT", 4}, {"NM", name}, {"RT", 1}, {"RUID", loadMatch}},
         8,
         -1},
        {"load match: start passed",
         {{"JT", 4},
          {"NM", name},
          {"RT", 3},
          {"RUID", loadMatch},
          {"SS", std::string("2001-01-01 00:00:00")}},
         2,
         -1},
        {"merge",
         {{"JT", 5}, {"NM", name}, {"SJID", source}, {"RUID", loadMerge}, {"RT", 3}},
         0,
         -1},
        {"merge: source not a load match",
         {{"JT", 5}, {"NM", name}, {"SJID", notLoad}, {"RUID", loadMerge}, {"RT", 3}},
         8,
         -1},
        {"merge: no source",
         {{"JT", 5}, {"NM", name}, {"SJID", 999}, {"RUID", loadMerge}, {"RT", 3}},
         5,
         -1},
        {"merge: match configuration",
         {{"JT", 5}, {"NM", name}, {"SJID", source}, {"RUID", loadMatch}, {"RT", 3}},
         8,
         -1},
        {"reconcile",
         {{"JT", 6}, {"NM", name}, {"RSID", authSet}, {"RUID", reconcile}, {"RT", 3}},
         0,
         -1},
        {"reconcile: bibliographic set",
         {{"JT", 6}, {"NM", name}, {"RSID", bibSet}, {"RUID", reconcile}, {"RT", 3}},
         8,
         -1},
        {"reconcile: data change group",
         {{"JT", 6}, {"NM", name}, {"RSID", authSet}, {"RUID", dataChange}, {"RT", 3}},
         8,
         -1},
        {"database load", {{"JT", 7}, {"NM", name}, {"SJID", source}, {"RT", 3}}, 0, -1},
        {"database load: no source", {{"JT", 7}, {"NM", name}, {"RT", 3}}, 5, -1},
    };
    int made = 0;
    for (Case& c : cases) {
        // Every accepted job needs a name of its own.
        if (c.status == 0)
            std::get<std::string>(
                std::find_if(c.fields.begin(), c.fields.end(), [](const wire::Field& f) {
                    return f.key == "NM";
                })->value) += std::to_string(++made);
        const auto answer = send("SAVE_JOB", c.fields);
        EXPECT_EQ(answer.status, c.status) << c.what;
        EXPECT_EQ(numberOf(answer, "BC"), c.bc) << c.what;
        EXPECT_EQ(numberOf(answer, "ID") > 0, c.status == 0) << c.what;
    }

    // What was kept of each type: the new set's name, the configuration, the 035 flag, the source.
    const JobRow match = row(numberOf(
        send("SAVE_JOB",
             {{"JT", 3}, {"NM", std::string("m")}, {"RT", 1}, {"RSN", std::string("New hits")}}),
        "ID"));
    EXPECT_EQ(match.status, status::Pending);
    EXPECT_EQ(match.newRecordSetName, "New hits");
    const JobRow load = row(source);
    EXPECT_EQ(load.status, status::Paused) << "filled by its client before it may run";
    EXPECT_EQ(load.ruleSetId, loadMatch);
    EXPECT_TRUE(load.add035);
    EXPECT_EQ(load.recordType, 3);
    const JobRow merge = row(numberOf(send("SAVE_JOB", {{"JT", 5},
                                                        {"NM", std::string("mg")},
                                                        {"SJID", source},
                                                        {"RUID", loadMerge},
                                                        {"SS", std::string("2099-01-01 00:00:00")},
                                                        {"RT", 3}}),
                                      "ID"));
    EXPECT_EQ(merge.sourceJobId, source);
    EXPECT_EQ(merge.scheduledStart, "2099-01-01 00:00:00");
}

TEST_F(MatchAndLoadJobs, EachTypeNeedsItsRight) {
    const std::string viewer = server.login("viewer", "viewer");
    const std::string adds = operatorWith("adds", {"RSBA"});
    const std::string changes = operatorWith("changes", {"RSBU"});
    const Fields intoNew{
        {"JT", 3}, {"NM", std::string("a")}, {"RT", 1}, {"RSN", std::string("n1")}};
    const Fields intoSet{{"JT", 3}, {"NM", std::string("b")}, {"RT", 1}, {"SRS", bibSet}};
    struct Case {
        const char* what;
        std::string who;
        std::string tokenOf;
        Fields fields;
        js status;
    } cases[] = {
        {"a new set needs the right to make sets", "adds", adds, intoNew, 0},
        {"an existing set needs the right to change it", "adds", adds, intoSet, 6},
        {"changing sets is no right to make one", "changes", changes, intoNew, 6},
        {"changing a set", "changes", changes, intoSet, 0},
        {"load match needs ALA",
         "changes",
         changes,
         {{"JT", 4}, {"NM", std::string("c")}, {"RT", 3}, {"RUID", loadMatch}},
         6},
        {"reconcile needs ALA",
         "viewer",
         viewer,
         {{"JT", 6}, {"NM", std::string("d")}, {"RSID", authSet}, {"RUID", reconcile}, {"RT", 3}},
         6},
        {"database load needs ALA",
         "viewer",
         viewer,
         {{"JT", 7}, {"NM", std::string("e")}, {"SJID", 1}, {"RT", 3}},
         6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sendAs(c.who, c.tokenOf, "SAVE_JOB", c.fields).status, c.status) << c.what;
}

TEST_F(MatchAndLoadJobs, TheClientDrivesAMatchJobThroughItsStatuses) {
    const std::int32_t id = submitMatch("matching");
    const std::int32_t hits = makeSet("matching hits", 1, {});
    struct Step {
        const char* what;
        Fields fields;
        js status;
        js jobStatus;
    } steps[] = {
        {"done before it ran", {{"JS", status::Done}}, 2, status::Pending},
        {"a set of another type", {{"SRS", authSet}, {"JS", status::Running}}, 8, status::Pending},
        {"running, with the set it fills",
         {{"SRS", hits}, {"JS", status::Running}, {"EC", 0}, {"RP", 0}, {"RTP", 0}},
         0,
         status::Running},
        {"the keys counted",
         {{"JS", status::Running}, {"EC", 2}, {"RP", 0}, {"RTP", 45}},
         0,
         status::Running},
        {"never back to pending", {{"JS", status::Pending}}, 2, status::Running},
        {"done", {{"JS", status::Done}, {"EC", 3}, {"RP", 45}, {"RTP", 45}}, 0, status::Done},
        {"no change once ended", {{"JS", status::Failed}}, 2, status::Done},
    };
    for (const Step& s : steps) {
        Fields fields{{"ID", id}};
        fields.insert(fields.end(), s.fields.begin(), s.fields.end());
        EXPECT_EQ(send("SAVE_JOB", fields).status, s.status) << s.what;
        EXPECT_EQ(row(id).status, s.jobStatus) << s.what;
    }
    const auto job = send("GET_JOB", {{"ID", id}});
    EXPECT_EQ(textOf(job, "SRS"), "matching hits");
    EXPECT_EQ(textOf(job, "RSN"), "") << "the new set is named by the set made";
    EXPECT_EQ(numberOf(job, "EC"), 3);
    EXPECT_EQ(numberOf(job, "RP"), 45);
    EXPECT_EQ(numberOf(job, "RTP"), 45);
    EXPECT_EQ(textOf(job, "AS").size(), 19u) << "started when it first ran";
    EXPECT_FALSE(row(id).finishedAt.empty());

    // A job not yet running may be marked failed (no set for its matches), by its own operator
    // only.
    const std::int32_t other = submitMatch("other");
    const std::string adds = operatorWith("adds", {"RSBA", "RSBU"});
    EXPECT_EQ(sendAs("adds", adds, "SAVE_JOB", {{"ID", other}, {"JS", status::Failed}}).status, 6);
    EXPECT_EQ(send("SAVE_JOB", {{"ID", other}, {"JS", status::Failed}}).status, 0);
    EXPECT_EQ(row(other).status, status::Failed);
}

TEST_F(MatchAndLoadJobs, AnAuthorityLoadMatchJobIsFilledWhilePausedInUploadOrder) {
    const std::int32_t id = submitLoadMatch("load", "2099-01-01 00:00:00");
    std::vector<std::string> records;
    for (int i = 1; i <= 45; ++i)
        records.push_back(record("z record " + std::to_string(i)));
    const std::vector<std::string> first(records.begin(), records.begin() + 20);
    const std::vector<std::string> second(records.begin() + 20, records.begin() + 40);
    const std::vector<std::string> last(records.begin() + 40, records.end());
    const std::int32_t match = submitMatch("a match job");
    const std::string other = operatorWith("other", {"ALA"});
    struct Step {
        const char* what;
        std::function<wire::Answer()> request;
        js status;
    } steps[] = {
        {"paused with the count",
         [&] {
             return send("SAVE_JOB",
                         {{"ID", id}, {"JS", status::Paused}, {"EC", 0}, {"RP", 0}, {"RTP", 45}});
         },
         0},
        {"first bulk", [&] { return upload(id, first, 1); }, 0},
        {"the first bulk again", [&] { return upload(id, first, 1); }, 8},
        {"a bulk out of place", [&] { return upload(id, last, 41); }, 8},
        {"second bulk", [&] { return upload(id, second, 21); }, 0},
        {"someone else's job",
         [&] {
             return sendAs("other", other, "UPLOAD_MARC",
                           {{"MR", wire::octetsToText(last[0])}, {"ID", id}, {"RP", 41}});
         },
         6},
        {"not a record's octets",
         [&] {
             return server.send(token, {"UPLOAD_MARC",
                                        {{"MR", std::string("\xe2\x82\xac")},
                                         {"ID", id},
                                         {"OI", std::string("demo")},
                                         {"RP", 41}}});
         },
         8},
        {"not a load match job", [&] { return upload(match, last, 1); }, 8},
        {"no such job", [&] { return upload(999, last, 1); }, 5},
        {"last bulk", [&] { return upload(id, last, 41); }, 0},
        {"someone else reports",
         [&] {
             return sendAs("other", other, "SAVE_JOB", {{"ID", id}, {"JS", status::Pending}});
         },
         6},
        {"not running: it is the runner's",
         [&] {
             return send("SAVE_JOB", {{"ID", id}, {"JS", status::Running}});
         },
         2},
        {"handed to the runner",
         [&] {
             return send("SAVE_JOB",
                         {{"ID", id}, {"JS", status::Pending}, {"EC", 1}, {"RP", 45}, {"RTP", 45}});
         },
         0},
        {"no records once pending", [&] { return upload(id, last, 46); }, 2},
    };
    for (const Step& s : steps)
        EXPECT_EQ(s.request().status, s.status) << s.what;
    EXPECT_EQ(JobRecords(server.db()).all(id), records);
    const JobRow job = row(id);
    EXPECT_EQ(job.status, status::Pending);
    EXPECT_EQ(job.currentBulk, 3);
    EXPECT_EQ(job.errorCount, 1);
    EXPECT_EQ(job.recordsToProcess, 45);

    // A kill asked for while uploading wins over what the client reports next.
    const std::int32_t killed = submitLoadMatch("killed");
    ASSERT_EQ(send("KILL_JOB", {{"ID", killed}}).status, 0);
    EXPECT_EQ(upload(killed, first, 1).status, 2);
    EXPECT_EQ(send("SAVE_JOB", {{"ID", killed}, {"JS", status::Pending}}).status, 0);
    EXPECT_EQ(row(killed).status, status::Killed);
    // The records go with their job.
    ASSERT_EQ(send("DELETE_JOB", {{"ID", id}}).status, 0);
    EXPECT_EQ(count("SELECT count(*) FROM job_records WHERE job = " + std::to_string(id)), 0);
}

TEST_F(MatchAndLoadJobs, TheRunnerLeavesMatchJobsAndJobsBeingUploadedAlone) {
    const std::int32_t match = submitMatch("client matched");
    const std::int32_t load = submitLoadMatch("still uploading");
    // Due before it, so the runner would have taken them first.
    const std::int32_t change = submit({{"JT", 1},
                                        {"NM", std::string("after them")},
                                        {"RSID", bibSet},
                                        {"RUID", dataChange},
                                        {"UP", false},
                                        {"KI", false}});
    EXPECT_EQ(numberOf(waitForJob(change), "JS"), status::Done);
    EXPECT_EQ(row(match).status, status::Pending);
    EXPECT_EQ(row(load).status, status::Paused);
}

} // namespace
} // namespace orvane::server::testing
