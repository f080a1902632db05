// A server process killed with SIGKILL in the middle of a data change job,
// then started again: every record is as it was or as changed (whole bulks
// only), and the job has failed with the reason in its log.
#include "jobs/job_kinds.h"
#include "serve_process.h"
#include "store/database.h"

#include "marc/record_view.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace orvane::server::testing {
namespace {

namespace fs = std::filesystem;

std::int32_t numberIn(const wire::Answer& a, std::string_view key) {
    const auto* f = wire::findField(a.fields, key);
    return f ? std::get<std::int32_t>(f->value) : -1;
}

class Session {
public:
    explicit Session(int port) : client_("127.0.0.1", port) {
        const auto login =
            post(client_, {"LOGIN", {{"OI", std::string("demo")}, {"PW", std::string("demo")}}}, "");
        if (const auto* tk = wire::findField(login.fields, "TK"))
            token_ = std::get<std::string>(tk->value);
    }
    wire::Answer send(const std::string& code, wire::Fields fields) {
        fields.push_back({"OI", std::string("demo")});
        return post(client_, {code, std::move(fields)}, token_);
    }

private:
    httplib::Client client_;
    std::string token_;
};

TEST(JobCrash, ServerKilledMidJobLeavesWholeBulksAndTheJobFailed) {
    const fs::path dir = fs::temp_directory_path() / ("velumar-crash-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string db = (dir / "orvane.db").string();
    ASSERT_EQ(runServer({"init", "--db", db, "--demo"}), 0);

    std::int32_t jobId = 0;
    {
        ServeProcess server(db);
        ASSERT_GT(server.port, 0);
        Session s(server.port);
        const auto set = numberIn(s.send("ADD_RECORD_SET", {{"RSN", std::string("all bibs")},
                                                             {"RST", 1}, {"RT", 1}}),
                                  "RSID");
        for (int from = 1; from <= 2000; from += 1000) {
            wire::Fields ids{{"RSID", set}};
            for (int id = from; id < from + 1000; ++id)
                ids.push_back({"RID", id});
            ASSERT_EQ(s.send("ADD_TO_RECORD_SET", ids).status, 0);
        }
        const auto doc = s.send(
            "SAVE_RULE_DOCUMENT",
            {{"RT", 2}, {"NM", std::string("crash")}, {"DSC", std::string()},
             {"DOC", std::string("rule \"Mark\"\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n"
                                 "    create MARC.\"599\"(\" \",\" \")\r\n"
                                 "    create MARC.\"599\" subfield \"a\" with \"CRASHTEST\"\r\nend\r\n")}});
        const auto group = s.send("SAVE_RULE_SET", {{"RT", 2}, {"NM", std::string("crash")},
                                                    {"DSC", std::string()},
                                                    {"RDID", numberIn(doc, "ID")}, {"RO", 0}});
        // The keyword index makes each record slow enough to catch the job mid-way.
        const auto saved = s.send("SAVE_JOB", {{"JT", 1}, {"NM", std::string("crash")},
                                               {"RSID", set}, {"RUID", numberIn(group, "ID")},
                                               {"UP", true}, {"KI", true}});
        ASSERT_EQ(saved.status, 0);
        jobId = numberIn(saved, "ID");
        bool midway = false;
        for (int i = 0; i < 2000 && !midway; ++i) {
            const auto job = s.send("GET_JOB", {{"ID", jobId}});
            const int processed = numberIn(job, "RP");
            midway = processed > 0 && processed < 1600;
            if (!midway)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            ASSERT_NE(numberIn(job, "JS"), jobs::status::Done) << "the job ended before the kill";
        }
        ASSERT_TRUE(midway);
        server.killHard();
    }

    {
        const auto check = openDatabase(db, Database::DefaultBusyTimeout);
        auto st = check->prepare("SELECT marc FROM catalogue_records WHERE record_type = 1");
        int marked = 0;
        int records = 0;
        while (st.step()) {
            const std::string marc = st.blob(0);
            const auto parsed = marc::parseRecord(marc);
            ASSERT_TRUE(parsed.record) << "a stored record is not whole";
            ++records;
            marked += marc.find("\x1f" "aCRASHTEST\x1e") != std::string::npos;
        }
        EXPECT_EQ(records, 2000);
        EXPECT_GT(marked, 0);
        EXPECT_LT(marked, 2000);
        EXPECT_EQ(marked % 200, 0) << "a bulk was half written";
        auto history = check->prepare("SELECT count(*) FROM catalogue_history WHERE action = 'replaced'");
        history.step();
        EXPECT_EQ(history.int64(0), marked);
    }

    ServeProcess again(db);
    ASSERT_GT(again.port, 0);
    Session s(again.port);
    wire::Answer job;
    for (int i = 0; i < 200; ++i) {
        job = s.send("GET_JOB", {{"ID", jobId}});
        if (numberIn(job, "JS") == jobs::status::Failed)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(numberIn(job, "JS"), jobs::status::Failed);
    const auto log = s.send("GET_JOB_LOG", {{"ID", jobId}});
    const auto* text = wire::findField(log.fields, "LC");
    ASSERT_TRUE(text);
    EXPECT_NE(std::get<std::string>(text->value).find("the server stopped while the job ran"),
              std::string::npos);
    EXPECT_EQ(again.stop(), 0);
    fs::remove_all(dir);
}

} // namespace
} // namespace orvane::server::testing
