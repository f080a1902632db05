// What the queue screens show of a job and offer to do with it, per job
// type, status, files and the operator's rights.
#include "job_actions.h"
#include "job_summary.h"
#include "scripted_jobs.h"
#include "security/security_profile.h"
#include "tests/qt_printers.h"

namespace velumar {

// Found by the tests' failure messages through the type's namespace.
inline void PrintTo(const RunningJobActions& a, std::ostream* out) {
    *out << "{kill " << a.kill << ", deleteJob " << a.deleteJob << ", viewLog " << a.viewLog
         << ", deleteLog " << a.deleteLog << ", getResultFiles " << a.getResultFiles
         << ", deleteResultFiles " << a.deleteResultFiles << "}";
}

namespace {

using orvane::wire::Answer;
using testing::JobRecord;

class JobSummaries : public testing::ScriptedJobs {
protected:
    JobData job(qint32 type, qint32 status = 2, qint32 recordType = 1, bool hasLog = true,
                bool hasResults = true) {
        JobRecord record;
        record.id = 3;
        record.name = "Nightly";
        record.type = type;
        record.status = status;
        record.recordType = recordType;
        record.hasLog = hasLog;
        record.hasResults = hasResults;
        record.updateDatabase = "Y";
        record.extra = {{"RRE", "900"},   {"RRS", "100"}, {"SID", "Catalogue checks"}, {"SRS", ""},
                        {"RSN", "Found"}, {"KI", "N"},    {"RUID", "Monthly clean-up"}};
        transport->queue("GET_JOB", testing::JobsAnswer({record}));
        const auto fetched = jobs().FetchJob(3);
        EXPECT_TRUE(fetched);
        return fetched ? *fetched : JobData{};
    }
    std::unique_ptr<SecurityProfile> holding(const QStringList& rights) {
        transport->queue("GET_VLM_SECURITY", testing::securityAnswer(rights));
        return std::make_unique<SecurityProfile>(state.channel(), "jsmith");
    }
    static QStringList captions(const QList<SummaryLine>& lines) {
        QStringList out;
        for (const SummaryLine& line : lines)
            if (line.shown)
                out.push_back(line.caption);
        return out;
    }
};

TEST_F(JobSummaries, TheRunningSummaryShowsTheLinesOfTheJobsType) {
    const QStringList common{
        "Job name:",    "Job type:",    "Job status:",         "Scheduled start:",  "Actual start:",
        "Operator Id:", "Modify date:", "Records to process:", "Records processed:"};
    const QStringList bulks{
        "Job name:",    "Job type:",    "Job status:",       "Scheduled start:", "Actual start:",
        "Operator Id:", "Modify date:", "Bulks to process:", "Bulks processed:"};
    const std::vector<std::pair<qint32, QStringList>> cases{
        {0, common + QStringList{"Current bulk number:"}},
        {1, common + QStringList{"Current bulk number:", "Update database flag:"}},
        {2, common},
        {3, common + QStringList{"Record error count:"}},
        {4, common + QStringList{"Record error count:", "Current bulk number:"}},
        {5, bulks + QStringList{"Records deleted:", "Record error count:", "Current bulk number:"}},
        {6, common + QStringList{"Record error count:", "Current bulk number:"}},
        {7, common + QStringList{"Record error count:", "Current bulk number:"}},
    };
    for (const auto& [type, expected] : cases) {
        const QList<SummaryLine> lines = RunningJobSummary(job(type));
        EXPECT_EQ(lines.size(), 13) << type;
        EXPECT_EQ(captions(lines), expected) << "type " << type;
    }
}

TEST_F(JobSummaries, TheRunningSummaryShowsTheValuesAsReceived) {
    const QList<SummaryLine> lines = RunningJobSummary(job(1, 1));
    const QList<SummaryLine> expected{
        {"Job name:", "Nightly"},
        {"Job type:", "Data Change"},
        {"Job status:", "Running"},
        {"Scheduled start:", "2026-03-01 10:00:00"},
        {"Actual start:", "2026-03-01 10:00:05"},
        {"Operator Id:", "amy"},
        {"Modify date:", "2026-03-01 10:02:00"},
        {"Records to process:", "400"},
        {"Records processed:", "250"},
        {"Records deleted:", "7", false},
        {"Record error count:", "3", false},
        {"Current bulk number:", "2"},
        {"Update database flag:", "Y"},
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(JobSummaries, TheQueueSummaryShowsTheLinesOfTheJobsType) {
    const QStringList always{
        "Job type:", "Scheduled start:", "Operator Id:", "Modify date:", "Record type:"};
    const QStringList input{"Record set name:", "Record range start:", "Record range end:"};
    const QStringList all{"Job type:",
                          "Scheduled start:",
                          "Operator Id:",
                          "Modify date:",
                          "Record type:",
                          "Record set name:",
                          "Rule set group name:",
                          "Save record set name:",
                          "Record range start:",
                          "Record range end:",
                          "Update database flag:",
                          "Keyword index flag:"};
    const QStringList scan{
        "Job type:",           "Scheduled start:", "Operator Id:",         "Modify date:",
        "Record type:",        "Record set name:", "Rule set group name:", "Save record set name:",
        "Record range start:", "Record range end:"};
    const std::vector<std::pair<qint32, QStringList>> cases{
        {0, scan},
        {1, all},
        {2, always + input},
        {3, always + input},
        {4, always + QStringList{"Rule set group name:"}},
        {5, always + QStringList{"Rule set group name:"}},
        {6, always + input},
        {7, always + input},
    };
    for (const auto& [type, expected] : cases)
        EXPECT_EQ(captions(ScheduledJobSummary(job(type))), expected) << "type " << type;

    const QList<SummaryLine> scanLines = ScheduledJobSummary(job(0, 0, 3));
    EXPECT_EQ(scanLines[4], (SummaryLine{"Record type:", "Authority"}));
    EXPECT_EQ(scanLines[5], (SummaryLine{"Record set name:", "Weeding"}));
    EXPECT_EQ(scanLines[6], (SummaryLine{"Rule set group name:", "Catalogue checks"}));
    EXPECT_EQ(scanLines[7], (SummaryLine{"Save record set name:", "Found [new]"}));
    EXPECT_EQ(scanLines[8], (SummaryLine{"Record range start:", "100"}));
    EXPECT_EQ(scanLines[9], (SummaryLine{"Record range end:", "900"}));
}

struct ActionCase {
    const char* what;
    qint32 type;
    qint32 status;
    qint32 recordType;
    bool hasLog;
    bool hasResults;
    QStringList rights;
    RunningJobActions expected; // kill, delete job, view log, delete log, get and delete results
};

TEST_F(JobSummaries, RunningJobButtonsFollowTypeStateFilesAndRights) {
    const QStringList all = testing::securityCodes();
    const QStringList bib{"JHB", "RLB", "RRB", "KSJ", "KDJ", "KIJ"};
    const std::vector<ActionCase> cases{
        {"a finished data change job",
         1,
         2,
         1,
         true,
         true,
         all,
         {false, true, true, true, true, true}},
        {"a running data change job",
         1,
         1,
         1,
         true,
         true,
         all,
         {true, false, true, true, true, true}},
        {"a running data change job without the kill right",
         1,
         1,
         1,
         true,
         true,
         QStringList{"JHB", "RLB", "RRB"},
         {false, false, true, true, true, true}},
        {"a job being killed", 1, 3, 1, true, true, all, {true, false, true, true, true, true}},
        {"a paused job", 0, 6, 1, true, false, all, {true, false, true, true, false, false}},
        {"a killed job", 1, 4, 1, true, true, all, {false, true, true, true, true, true}},
        {"a finished scan job never offers its result files",
         0,
         2,
         1,
         true,
         true,
         all,
         {false, true, true, true, false, false}},
        {"a finished index job never offers its result files",
         2,
         2,
         1,
         true,
         true,
         all,
         {false, true, true, true, false, false}},
        {"a running index job", 2, 1, 1, true, false, bib, {true, false, true, true, false, false}},
        {"a finished match job offers only its deletion",
         3,
         2,
         1,
         true,
         true,
         all,
         {false, true, false, false, false, false}},
        {"a running match job offers nothing", 3, 1, 1, true, true, all, {}},
        {"a holdings job with bibliographic rights only", 1, 2, 2, true, true, bib, {}},
        {"no right to delete results: the job stays",
         1,
         2,
         1,
         true,
         true,
         QStringList{"JHB", "RLB"},
         {false, false, true, true, true, false}},
        {"no log and no result files",
         1,
         2,
         1,
         false,
         false,
         all,
         {false, true, false, false, false, false}},
        {"a merge job uses the authority-load rights",
         5,
         2,
         3,
         true,
         true,
         QStringList{"JHAL", "RLAL", "RRAL"},
         {false, true, true, true, true, true}},
        {"a reconcile job deletes results by its record type",
         6,
         2,
         3,
         true,
         true,
         QStringList{"JHAL", "RLAL", "RRAL"},
         {false, false, true, true, true, false}},
        {"a running auth db load job",
         7,
         1,
         3,
         true,
         true,
         QStringList{"KALJ", "JHAL"},
         {true, false, true, false, true, false}},
    };
    for (const ActionCase& c : cases) {
        const auto profile = holding(c.rights);
        const JobData subject = job(c.type, c.status, c.recordType, c.hasLog, c.hasResults);
        EXPECT_EQ(RunningActionsFor(&subject, *profile), c.expected) << c.what;
    }
    EXPECT_EQ(RunningActionsFor(nullptr, *holding(all)), RunningJobActions{});
}

TEST_F(JobSummaries, QueuedJobsChangeWithTheSubmissionRightOfTheirType) {
    const struct {
        qint32 type;
        qint32 recordType;
        QStringList rights;
        bool allowed;
    } cases[] = {
        {0, 1, {"SJB"}, true},
        {0, 2, {"SJB"}, false},
        {0, 2, {"SJM"}, true},
        {1, 3, {"DCA"}, true},
        {1, 1, {"DCA", "SJB"}, false},
        {2, 1, {"IJB"}, true},
        {2, 1, {"SJB", "DCB"}, false},
        {4, 3, {"ALA"}, true},
        {5, 3, {"ALA"}, true},
        {7, 3, {"ALA"}, true},
        {5, 3, {"JHAL"}, false},
        {3, 1, testing::securityCodes(), false},
        {6, 3, testing::securityCodes(), false},
    };
    for (const auto& c : cases) {
        const auto profile = holding(c.rights);
        EXPECT_EQ(MayChangeQueuedJob(job(c.type, 0, c.recordType), *profile), c.allowed)
            << "type " << c.type << " record type " << c.recordType;
    }
}

} // namespace
} // namespace velumar
