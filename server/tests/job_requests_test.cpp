// The job requests' answers: what "SAVE_JOB" refuses and why, the rights of
// every request by job type and record type, and the files' requests.
#include "job_test_support.h"

namespace orvane::server::testing {
namespace {

const std::string kRule = "rule \"R\"\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n    CHANGED\r\nend\r\n";

class JobRequests : public JobServer {
protected:
    void SetUp() override {
        JobServer::SetUp();
        bibSet = makeSet("bibs", 1, {1, 2, 3});
        authSet = makeSet("auths", 3, {1});
        dataChange = makeGroup("change", 2, kRule);
        scan = makeGroup("scan", 1, "rule \"S\"\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n"
                                    "    INCLUDE\r\nend\r\n");
    }
    std::int32_t bibSet = 0;
    std::int32_t authSet = 0;
    std::int32_t dataChange = 0;
    std::int32_t scan = 0;
};

TEST_F(JobRequests, SaveJobRefusesWhatCannotRun) {
    const std::string past = "2001-01-01 00:00:00";
    const Fields change{{"JT", 1}, {"NM", std::string("c")}, {"RSID", bibSet}, {"RUID", dataChange}};
    const auto with = [](Fields fields, Fields more) {
        for (auto& f : more) {
            std::erase_if(fields, [&](const wire::Field& g) { return g.key == f.key; });
            fields.push_back(f);
        }
        return fields;
    };
    // A job of that name exists once the first case has run.
    ASSERT_EQ(send("SAVE_JOB", with(change, {{"NM", std::string("taken")}})).status, 0);
    struct Case {
        const char* what;
        Fields fields;
        std::int32_t status;
        std::int32_t bc;
    } cases[] = {
        {"start in the past", with(change, {{"SS", past}}), 2, -1},
        {"start not a time", with(change, {{"SS", std::string("tomorrow")}}), 8, -1},
        {"job name taken", with(change, {{"NM", std::string("TAKEN")}}), 4, 2},
        {"blank name", with(change, {{"NM", std::string("  ")}}), 8, -1},
        {"no such set", with(change, {{"RSID", 999}}), 5, -1},
        {"no such group", with(change, {{"RUID", 999}}), 5, -1},
        {"scan group for a data change", with(change, {{"RUID", scan}}), 8, -1},
        {"no such field order", with(change, {{"MFONAME", std::string("none such")}}), 5, -1},
        {"unknown job type", with(change, {{"JT", 9}}), 8, -1},
        {"scan set name taken",
         {{"JT", 0}, {"NM", std::string("s")}, {"SID", scan}, {"RT", 1}, {"RSN", std::string("Bibs")}},
         4, 1},
        {"scan set of another type",
         {{"JT", 0}, {"NM", std::string("s")}, {"SID", scan}, {"RT", 1}, {"RSID", authSet},
          {"RSN", std::string("new")}},
         8, -1},
        {"range out of order",
         {{"JT", 0}, {"NM", std::string("s")}, {"SID", scan}, {"RT", 1}, {"RRS", std::string("10")},
          {"RRE", std::string("9")}, {"RSN", std::string("new")}},
         8, -1},
        {"index range over 20,000",
         {{"JT", 2}, {"NM", std::string("i")}, {"RT", 1}, {"RRS", std::string("1")},
          {"RRE", std::string("20001")}},
         8, -1},
        {"index of authority records", {{"JT", 2}, {"NM", std::string("i")}, {"RT", 3}, {"RSID", authSet}}, 6, -1},
    };
    for (const Case& c : cases) {
        const auto answer = send("SAVE_JOB", c.fields);
        EXPECT_EQ(answer.status, c.status) << c.what;
        EXPECT_EQ(numberOf(answer, "BC"), c.bc) << c.what;
    }
    // The index range of exactly 20,000 ids is taken.
    EXPECT_EQ(send("SAVE_JOB", {{"JT", 2}, {"NM", std::string("i")}, {"RT", 1},
                                {"RRS", std::string("1")}, {"RRE", std::string("20000")}})
                  .status,
              0);
}

TEST_F(JobRequests, TheViewerSeesJobsAndChangesNothing) {
    const auto saved = send("SAVE_JOB", {{"JT", 1}, {"NM", std::string("mine")}, {"RSID", bibSet},
                                         {"RUID", dataChange}, {"SS", std::string("2099-01-01 00:00:00")}});
    ASSERT_EQ(saved.status, 0);
    const std::int32_t id = numberOf(saved, "ID");
    const std::string viewer = server.login("viewer", "viewer");
    const auto ask = [&](const std::string& code, Fields fields) {
        fields.push_back({"OI", std::string("viewer")});
        return server.send(viewer, {code, std::move(fields)}).status;
    };
    EXPECT_EQ(ask("SAVE_JOB", {{"JT", 1}, {"NM", std::string("v")}, {"RSID", bibSet}, {"RUID", dataChange}}), 6);
    EXPECT_EQ(ask("SAVE_JOB", {{"ID", id}, {"SS", std::string("2099-02-01 00:00:00")}}), 6);
    EXPECT_EQ(ask("KILL_JOB", {{"ID", id}}), 6);
    EXPECT_EQ(ask("DELETE_JOB", {{"ID", id}}), 6);
    EXPECT_EQ(ask("DELETE_JOB_LOG", {{"ID", id}}), 6);
    EXPECT_EQ(ask("DELETE_JOB_RESULT_FILES", {{"ID", id}}), 6);
    EXPECT_EQ(ask("GET_SCHEDULED_JOBS", {}), 0);
    EXPECT_EQ(ask("GET_JOB", {{"ID", id}}), 0);
    EXPECT_EQ(numberOf(send("GET_JOB", {{"ID", id}}), "JS"), jobs::status::Pending);
}

TEST_F(JobRequests, RescheduleAndRemoveAQueuedJob) {
    const auto saved = send("SAVE_JOB", {{"JT", 1}, {"NM", std::string("queued")}, {"RSID", bibSet},
                                         {"RUID", dataChange}, {"SS", std::string("2099-01-01 00:00:00")}});
    const std::int32_t id = numberOf(saved, "ID");
    EXPECT_EQ(send("SAVE_JOB", {{"ID", id}, {"SS", std::string("2001-01-01 00:00:00")}}).status, 2);
    EXPECT_EQ(send("SAVE_JOB", {{"ID", id}, {"SS", std::string("2098-05-06 07:08:09")}}).status, 0);
    EXPECT_EQ(textOf(send("GET_SCHEDULED_JOBS", {}), "SS"), "2098-05-06 07:08:09");
    EXPECT_EQ(send("SAVE_JOB", {{"ID", 999}, {"SS", std::string("2098-05-06 07:08:09")}}).status, 5);
    // A running job cannot be killed once ended, nor a pending one at all.
    EXPECT_EQ(send("KILL_JOB", {{"ID", id}}).status, 2);
    EXPECT_EQ(send("DELETE_JOB", {{"ID", id}}).status, 0);
    EXPECT_EQ(send("GET_JOB", {{"ID", id}}).status, 5);
    EXPECT_EQ(send("DELETE_JOB", {{"ID", id}}).status, 5);
}

TEST_F(JobRequests, LogAndResultFilesCanBeDeletedOnceTheJobEnded) {
    const auto saved = send("SAVE_JOB", {{"JT", 1}, {"NM", std::string("ran")}, {"RSID", bibSet},
                                         {"RUID", dataChange}, {"UP", false}});
    const std::int32_t id = numberOf(saved, "ID");
    const auto job = waitForJob(id);
    ASSERT_EQ(numberOf(job, "JS"), jobs::status::Done);
    // Run at once: its start is the time it was submitted.
    EXPECT_EQ(textOf(job, "SS").size(), 19u);
    EXPECT_LE(textOf(job, "SS"), textOf(job, "AS"));
    EXPECT_TRUE(std::get<bool>(wire::findField(job.fields, "HL")->value));
    EXPECT_TRUE(std::get<bool>(wire::findField(job.fields, "HR")->value));
    EXPECT_NE(log(id).find("record 3 (001 3): changed; rules fired: R"), std::string::npos)
        << log(id);
    const auto withFiles = send("GET_JOBS_WITH_FILES", {{"JT", 1}, {"JFT", 1}});
    EXPECT_EQ(textOf(withFiles, "NM"), "ran");
    EXPECT_EQ(send("DELETE_JOB_RESULT_FILES", {{"ID", id}}).status, 0);
    EXPECT_EQ(send("GET_JOB_RESULT_FILE_LIST", {{"ID", id}}).fields.size(), 0u);
    EXPECT_EQ(send("DELETE_JOB_LOG", {{"ID", id}}).status, 0);
    const auto after = send("GET_JOB_LOG", {{"ID", id}});
    EXPECT_EQ(after.status, 0);
    EXPECT_EQ(wire::findField(after.fields, "LC"), nullptr);
    const auto listed = send("GET_JOB", {{"ID", id}});
    EXPECT_FALSE(std::get<bool>(wire::findField(listed.fields, "HL")->value));
    EXPECT_FALSE(std::get<bool>(wire::findField(listed.fields, "HR")->value));
}

} // namespace
} // namespace orvane::server::testing
