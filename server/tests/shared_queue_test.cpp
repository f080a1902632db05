// Two server processes on one PostgreSQL database share its job queue: each
// queued job runs once, on one of them; one killed with SIGKILL mid-job has
// its job failed by the other once its lease runs out, and the other goes on.
// A logout on one server ends the session on the other.
#include "jobs/job_files.h"
#include "jobs/job_kinds.h"
#include "serve_process.h"
#include "store/store.h"
#include "test_database.h"
#include "test_server.h"

#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace orvane::server::testing {
namespace {

std::int32_t numberIn(const wire::Answer& a, std::string_view key) {
    const auto* f = wire::findField(a.fields, key);
    return f ? std::get<std::int32_t>(f->value) : -1;
}

class Operator {
public:
    explicit Operator(int port) : client_("127.0.0.1", port) {
        const auto login = post(
            client_, {"LOGIN", {{"OI", std::string("demo")}, {"PW", std::string("demo")}}}, "");
        if (const auto* tk = wire::findField(login.fields, "TK"))
            token_ = std::get<std::string>(tk->value);
    }
    Operator(int port, std::string token) : client_("127.0.0.1", port), token_(std::move(token)) {}
    wire::Answer send(const std::string& code, wire::Fields fields) {
        fields.push_back({"OI", std::string("demo")});
        return post(client_, {code, std::move(fields)}, token_);
    }
    const std::string& token() const { return token_; }

private:
    httplib::Client client_;
    std::string token_;
};

std::int32_t recordSet(Operator& op, const std::string& name, int count) {
    const auto set =
        numberIn(op.send("ADD_RECORD_SET", {{"RSN", name}, {"RST", 1}, {"RT", 1}}), "RSID");
    for (int from = 1; from <= count; from += 1000) {
        wire::Fields ids{{"RSID", set}};
        for (int id = from; id < from + 1000 && id <= count; ++id)
            ids.push_back({"RID", id});
        op.send("ADD_TO_RECORD_SET", ids);
    }
    return set;
}

// How many times each job's start is logged by either server.
std::map<std::int32_t, int> startsLogged(const std::vector<std::string>& logs) {
    std::map<std::int32_t, int> starts;
    for (const std::string& path : logs) {
        const std::string text = readFile(path);
        for (std::size_t at = text.find("job "); at != std::string::npos;
             at = text.find("job ", at + 4)) {
            const std::size_t end = text.find('\n', at);
            const std::string line = text.substr(at, end - at);
            if (line.find("\" started") != std::string::npos)
                ++starts[std::stoi(line.substr(4))];
        }
    }
    return starts;
}

TEST(SharedQueue, TwoServersRunEachJobOnceAndFailTheJobOfOneKilledMidJob) {
    if (!testingPostgres())
        GTEST_SKIP() << "PostgreSQL only: servers share a queue through it";
    TempDir dir;
    // Named as --files DIR names the job files: DIR/orvane.jobs/.
    TestDatabase database{dir.path(), "orvane"};
    const std::string files = dir.path().string();
    ASSERT_EQ(runServer({"init", "--db", database.location(), "--demo"}), 0);
    const std::vector<std::string> logs{dir.file("a.log"), dir.file("b.log")};
    auto options = [&](const std::string& log) {
        return std::vector<std::string>{"--files", files, "--log", log, "--job-lease", "3"};
    };
    ServeProcess a(database.location(), options(logs[0]));
    ServeProcess b(database.location(), options(logs[1]));
    ASSERT_GT(a.port, 0);
    ASSERT_GT(b.port, 0);

    Operator op(a.port);
    const auto doc = op.send(
        "SAVE_RULE_DOCUMENT",
        {{"RT", 2},
         {"NM", std::string("mark")},
         {"DSC", std::string()},
         {"DOC",
          std::string("rule \"Mark\"\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n"
                      "    create MARC.\"599\"(\" \",\" \")\r\n"
                      "    create MARC.\"599\" subfield \"a\" with \"SHARED\"\r\nend\r\n")}});
    const auto group = numberIn(op.send("SAVE_RULE_SET", {{"RT", 2},
                                                          {"NM", std::string("mark")},
                                                          {"DSC", std::string()},
                                                          {"RDID", numberIn(doc, "ID")},
                                                          {"RO", 0}}),
                                "ID");
    const auto big = recordSet(op, "big", 2000);
    const auto small = recordSet(op, "small", 60);

    // The long one first, so that a server is surely in the middle of it.
    const auto longJob = numberIn(op.send("SAVE_JOB", {{"JT", 1},
                                                       {"NM", std::string("long")},
                                                       {"RSID", big},
                                                       {"RUID", group},
                                                       {"UP", true},
                                                       {"KI", true}}),
                                  "ID");
    ASSERT_GT(longJob, 0);
    std::vector<std::int32_t> queued;
    for (int i = 0; i < 20; ++i) {
        const auto saved = op.send(
            "SAVE_JOB",
            {{"JT", 1}, {"NM", "short " + std::to_string(i)}, {"RSID", small}, {"RUID", group}});
        ASSERT_EQ(saved.status, 0);
        queued.push_back(numberIn(saved, "ID"));
    }

    Store store(database.location(), Database::DefaultBusyTimeout, database.filesBase());
    auto runnerOf = [&](std::int32_t id) {
        auto st = store.db().prepare("SELECT status, runner FROM jobs WHERE id = ?1");
        st.bind(1, id);
        return st.step() ? std::make_pair(st.int32(0), st.text(1))
                         : std::make_pair(-1, std::string());
    };
    std::string runner;
    for (int i = 0; i < 3000 && runner.empty(); ++i) {
        const auto [status, who] = runnerOf(longJob);
        if (status == jobs::status::Running)
            runner = who;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_FALSE(runner.empty()) << "the long job never ran";
    // The runner is "host:pid:tag".
    const pid_t running = std::stoi(runner.substr(runner.find(':') + 1));
    ServeProcess& killed = running == a.pid ? a : b;
    ASSERT_EQ(killed.pid, running);
    killed.killHard();

    auto finished = [&](std::int32_t id) {
        const int status = runnerOf(id).first;
        return status == jobs::status::Done || status == jobs::status::Failed ||
               status == jobs::status::Killed;
    };
    for (int i = 0; i < 600; ++i) {
        bool all = finished(longJob);
        for (const std::int32_t id : queued)
            all = all && finished(id);
        if (all)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(runnerOf(longJob).first, jobs::status::Failed);
    const auto log = JobFiles::read(JobFiles(database.filesBase(), longJob).log());
    ASSERT_TRUE(log);
    EXPECT_NE(log->find("Failed: the server running the job stopped answering (its lease ran out)"),
              std::string::npos)
        << *log;
    for (const std::int32_t id : queued)
        EXPECT_EQ(runnerOf(id).first, jobs::status::Done) << "job " << id;
    const auto starts = startsLogged(logs);
    EXPECT_EQ(starts.at(longJob), 1);
    for (const std::int32_t id : queued)
        EXPECT_EQ(starts.count(id) ? starts.at(id) : 0, 1) << "job " << id;
}

TEST(SharedQueue, ALogoutOnOneServerEndsTheSessionOnTheOther) {
    if (!testingPostgres())
        GTEST_SKIP() << "PostgreSQL only: servers share sessions through it";
    TempDir dir;
    TestDatabase database{dir.path(), "orvane"};
    ASSERT_EQ(runServer({"init", "--db", database.location(), "--demo"}), 0);
    const std::vector<std::string> options{"--files", dir.path().string(), "--log", "/dev/null"};
    ServeProcess a(database.location(), options);
    ServeProcess b(database.location(), options);
    Operator onA(a.port);
    Operator onB(b.port, onA.token());
    Operator other(a.port);
    EXPECT_EQ(onB.send("GET_RECORD_SETS", {}).status, 0) << "a session of A is good on B";
    EXPECT_EQ(onA.send("LOGOUT", {}).status, 0);
    EXPECT_EQ(onB.send("GET_RECORD_SETS", {}).status, -1) << "B still takes the ended session";
    EXPECT_EQ(Operator(b.port, other.token()).send("GET_RECORD_SETS", {}).status, 0);
}

} // namespace
} // namespace orvane::server::testing
