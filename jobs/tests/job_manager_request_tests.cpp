// The job manager against the scripted server: the exact fields of each
// request, the answer read back, and the message for each status.
#include "date_time_conversion.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "scripted_jobs.h"
#include "tests/qt_printers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFile>
#include <QTimeEdit>
#include <functional>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;
using testing::JobRecord;
using testing::JobsAnswer;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class JobManagerRequests : public testing::ScriptedJobs {
protected:
    static void runningHeadings(Grid& grid) {
        grid.SetHeadings({"Date / Time", "Status", "Job Type", "Update DB?", "Job Name"});
    }
    static JobRecord job(qint32 id, const std::string& name, qint32 status = 2) {
        JobRecord record;
        record.id = id;
        record.name = name;
        record.status = status;
        return record;
    }
    QStringList names(const Grid& grid) {
        QStringList out;
        for (int row = 0; row < grid.rowCount(); ++row)
            out.push_back(grid.TextMatrix(row, 4));
        return out;
    }
    JobResultFile resultFile(qint32 id, qint32 type, const std::string& name) {
        transport->queue("GET_JOB_RESULT_FILE_LIST",
                         Answer{0, {{"FI", id}, {"FN", name}, {"FT", type}}});
        KeyedCollection<JobResultFile> files;
        jobs().FetchResultFileList(1, files);
        transport->clearSent();
        return files.At(0);
    }
};

struct RequestCase {
    const char* code;
    std::function<void(JobManager&)> call;
    Fields fields;
};

TEST_F(JobManagerRequests, EachRequestSendsItsFieldsInOrder) {
    const JobResultFile after = resultFile(31, 1, "after.mrc");
    const QString exportPath = settings.Open()->fileName() + ".mrc";
    Grid grid;
    runningHeadings(grid);
    QComboBox list;
    const Fields oi{{"OI", "jsmith"}};
    const std::vector<RequestCase> cases{
        {"GET_JOBS", [&](JobManager& m) { m.LoadRunningJobs(grid); }, oi},
        {"GET_SCHEDULED_JOBS", [&](JobManager& m) { m.LoadScheduledJobs(grid); }, oi},
        {"GET_JOB", [](JobManager& m) { m.FetchJob(7); }, {{"ID", 7}, {"OI", "jsmith"}}},
        {"KILL_JOB", [](JobManager& m) { m.StopJob(7); }, {{"ID", 7}, {"OI", "jsmith"}}},
        {"DELETE_JOB", [](JobManager& m) { m.RemoveJob(8); }, {{"ID", 8}, {"OI", "jsmith"}}},
        {"DELETE_JOB_LOG", [](JobManager& m) { m.RemoveJobLog(9); }, {{"ID", 9}, {"OI", "jsmith"}}},
        {"DELETE_JOB_RESULT_FILES",
         [](JobManager& m) { m.RemoveJobResultFiles(10); },
         {{"ID", 10}, {"OI", "jsmith"}}},
        {"SAVE_JOB",
         [](JobManager& m) { m.RescheduleJob(11, "2030-01-02 03:04:05"); },
         {{"ID", 11}, {"SS", "2030-01-02 03:04:05"}, {"OI", "jsmith"}}},
        // No start: the server starts the job now.
        {"SAVE_JOB",
         [](JobManager& m) { m.RescheduleJob(11, ""); },
         {{"ID", 11}, {"OI", "jsmith"}}},
        {"GET_JOB_LOG", [](JobManager& m) { m.ShowJobLog(12); }, {{"ID", 12}, {"OI", "jsmith"}}},
        {"GET_JOB_RESULT_FILE_LIST",
         [](JobManager& m) { m.FetchResultFileList(13, m.ResultFiles()); },
         {{"ID", 13}, {"OI", "jsmith"}}},
        {"GET_JOB_RESULT_FILE",
         [&](JobManager& m) { m.FetchResultFile(14, after, ""); },
         {{"ID", 14}, {"FI", 31}, {"FT", 1}, {"OI", "jsmith"}}},
        {"GET_JOB_RESULT_FILE",
         [&](JobManager& m) { m.FetchResultFile(14, after, exportPath); },
         {{"ID", 14}, {"FI", 31}, {"FT", 1}, {"FMT", "B"}, {"OI", "jsmith"}}},
        {"GET_RULE_SETS",
         [&](JobManager& m) { m.FillRuleSetGroupList(list, 2); },
         {{"RT", 2}, {"OI", "jsmith"}}},
        {"GET_JOBS_WITH_FILES",
         [&](JobManager& m) { m.FillJobsWithFiles(list, 4); },
         {{"JT", 4}, {"OI", "jsmith"}}},
        {"GET_JOBS_WITH_FILES",
         [&](JobManager& m) { m.FillJobsWithFiles(list, 4, 9); },
         {{"JT", 4}, {"JFT", 9}, {"OI", "jsmith"}}},
    };
    for (const RequestCase& c : cases) {
        transport->clearSent();
        transport->queue(c.code, Answer{0, {}});
        c.call(jobs());
        ASSERT_EQ(transport->sent().size(), 1u) << c.code;
        EXPECT_EQ(transport->sent()[0].request.code, c.code);
        EXPECT_EQ(transport->sent()[0].request.fields, c.fields) << c.code;
    }
    // Success is not told; only an answer with nothing in it is.
    EXPECT_EQ(platform.Texts(),
              (QStringList{"No log found for this job.", "No files found for this job."}));
    QFile::remove(exportPath);
}

struct StatusCase {
    const char* code;
    std::int32_t status;
    const char* message; // "" when none is shown
    std::function<void(JobManager&)> call;
};

TEST_F(JobManagerRequests, EachStatusGivesItsMessage) {
    Grid grid;
    runningHeadings(grid);
    QComboBox list;
    const JobResultFile file = resultFile(3, 0, "before.mrc");
    const auto loadRunning = [&](JobManager& m) { m.LoadRunningJobs(grid); };
    const auto loadQueue = [&](JobManager& m) { m.LoadScheduledJobs(grid); };
    const auto fetch = [](JobManager& m) { m.FetchJob(1); };
    const auto kill = [](JobManager& m) { m.StopJob(1); };
    const auto remove = [](JobManager& m) { m.RemoveJob(1); };
    const auto removeLog = [](JobManager& m) { m.RemoveJobLog(1); };
    const auto removeResults = [](JobManager& m) { m.RemoveJobResultFiles(1); };
    const auto reschedule = [](JobManager& m) { m.RescheduleJob(1, "2030-01-01 00:00:00"); };
    const auto log = [](JobManager& m) { m.ShowJobLog(1); };
    const auto resultFile = [&](JobManager& m) { m.FetchResultFile(1, file, ""); };
    const auto fileList = [](JobManager& m) { m.FetchResultFileList(1, m.ResultFiles()); };
    const auto groups = [&](JobManager& m) { m.FillRuleSetGroupList(list, 1); };
    const auto withFiles = [&](JobManager& m) { m.FillJobsWithFiles(list, 4); };
    const char* notFound = "Job not found.";
    const std::vector<StatusCase> cases{
        {"GET_JOBS", 6, "Operator not authorized to view running/completed jobs.", loadRunning},
        {"GET_JOBS", 3, "Failed to load running/completed jobs. Error code = 3", loadRunning},
        {"GET_SCHEDULED_JOBS", 6, "Operator not authorized to view scheduled jobs.", loadQueue},
        {"GET_SCHEDULED_JOBS", 9001, "Failed to load scheduled jobs. Error code = 9001", loadQueue},
        {"GET_JOB", 5, notFound, fetch},
        {"GET_JOB", 6, "", fetch},
        {"GET_JOB", 2, "Failed to retrieve job data. Error code = 2", fetch},
        {"KILL_JOB", 2, "Job has already stopped running.", kill},
        {"KILL_JOB", 5, notFound, kill},
        {"KILL_JOB", 6, "Operator not authorized to kill job.", kill},
        {"KILL_JOB", 4, "Failed to kill job. Error code = 4", kill},
        {"DELETE_JOB", 2, "Job cannot be deleted.  Job files in use.", remove},
        {"DELETE_JOB", 5, notFound, remove},
        {"DELETE_JOB", 6, "Operator not authorized to delete job.", remove},
        {"DELETE_JOB", 1, "Failed to delete job. Error code = 1", remove},
        {"DELETE_JOB_LOG", 2, "Job log cannot be deleted.  Job files in use.", removeLog},
        {"DELETE_JOB_LOG", 5, notFound, removeLog},
        {"DELETE_JOB_LOG", 6, "Operator not authorized to delete job log.", removeLog},
        {"DELETE_JOB_LOG", 99, "Failed to delete job log. Error code = 99", removeLog},
        {"DELETE_JOB_RESULT_FILES", 2, "Job result files cannot be deleted.  Job files in use.",
         removeResults},
        {"DELETE_JOB_RESULT_FILES", 5, notFound, removeResults},
        {"DELETE_JOB_RESULT_FILES", 6, "Operator not authorized to delete result files.",
         removeResults},
        {"DELETE_JOB_RESULT_FILES", 3, "Failed to delete job result files. Error code = 3",
         removeResults},
        {"SAVE_JOB", 2, "Job start time must be later than now.", reschedule},
        {"SAVE_JOB", 5, notFound, reschedule},
        {"SAVE_JOB", 6, "Operator not authorized to update job data.", reschedule},
        {"SAVE_JOB", 4, "Failed to update job data. Error code = 4", reschedule},
        {"GET_JOB_LOG", 2, "Job log file not found", log},
        {"GET_JOB_LOG", 5, notFound, log},
        {"GET_JOB_LOG", 6, "Operator not authorized to view job log.", log},
        {"GET_JOB_LOG", 1, "Failed to retrieve job log. Error code = 1", log},
        {"GET_JOB_RESULT_FILE", 2, "Job result file not found", resultFile},
        {"GET_JOB_RESULT_FILE", 5, notFound, resultFile},
        {"GET_JOB_RESULT_FILE", 6, "Operator not authorized to view job result file.", resultFile},
        {"GET_JOB_RESULT_FILE", 3, "Failed to retrieve job result file. Error code = 3",
         resultFile},
        {"GET_JOB_RESULT_FILE_LIST", 2, "No files found for this job.", fileList},
        {"GET_JOB_RESULT_FILE_LIST", 5, notFound, fileList},
        {"GET_JOB_RESULT_FILE_LIST", 6, "Operator not authorized to view job log.", fileList},
        {"GET_JOB_RESULT_FILE_LIST", 4, "Failed to retrieve job log. Error code = 4", fileList},
        {"GET_RULE_SETS", 6, "Operator not authorized to view rule set groups.", groups},
        {"GET_RULE_SETS", 8, "Failed to get rule set groups. Error code = 8", groups},
        {"GET_JOBS_WITH_FILES", 5, "Invalid input.", withFiles},
        {"GET_JOBS_WITH_FILES", 6, "Operator not authorized to submit job.", withFiles},
        {"GET_JOBS_WITH_FILES", 2, "Failed to load jobs. Error code = 2", withFiles},
    };
    for (const StatusCase& c : cases) {
        platform.Clear();
        if (c.status >= 9001)
            transport->queueFailure(c.code, c.status);
        else
            transport->queue(c.code, Answer{c.status, {{"LC", "log"}, {"FI", 1}, {"FC", "x"}}});
        c.call(jobs());
        if (*c.message == '\0') {
            EXPECT_TRUE(platform.Messages().empty()) << c.code << ' ' << c.status;
            continue;
        }
        ASSERT_EQ(platform.Messages().size(), 1u) << c.code << ' ' << c.status;
        EXPECT_EQ(platform.Messages()[0].text, c.message);
        EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(platform.Messages()[0].title, "") << "the program's title";
    }
    // A failure shows nothing: no file was written or opened.
    EXPECT_TRUE(jobs().TempFiles().isEmpty());
    EXPECT_TRUE(platform.OpenedUrls().isEmpty());
    EXPECT_EQ(transport->unused(), 0u);
}

TEST_F(JobManagerRequests, LoadingKeepsTheGridsSortAndSelection) {
    const auto three = JobsAnswer({job(1, "beta"), job(2, "Alpha"), job(3, "gamma", 1)});
    Grid grid;
    runningHeadings(grid);
    transport->queue("GET_JOBS", three);
    jobs().LoadRunningJobs(grid);
    EXPECT_EQ(names(grid), (QStringList{"beta", "Alpha", "gamma"})) << "the server's order";
    ASSERT_EQ(jobs().RunningJobs().Count(), 3);
    EXPECT_EQ(jobs().RunningJobs().KeyAt(1), "2");
    ASSERT_NE(jobs().RunningJob(3), nullptr);
    EXPECT_TRUE(jobs().RunningJob(3)->IsActive());
    EXPECT_EQ(jobs().RunningJob(99), nullptr);
    EXPECT_TRUE(platform.Messages().empty()) << "no job is no message";

    GridSort(grid, 4, 4);
    GridSort(grid, 4, 4); // descending by name
    SelectGridRow(grid, -1, 2);
    transport->queue("GET_JOBS", three);
    jobs().LoadRunningJobs(grid);
    EXPECT_EQ(names(grid), (QStringList{"gamma", "beta", "Alpha"}));
    EXPECT_EQ(GetGridSelection(grid).rowData, 2) << "the remembered job";

    transport->queue("GET_JOBS", three);
    jobs().LoadRunningJobs(grid, 3);
    EXPECT_EQ(GetGridSelection(grid).rowData, 3) << "the caller's job";

    transport->queue("GET_JOBS", Answer{6, three.fields});
    jobs().LoadRunningJobs(grid);
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(jobs().RunningJobs().Count(), 0);
    EXPECT_EQ(grid.SortMarker(), "-4") << "the order survives an empty load";
}

TEST_F(JobManagerRequests, TheQueueReadsItsShortFormIntoItsOwnCollection) {
    Grid grid;
    grid.SetHeadings({"Scheduled", "Job Type", "Job Name"});
    // Fields beyond the short form are not read, whatever the answer holds.
    transport->queue("GET_SCHEDULED_JOBS", Answer{0,
                                                  {{"ID", 8},
                                                   {"NM", "Tonight"},
                                                   {"JT", 1},
                                                   {"SS", "2030-04-01 22:00:00"},
                                                   {"RT", 1},
                                                   {"JS", 1},
                                                   {"OI", "amy"},
                                                   {"RSID", "x"},
                                                   {"ID", 9},
                                                   {"NM", "Later"},
                                                   {"JT", 0},
                                                   {"SS", "2030-04-02 22:00:00"},
                                                   {"RT", 3}}});
    jobs().LoadScheduledJobs(grid, 9);
    ASSERT_EQ(jobs().ScheduledJobs().Count(), 2);
    EXPECT_EQ(jobs().RunningJobs().Count(), 0);
    const JobData& tonight = *jobs().ScheduledJob(8);
    EXPECT_EQ(tonight.Type(), JobType::DataChange);
    EXPECT_EQ(tonight.RecordType(), 1);
    EXPECT_EQ(tonight.Status(), 0);
    EXPECT_EQ(tonight.OperatorId(), "");
    EXPECT_EQ(tonight.RecordSet(), "");
    EXPECT_EQ(jobs().ScheduledJob(9)->RecordType(), 3);
    EXPECT_EQ((QStringList{grid.TextMatrix(0, 0), grid.TextMatrix(0, 1), grid.TextMatrix(1, 2)}),
              (QStringList{"2030-04-01 22:00:00", "Data Change", "Later"}));
    EXPECT_EQ(GetGridSelection(grid).rowData, 9);
}

TEST_F(JobManagerRequests, FetchingAJobGivesANewSnapshot) {
    transport->queue("GET_JOB", JobsAnswer({job(4, "Now", 1)}));
    const auto job = jobs().FetchJob(4);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->Name(), "Now");
    EXPECT_EQ(job->RecordsProcessed(), 250);
    transport->queue("GET_JOB", Answer{0, {}});
    EXPECT_FALSE(jobs().FetchJob(4)) << "an answer without the job";
    transport->queue("GET_JOB", Answer{5, {}});
    EXPECT_FALSE(jobs().FetchJob(4));
    EXPECT_EQ(platform.Texts(), QStringList{"Job not found."});
}

TEST_F(JobManagerRequests, ALogIsWrittenToATemporaryTextFileAndOpened) {
    transport->queue("GET_JOB_LOG", Answer{0, {{"LC", "Started\r\n400 records"}}});
    jobs().ShowJobLog(5);
    ASSERT_EQ(jobs().TempFiles().size(), 1);
    const QString path = jobs().TempFiles()[0];
    EXPECT_TRUE(path.endsWith(".txt"));
    EXPECT_EQ(bytesOf(path), "Started\r\n400 records\r\n");
    EXPECT_EQ(platform.OpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(path)})
        << "no viewer chosen: the desktop's program for text files";
    EXPECT_TRUE(platform.StartedPrograms().empty());
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_FALSE(state.busy().IsBusy());
}

TEST_F(JobManagerRequests, TheChosenViewerOpensTheFile) {
    state.preferences().SetLogViewerApp("/usr/bin/mousepad");
    transport->queue("GET_JOB_LOG", Answer{0, {{"LC", "text"}}});
    jobs().ShowJobLog(5);
    ASSERT_EQ(platform.StartedPrograms().size(), 1u);
    EXPECT_EQ(platform.StartedPrograms()[0].program, "/usr/bin/mousepad");
    EXPECT_EQ(platform.StartedPrograms()[0].arguments, QStringList{jobs().TempFiles()[0]});
    EXPECT_TRUE(platform.OpenedUrls().isEmpty());

    platform.SetOpenSucceeds(false);
    jobs().DisplayFile(jobs().TempFiles()[0]);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, "Could not display file.");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
}

TEST_F(JobManagerRequests, NoLogIsToldAndWritesNoFile) {
    transport->queue("GET_JOB_LOG", Answer{0, {}});
    jobs().ShowJobLog(5);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, "No log found for this job.");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(jobs().TempFiles().isEmpty());
    EXPECT_TRUE(platform.OpenedUrls().isEmpty());
}

TEST_F(JobManagerRequests, TextWrittenToAGivenPathIsNotOpenedNorKept) {
    const QString path = settings.Open()->fileName() + ".txt";
    jobs().ShowText("kept", path);
    EXPECT_EQ(bytesOf(path), "kept\r\n");
    EXPECT_TRUE(jobs().TempFiles().isEmpty());
    EXPECT_TRUE(platform.OpenedUrls().isEmpty());
    QFile::remove(path);

    jobs().ShowText("lost", "/no/such/folder/x.txt");
    ASSERT_EQ(platform.Messages().size(), 1u) << "the failed write is told";
    EXPECT_TRUE(platform.Messages()[0].text.startsWith("Could not open the file \"/no/such"));
    EXPECT_TRUE(platform.OpenedUrls().isEmpty());
}

TEST_F(JobManagerRequests, TemporaryFilesAreGoneWhenTheManagerEnds) {
    auto manager = std::make_unique<JobManager>(state);
    transport->queue("GET_JOB_LOG", Answer{0, {{"LC", "one"}}});
    transport->queue("GET_JOB_RESULT_FILE", Answer{0, {{"FC", "=LDR  00000nam"}}});
    manager->ShowJobLog(1);
    manager->FetchResultFile(1, resultFile(2, 1, "after.mrc"), "");
    const QStringList written = manager->TempFiles();
    ASSERT_EQ(written.size(), 2);
    EXPECT_NE(written[0], written[1]);
    for (const QString& path : written)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    manager.reset();
    for (const QString& path : written)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
}

TEST_F(JobManagerRequests, ResultFileListsAreKeyedByTypeAndId) {
    KeyedCollection<JobResultFile> files;
    files.Add("stale", {});
    transport->queue("GET_JOB_RESULT_FILE_LIST", Answer{0,
                                                        {{"FI", 31},
                                                         {"FN", "before.mrc"},
                                                         {"FT", 0},
                                                         {"FI", 32},
                                                         {"FN", "ids.txt"},
                                                         {"FT", 5}}});
    EXPECT_TRUE(jobs().FetchResultFileList(6, files));
    ASSERT_EQ(files.Count(), 2);
    EXPECT_EQ(files.KeyAt(0), "0|31");
    EXPECT_EQ(files.KeyAt(1), "5|32");
    EXPECT_EQ(files.Item("5|32")->FileName(), "ids.txt");

    transport->queue("GET_JOB_RESULT_FILE_LIST", Answer{0, {}});
    EXPECT_FALSE(jobs().FetchResultFileList(6, files));
    EXPECT_EQ(files.Count(), 0);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, "No files found for this job.");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Information);
}

TEST_F(JobManagerRequests, AViewedResultFileOpensAnExportedOneIsWrittenExactly) {
    const JobResultFile before = resultFile(31, 0, "before.mrc");
    transport->queue("GET_JOB_RESULT_FILE", Answer{0, {{"FC", "=001  12"}}});
    jobs().FetchResultFile(6, before, "");
    ASSERT_EQ(jobs().TempFiles().size(), 1);
    EXPECT_EQ(bytesOf(jobs().TempFiles()[0]), "=001  12\r\n");
    EXPECT_EQ(platform.OpenedUrls().size(), 1);

    // ISO 2709 octets, one character each, with a byte above 127 and the terminators.
    const std::string octets = "00026nam  2200025   4500\x1e\xe9t\xe9\x1e\x1d";
    std::string wire;
    for (const unsigned char c : octets)
        wire += QString(QChar(c)).toStdString();
    const QString path = settings.Open()->fileName() + ".mrc";
    transport->queue("GET_JOB_RESULT_FILE", Answer{0, {{"FC", wire}}});
    jobs().FetchResultFile(6, before, path);
    EXPECT_EQ(bytesOf(path), QByteArray::fromStdString(octets)) << "nothing added";
    EXPECT_EQ(jobs().TempFiles().size(), 1) << "an export is not kept as temporary";
    EXPECT_EQ(platform.OpenedUrls().size(), 1) << "an export is not opened";
    EXPECT_FALSE(state.busy().IsBusy());
    QFile::remove(path);
}

TEST_F(JobManagerRequests, ListsOfGroupsAndOfJobsWithFiles) {
    QComboBox list;
    list.addItem("stale", 99);
    transport->queue("GET_RULE_SETS", Answer{0,
                                             {{"ID", 4},
                                              {"NM", "Monthly clean-up"},
                                              {"DSC", "x"},
                                              {"ID", 6},
                                              {"NM", "Withdrawals"}}});
    jobs().FillRuleSetGroupList(list, 2);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemText(0), "Monthly clean-up");
    EXPECT_EQ(list.itemData(1), QVariant(6));

    transport->queue("GET_RULE_SETS", Answer{55, {}});
    jobs().FillRuleSetGroupList(list, 2);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(platform.Messages().empty()) << "55 is an empty list, not a failure";

    transport->queue(
        "GET_JOBS_WITH_FILES",
        Answer{0, {{"ID", 21}, {"NM", "Load March"}, {"ID", 22}, {"NM", "Load April"}}});
    jobs().FillJobsWithFiles(list, 4, 9);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemText(1), "Load April");
    EXPECT_EQ(list.itemData(0), QVariant(21));

    transport->queue("GET_JOBS_WITH_FILES", Answer{5, {{"ID", 21}, {"NM", "Load March"}}});
    jobs().FillJobsWithFiles(list, 4);
    EXPECT_EQ(list.count(), 0) << "cleared, and nothing from a failed answer";
}

TEST_F(JobManagerRequests, StartTimesAreNowAndFiveMinutesOn) {
    const QDateTime before = QDateTime::currentDateTime();
    const auto now = orvane::TextToDateTime(JobManager::NowText());
    const auto start = orvane::TextToDateTime(JobManager::DefaultStartText());
    ASSERT_TRUE(now);
    ASSERT_TRUE(start);
    const QDateTime nowAt(now->date, now->time);
    const QDateTime startAt(start->date, start->time);
    EXPECT_LE(std::abs(before.secsTo(nowAt)), 2);
    EXPECT_LE(std::abs(nowAt.secsTo(startAt) - 300), 2);

    QDateEdit date;
    QTimeEdit time;
    JobManager::InitRunTime(date, time);
    EXPECT_LE(std::abs(QDateTime(date.date(), time.time()).secsTo(startAt)), 2);
}

} // namespace
} // namespace velumar
