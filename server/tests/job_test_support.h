#pragma once
// A server with the demo catalogue and a running job thread, and the steps
// job tests repeat: a record set of chosen ids, a rule set group of one
// rule text, a job submitted and waited for.

#include "jobs/job_kinds.h"
#include "protocol/octets.h"
#include "test_server.h"

#include <chrono>
#include <thread>
#include <vector>

namespace orvane::server::testing {

using wire::Fields;

inline std::int32_t numberOf(const wire::Answer& a, std::string_view key) {
    const auto* f = wire::findField(a.fields, key);
    return f ? std::get<std::int32_t>(f->value) : -1;
}

inline std::string textOf(const wire::Answer& a, std::string_view key) {
    const auto* f = wire::findField(a.fields, key);
    return f ? std::get<std::string>(f->value) : std::string();
}

class JobServer : public ::testing::Test {
protected:
    JobServer() : server(options()) {}

    static TestServerOptions options() {
        TestServerOptions o;
        o.runJobs = true;
        if (const char* path = std::getenv("JOB_TEST_LOG"))
            o.logPath = path;
        return o;
    }

    void SetUp() override { token = server.login("demo", "demo"); }

    wire::Answer send(const std::string& code, Fields fields) {
        fields.push_back({"OI", std::string("demo")});
        return server.send(token, {code, std::move(fields)});
    }

    std::int32_t makeSet(const std::string& name, int recordType,
                         const std::vector<std::int32_t>& ids) {
        const auto made = send("ADD_RECORD_SET", {{"RSN", name}, {"RST", 1}, {"RT", recordType}});
        const std::int32_t id = numberOf(made, "RSID");
        Fields add{{"RSID", id}};
        for (const std::int32_t rid : ids)
            add.push_back({"RID", rid});
        send("ADD_TO_RECORD_SET", add);
        return id;
    }

    // A group of one document holding `text`, of rule type 1 (scan) or 2.
    std::int32_t makeGroup(const std::string& name, int ruleType, const std::string& text) {
        const auto doc = send("SAVE_RULE_DOCUMENT",
                              {{"RT", ruleType}, {"NM", name}, {"DSC", std::string()}, {"DOC", text}});
        const auto group = send("SAVE_RULE_SET", {{"RT", ruleType},
                                                  {"NM", name},
                                                  {"DSC", std::string()},
                                                  {"RDID", numberOf(doc, "ID")},
                                                  {"RO", 0}});
        return numberOf(group, "ID");
    }

    std::string marcOf(int recordType, std::int32_t id) {
        auto st = server.db().prepare(
            "SELECT marc FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2");
        st.bind(1, recordType).bind(2, id);
        return st.step() ? st.blob(0) : std::string();
    }

    // The job's answer record once it has ended (or after `limit`).
    wire::Answer waitForJob(std::int32_t id,
                            std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto job = send("GET_JOB", {{"ID", id}});
            const int status = numberOf(job, "JS");
            if (status == jobs::status::Done || status == jobs::status::Killed ||
                status == jobs::status::Failed || std::chrono::steady_clock::now() > until)
                return job;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // A number the catalogue answers; the statement ends before the next
    // request, whose answer would otherwise see this one's snapshot.
    std::int64_t count(const std::string& sql) {
        auto st = server.db().prepare(sql);
        return st.step() ? st.int64(0) : -1;
    }

    std::string log(std::int32_t id) { return textOf(send("GET_JOB_LOG", {{"ID", id}}), "LC"); }

    TestServer server;
    std::string token;
};

} // namespace orvane::server::testing
