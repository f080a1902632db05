#pragma once
// A session on the scripted server, logged in as "jsmith" with the channel
// open, for the job manager and the job screens; the requests sent before
// the test's own are forgotten. Settings go to a file of the test's own.

#include "job_manager.h"
#include "preferences/preferences.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "testing/scripted_server.h"
#include "tests/temp_settings.h"

#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

// One job as "GET_JOBS" answers it: the fields every job has, in the
// server's order; tests append the fields of the job's type.
struct JobRecord {
    qint32 id = 1;
    std::string name = "Job";
    qint32 type = 0;
    qint32 status = 2;
    bool hasLog = true;
    bool hasResults = true;
    qint32 recordType = 1;
    std::string updateDatabase = "N";
    std::string scheduledStart = "2026-03-01 10:00:00";
    std::string actualStart = "2026-03-01 10:00:05";
    std::string recordSet = "Weeding";
    qint32 recordsProcessed = 250;
    orvane::wire::Fields extra; // the fields of the job's type

    orvane::wire::Fields Fields() const {
        orvane::wire::Fields fields{{"ID", id},
                                    {"NM", name},
                                    {"JT", type},
                                    {"JS", status},
                                    {"HL", hasLog},
                                    {"HR", hasResults},
                                    {"SS", scheduledStart},
                                    {"AS", actualStart},
                                    {"OI", "amy"},
                                    {"MD", "2026-03-01 10:02:00"},
                                    {"RTP", 400},
                                    {"RP", recordsProcessed},
                                    {"EC", 3},
                                    {"RD", 7},
                                    {"CB", 2},
                                    {"UP", updateDatabase},
                                    {"RSID", recordSet},
                                    {"RT", recordType}};
        fields.insert(fields.end(), extra.begin(), extra.end());
        return fields;
    }
};

// The answer of a list of jobs.
inline orvane::wire::Answer JobsAnswer(const std::vector<JobRecord>& jobs, qint32 status = 0) {
    orvane::wire::Answer answer{status, {}};
    for (const JobRecord& job : jobs)
        for (const auto& field : job.Fields())
            answer.fields.push_back(field);
    return answer;
}

class ScriptedJobs : public ::testing::Test {
protected:
    void start(const QStringList& held = securityCodes()) {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        scriptHealthyServer(*transport, held);
        ASSERT_EQ(state.session().Login("", "jsmith", ""), 0);
        ASSERT_TRUE(state.channel().Open(5, state.session(), nullptr));
        state.securityProfile(); // loaded now, so its requests come before the test's own
        transport->clearSent();
    }
    // The operator's rights; a fixture of a less trusted operator says fewer.
    virtual QStringList rights() const { return securityCodes(); }
    void SetUp() override { start(rights()); }

    JobManager& jobs() { return state.manager<JobManager>(); }

    // "GET_JOBS" lists these jobs and "GET_JOB" answers each by its id, as
    // they stand when asked; "GET_SCHEDULED_JOBS" lists the pending ones.
    void serveJobs(std::shared_ptr<std::vector<JobRecord>> served) {
        transport->respond("GET_JOBS", [served](const auto&) { return JobsAnswer(*served); });
        transport->respond("GET_JOB", [served](const orvane::wire::Request& request) {
            const auto* id = orvane::wire::findField(request.fields, "ID");
            for (const JobRecord& job : *served)
                if (id && std::get<std::int32_t>(id->value) == job.id)
                    return JobsAnswer({job});
            return orvane::wire::Answer{5, {}};
        });
        transport->respond("GET_SCHEDULED_JOBS", [served](const auto&) {
            orvane::wire::Answer answer;
            for (const JobRecord& job : *served)
                if (job.status == 0)
                    for (const auto& field : orvane::wire::Fields{{"ID", job.id},
                                                                  {"NM", job.name},
                                                                  {"JT", job.type},
                                                                  {"SS", job.scheduledStart},
                                                                  {"RT", job.recordType}})
                        answer.fields.push_back(field);
            return answer;
        });
    }
    std::shared_ptr<std::vector<JobRecord>> serveJobs(std::vector<JobRecord> jobs) {
        auto served = std::make_shared<std::vector<JobRecord>>(std::move(jobs));
        serveJobs(served);
        return served;
    }

    // How many requests of this code were sent.
    std::size_t count(const std::string& code) const { return transport->sent(code).size(); }

    // The fields of the only request sent under this code.
    orvane::wire::Fields sentFields(const std::string& code) {
        const auto requests = transport->sent(code);
        EXPECT_EQ(requests.size(), 1u) << code;
        return requests.empty() ? orvane::wire::Fields{} : requests[0].fields;
    }

    TempSettings settings;
    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
};

} // namespace velumar::testing
