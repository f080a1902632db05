#pragma once
// A client run on the embedded server of the test's own database, logged in
// as one of the demo operators ("demo" holds every right, "viewer" only the
// view rights), with settings in a folder of the test's own; and the steps
// the job tests repeat: a record set, a group by name, a job submitted with
// a raw "SAVE_JOB" and waited for.

#include "job_manager.h"
#include "preferences/preferences.h"
#include "record_sets.h"
#include "request_channel.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "tests/temp_settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

struct DemoJobsClient {
    DemoJobsClient(const QString& db, const QString& operatorId) {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().Initialise({"velumar", "--db", db}, qApp);
        EXPECT_EQ(state.session().Login("", operatorId, ""), 0) << operatorId.toStdString();
        EXPECT_TRUE(state.channel().Open(5, state.session(), nullptr));
    }
    JobManager& jobs() { return state.manager<JobManager>(); }

    // A new bibliographic set of these ids; its id.
    qint32 makeSet(const QString& name, const QList<qint32>& ids) {
        RecordSets& sets = state.manager<RecordSets>();
        const qint32 id = sets.AddRecordSet(name, 1);
        EXPECT_GT(id, 0);
        EXPECT_TRUE(sets.AddToRecordSetQuiet(ids, id, 1));
        return id;
    }
    // The id of the rule set group of that name and rule type; -1 when none.
    qint32 group(const QString& name, int ruleType) {
        QComboBox list;
        jobs().FillRuleSetGroupList(list, ruleType);
        const int at = list.findText(name);
        return at < 0 ? -1 : list.itemData(at).toInt();
    }
    // A data change job as the submission screen sends it; the new job's
    // id, or the refusing status negated.
    qint32 submitDataChange(const QString& name, qint32 set, qint32 group,
                            const QString& start = QString()) {
        orvane::Channel& channel = state.channel();
        channel.AddNumericField("JT", 1);
        channel.AddField("NM", name);
        if (!start.isEmpty())
            channel.AddField("SS", start);
        channel.AddNumericField("RSID", set);
        channel.AddNumericField("RUID", group);
        channel.AddBoolField("UP", false);
        channel.AddBoolField("KI", false);
        channel.AddField("OI", state.session().OperatorId());
        const qint16 status = channel.SendRequest("SAVE_JOB");
        return status == 0 ? channel.GetNumericField("ID") : -status;
    }
    // The job once it has ended, as the manager fetches it; none after 60 s.
    std::optional<JobData> waitForEnd(qint32 id) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000) {
            auto job = jobs().FetchJob(id);
            if (!job || (job->Status() != CodeOf(JobStatus::Pending) && !job->IsActive()))
                return job;
            QCoreApplication::processEvents();
            QThread::msleep(50);
        }
        return std::nullopt;
    }

    TempSettings settings;
    RecordingPlatformServices platform;
    SessionState state{platform};
};

} // namespace velumar::testing
