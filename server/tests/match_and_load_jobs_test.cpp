// Match and authority-load jobs on the server: what "SAVE_JOB" takes and
// refuses for job types 3 to 7, the progress the submitting client reports,
// the records "UPLOAD_MARC" keeps in upload order, and the runner leaving
// alone the jobs their client drives.
#include "auth/operators.h"
#include "auth/password.h"
#include "job_test_support.h"
#include "jobs/job_records.h"
#include "jobs/job_store.h"

#include <functional>
#include <map>

namespace orvane::server::testing {
namespace {

using namespace std::string_literals;
namespace status = jobs::status;

class MatchAndLoadJobs : public JobServer {
protected:
    void SetUp() override {
        JobServer::SetUp();
        bibSet = makeSet("bibs", 1, {1, 2});
        authSet = makeSet("auths", 3, {1, 2});
        for (auto& [name, id] : groups) {
            auto st = server.db().prepare("SELECT id FROM rule_sets WHERE name = ?1");
            st.bind(1, name);
            id = st.step() ? st.int32(0) : -1;
        }
    }
    std::int32_t group(const std::string& name) { return groups.at(name); }

    // A new operator with these rights: who to send as.
    std::pair<std::string, std::string> operatorWith(const std::string& id,
                                                     std::vector<std::string_view> rights) {
        const auto row = addOperator(server.db(), id, id, hashPassword("password"));
        grantRights(server.db(), row, rights);
        return {id, server.login(id, "password")};
    }
    wire::Answer sendAs(const std::pair<std::string, std::string>& who, const std::string& code,
                        Fields fields) {
        fields.push_back({"OI", who.first});
        return server.send(who.second, {code, std::move(fields)});
    }
    // The fields with each of `more` put in place of the field of its key, or added.
    static Fields with(Fields fields, const Fields& more) {
        for (const auto& f : more) {
            std::erase_if(fields, [&](const wire::Field& g) { return g.key == f.key; });
            fields.push_back(f);
        }
        return fields;
    }
    std::int32_t submit(const Fields& fields) {
        const auto answer = send("SAVE_JOB", fields);
        EXPECT_EQ(answer.status, 0) << "SAVE_JOB";
        return numberOf(answer, "ID");
    }
    std::int32_t submitMatch(const std::string& name) {
        return submit({{"JT", 3}, {"NM", name}, {"RT", 1}, {"RSN", name + " hits"}});
    }
    std::int32_t submitLoadMatch(const std::string& name, const std::string& start = "") {
        Fields fields{{"JT", 4}, {"NM", name}, {"RT", 3}, {"RUID", group("Standard load match")}};
        if (!start.empty())
            fields.push_back({"SS", start});
        fields.push_back({"ADD035", true});
        return submit(fields);
    }
    JobRow row(std::int32_t id) { return *JobStore(server.db()).find(id); }
    wire::Answer upload(std::int32_t job, const std::vector<std::string>& records,
                        std::int32_t first) {
        Fields fields;
        for (const std::string& r : records)
            fields.push_back({"MR", wire::octetsToText(r)});
        return send("UPLOAD_MARC", with(fields, {{"ID", job}, {"RP", first}}));
    }

    std::int32_t bibSet = 0;
    std::int32_t authSet = 0;
    std::map<std::string, std::int32_t> groups{{"Standard load match", 0},
                                               {"Standard load merge", 0},
                                               {"Standard reconcile", 0},
                                               {"Monthly clean-up", 0}};
};

TEST_F(MatchAndLoadJobs, SaveJobTakesTheFieldsOfEachTypeAndRefusesWhatCannotRun) {
    const std::int32_t source = submitLoadMatch("source");
    const std::int32_t notLoad = submitMatch("not a load");
    const std::int32_t match = group("Standard load match");
    const std::int32_t merge = group("Standard load merge");
    // A submission of each type that is taken as it stands.
    const std::map<int, Fields> valid{
        {3, {{"JT", 3}, {"RT", 1}, {"RSN", "Hits"s}}},
        {4, {{"JT", 4}, {"RT", 3}, {"RUID", match}}},
        {5, {{"JT", 5}, {"SJID", source}, {"RUID", merge}, {"RT", 3}}},
        {6, {{"JT", 6}, {"RSID", authSet}, {"RUID", group("Standard reconcile")}, {"RT", 3}}},
        {7, {{"JT", 7}, {"SJID", source}, {"RT", 3}}}};
    struct Case {
        int type;
        Fields changed;
        std::int32_t status;
        std::int32_t bc;
    } cases[] = {
        {3, {}, 0, -1},
        {3, {{"RT", 3}, {"SRS", authSet}}, 0, -1},
        {3, {{"RSN", "BIBS"s}}, 4, 1},
        {3, {{"SRS", authSet}}, 8, -1},
        {3, {{"RSN", " "s}}, 8, -1},
        {3, {{"RT", 2}}, 8, -1},
        {4, {}, 0, -1},
        {4, {{"NM", "SOURCE"s}}, 4, 2},
        {4, {{"RUID", merge}}, 8, -1},
        {4, {{"RUID", 999}}, 5, -1},
        {4, {{"RT", 1}}, 8, -1},
        {4, {{"SS", "2001-01-01 00:00:00"s}}, 2, -1},
        {5, {}, 0, -1},
        {5, {{"SJID", notLoad}}, 8, -1},
        {5, {{"SJID", 999}}, 5, -1},
        {5, {{"RUID", match}}, 8, -1},
        {6, {}, 0, -1},
        {6, {{"RSID", bibSet}}, 8, -1},
        {6, {{"RUID", group("Monthly clean-up")}}, 8, -1},
        {7, {}, 0, -1},
        {7, {{"SJID", 999}}, 5, -1},
    };
    int made = 0;
    for (const Case& c : cases) {
        // Every job taken needs a name of its own.
        const Fields fields =
            with(with(valid.at(c.type), {{"NM", "job "s + std::to_string(++made)}}), c.changed);
        const auto answer = send("SAVE_JOB", fields);
        EXPECT_EQ(answer.status, c.status) << "case " << made;
        EXPECT_EQ(numberOf(answer, "BC"), c.bc) << "case " << made;
        EXPECT_EQ(numberOf(answer, "ID") > 0, c.status == 0) << "case " << made;
    }

    // What was kept of each type.
    const JobRow hits = row(submit(with(valid.at(3), {{"NM", "m"s}, {"RSN", "New hits"s}})));
    EXPECT_EQ(hits.status, status::Pending);
    EXPECT_EQ(hits.newRecordSetName, "New hits");
    const JobRow load = row(source);
    EXPECT_EQ(load.status, status::Paused) << "filled by its client before it may run";
    EXPECT_EQ(load.ruleSetId, match);
    EXPECT_TRUE(load.add035);
    const JobRow merged =
        row(submit(with(valid.at(5), {{"NM", "mg"s}, {"SS", "2099-01-01 00:00:00"s}})));
    EXPECT_EQ(merged.sourceJobId, source);
    EXPECT_EQ(merged.scheduledStart, "2099-01-01 00:00:00");
    // A reconcile always saves and indexes what it changes; its row, and so
    // the job as the client reads it, says so.
    const std::int32_t reconcile = submit(with(valid.at(6), {{"NM", "rc"s}}));
    EXPECT_TRUE(row(reconcile).updateDatabase);
    const auto listed = send("GET_JOB", {{"ID", reconcile}});
    EXPECT_EQ(textOf(listed, "UP"), "Y");
}

TEST_F(MatchAndLoadJobs, EachTypeNeedsItsRight) {
    const auto viewer = std::make_pair("viewer"s, server.login("viewer", "viewer"));
    const auto adds = operatorWith("adds", {"RSBA"});
    const auto changes = operatorWith("changes", {"RSBU"});
    const Fields intoNew{{"JT", 3}, {"NM", "a"s}, {"RT", 1}, {"RSN", "n1"s}};
    const Fields intoSet{{"JT", 3}, {"NM", "b"s}, {"RT", 1}, {"SRS", bibSet}};
    struct Case {
        const char* what;
        std::pair<std::string, std::string> who;
        Fields fields;
        std::int32_t status;
    } cases[] = {
        {"a new set needs the right to make sets", adds, intoNew, 0},
        {"an existing set needs the right to change it", adds, intoSet, 6},
        {"changing sets is no right to make one", changes, intoNew, 6},
        {"changing a set", changes, intoSet, 0},
        {"load match needs ALA",
         changes,
         {{"JT", 4}, {"NM", "c"s}, {"RT", 3}, {"RUID", group("Standard load match")}},
         6},
        {"reconcile needs ALA",
         viewer,
         {{"JT", 6},
          {"NM", "d"s},
          {"RSID", authSet},
          {"RUID", group("Standard reconcile")},
          {"RT", 3}},
         6},
        {"database load needs ALA", viewer, {{"JT", 7}, {"NM", "e"s}, {"SJID", 1}, {"RT", 3}}, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sendAs(c.who, "SAVE_JOB", c.fields).status, c.status) << c.what;
}

TEST_F(MatchAndLoadJobs, TheClientDrivesAMatchJobThroughItsStatuses) {
    const std::int32_t id = submitMatch("matching");
    const std::int32_t hits = makeSet("matching hits", 1, {});
    struct Step {
        Fields fields;
        std::int32_t status;
        std::int32_t jobStatus;
    } steps[] = {
        {{{"JS", status::Done}}, 2, status::Pending},
        {{{"SRS", authSet}, {"JS", status::Running}}, 8, status::Pending},
        {{{"SRS", hits}, {"JS", status::Running}, {"EC", 0}, {"RP", 0}, {"RTP", 0}},
         0,
         status::Running},
        {{{"JS", status::Running}, {"EC", 2}, {"RP", 0}, {"RTP", 45}}, 0, status::Running},
        {{{"JS", status::Pending}}, 2, status::Running},
        {{{"JS", status::Done}, {"EC", 3}, {"RP", 45}, {"RTP", 45}}, 0, status::Done},
        {{{"JS", status::Failed}}, 2, status::Done},
    };
    int step = 0;
    for (const Step& s : steps) {
        ++step;
        EXPECT_EQ(send("SAVE_JOB", with({{"ID", id}}, s.fields)).status, s.status) << step;
        EXPECT_EQ(row(id).status, s.jobStatus) << step;
    }
    const auto job = send("GET_JOB", {{"ID", id}});
    EXPECT_EQ(textOf(job, "SRS") + "|" + textOf(job, "RSN"), "matching hits|")
        << "the new set is named by the set made";
    EXPECT_EQ(
        std::vector<std::int32_t>({numberOf(job, "EC"), numberOf(job, "RP"), numberOf(job, "RTP")}),
        std::vector<std::int32_t>({3, 45, 45}));
    EXPECT_EQ(textOf(job, "AS").size(), 19u) << "started when it first ran";
    EXPECT_FALSE(row(id).finishedAt.empty());

    // A job not yet running may be marked failed, by its own operator only.
    const std::int32_t other = submitMatch("other");
    const auto adds = operatorWith("adds", {"RSBA", "RSBU"});
    EXPECT_EQ(sendAs(adds, "SAVE_JOB", {{"ID", other}, {"JS", status::Failed}}).status, 6);
    EXPECT_EQ(send("SAVE_JOB", {{"ID", other}, {"JS", status::Failed}}).status, 0);
    EXPECT_EQ(row(other).status, status::Failed);
}

TEST_F(MatchAndLoadJobs, AnAuthorityLoadMatchJobIsFilledWhilePausedInUploadOrder) {
    const std::int32_t id = submitLoadMatch("load", "2099-01-01 00:00:00");
    std::vector<std::string> records;
    for (int i = 1; i <= 45; ++i) {
        const std::string body = "z record " + std::to_string(i);
        records.push_back(std::to_string(100000 + body.size() + 5).substr(1) + body);
    }
    const std::vector<std::string> first(records.begin(), records.begin() + 20);
    const std::vector<std::string> second(records.begin() + 20, records.begin() + 40);
    const std::vector<std::string> last(records.begin() + 40, records.end());
    const std::int32_t match = submitMatch("a match job");
    const auto other = operatorWith("other", {"ALA"});
    const auto report = [&](const auto& who, std::int32_t js, const Fields& counters = {}) {
        return sendAs(who, "SAVE_JOB", with({{"ID", id}, {"JS", js}}, counters)).status;
    };
    const std::pair<std::string, std::string> demo{"demo", token};
    const Fields count45{{"EC", 1}, {"RP", 45}, {"RTP", 45}};
    // Each step and the status it answers.
    const std::vector<std::pair<std::function<std::int32_t()>, std::int32_t>> steps{
        {[&] {
             return report(demo, status::Paused, {{"RTP", 45}});
         },
         0},
        {[&] { return upload(id, first, 1).status; }, 0},
        {[&] { return upload(id, first, 1).status; }, 8}, // the first bulk again
        {[&] { return upload(id, last, 41).status; }, 8}, // a bulk out of place
        {[&] { return upload(id, second, 21).status; }, 0},
        {[&] {
             return sendAs(other, "UPLOAD_MARC",
                           {{"MR", wire::octetsToText(last[0])}, {"ID", id}, {"RP", 41}})
                 .status;
         },
         6},
        {[&] {
             return send("UPLOAD_MARC", {{"MR", "\xe2\x82\xac"s}, {"ID", id}, {"RP", 41}}).status;
         },
         8}, // not octets
        {[&] { return upload(match, last, 1).status; }, 8},
        {[&] { return upload(999, last, 1).status; }, 5},
        {[&] { return upload(id, last, 41).status; }, 0},
        {[&] { return report(other, status::Pending); }, 6},
        {[&] { return report(demo, status::Running); }, 2}, // running is the runner's
        {[&] { return report(demo, status::Pending, count45); }, 0},
        {[&] { return upload(id, last, 46).status; }, 2}, // no records once pending
    };
    for (std::size_t s = 0; s < steps.size(); ++s)
        EXPECT_EQ(steps[s].first(), steps[s].second) << "step " << s + 1;
    EXPECT_EQ(JobRecords(server.db()).all(id), records);
    const JobRow job = row(id);
    EXPECT_EQ(std::vector<std::int32_t>(
                  {job.status, job.currentBulk, job.errorCount, job.recordsToProcess}),
              std::vector<std::int32_t>({status::Pending, 3, 1, 45}));

    // A kill asked for while uploading wins over what the client reports next.
    const std::int32_t killed = submitLoadMatch("killed");
    ASSERT_EQ(send("KILL_JOB", {{"ID", killed}}).status, 0);
    EXPECT_EQ(upload(killed, first, 1).status, 2);
    EXPECT_EQ(send("SAVE_JOB", {{"ID", killed}, {"JS", status::Pending}}).status, 0);
    EXPECT_EQ(row(killed).status, status::Killed);
    // The records go with their job.
    ASSERT_EQ(send("DELETE_JOB", {{"ID", id}}).status, 0);
    EXPECT_EQ(JobRecords(server.db()).count(id), 0);
}

TEST_F(MatchAndLoadJobs, TheRunnerLeavesMatchJobsAndJobsBeingUploadedAlone) {
    const std::int32_t match = submitMatch("client matched");
    const std::int32_t load = submitLoadMatch("still uploading");
    // Due after them: the runner would have taken them first.
    const std::int32_t change = submit({{"JT", 1},
                                        {"NM", "after them"s},
                                        {"RSID", bibSet},
                                        {"RUID", group("Monthly clean-up")},
                                        {"UP", false}});
    EXPECT_EQ(numberOf(waitForJob(change), "JS"), status::Done);
    EXPECT_EQ(row(match).status, status::Pending);
    EXPECT_EQ(row(load).status, status::Paused);
}

} // namespace
} // namespace orvane::server::testing
