// The job manager and the two queue screens against the embedded server on
// a database of the test's own, with its demo data: a data change job that
// leaves the catalogue alone runs to its end, and the operator lists it,
// reads its log, views and exports its result files, deletes its log and
// then the job; a job for later is rescheduled and removed; the viewer is
// refused every change by the server itself.
#include "core/server_core.h"
#include "date_time_conversion.h"
#include "demo_jobs_client.h"
#include "embedded_server.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "screens/frm_job_management_running.h"
#include "screens/frm_job_management_scheduled.h"
#include "screens/job_summary_panel.h"
#include "tests/qt_printers.h"

#include <QDateEdit>
#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeEdit>

namespace velumar {
namespace {

using testing::DemoJobsClient;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// How many whole ISO 2709 records the bytes hold, each as long as its
// leader says and ending in the record terminator; -1 when they do not
// divide into such records.
int wholeRecords(const QByteArray& bytes) {
    int records = 0;
    for (qsizetype at = 0; at < bytes.size(); ++records) {
        bool number = false;
        const int length = bytes.mid(at, 5).toInt(&number);
        if (!number || length < 25 || at + length > bytes.size() ||
            bytes[at + length - 1] != '\x1d')
            return -1;
        at += length;
    }
    return records;
}

QString summaryValue(QWidget& screen, const QString& caption) {
    for (const SummaryLine& line : screen.findChild<JobSummaryPanel*>("fraSummary")->ShownLines())
        if (line.caption == caption)
            return line.value;
    return QStringLiteral("(not shown)");
}

class JobsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        db = dir->filePath("velumar.db");
        core = orvane::openEmbeddedServer(db); // created and filled once for the suite
    }
    static void TearDownTestSuite() {
        core.reset();
        delete dir;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline QString db;
    static inline std::shared_ptr<orvane::server::ServerCore> core;
};

TEST_F(JobsEndToEnd, AFinishedDataChangeJobIsListedReadExportedAndDeleted) {
    DemoJobsClient demo(db, "demo");
    const qint32 set = demo.makeSet("Job trial", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    const qint32 group = demo.group("Monthly clean-up", 2);
    ASSERT_GT(group, 0) << "the demo data change group";
    const qint32 id = demo.submitDataChange("Trial clean-up", set, group);
    ASSERT_GT(id, 0) << "SAVE_JOB refused with " << -id;
    const auto ended = demo.waitForEnd(id);
    ASSERT_TRUE(ended);
    ASSERT_EQ(ended->StatusName(), "Done");
    EXPECT_EQ(ended->RecordsToProcess(), 12);
    EXPECT_EQ(ended->RecordsProcessed(), 12);
    EXPECT_EQ(ended->RuleSetId(), "Monthly clean-up");
    EXPECT_EQ(ended->RecordSet(), "Job trial");
    EXPECT_EQ(ended->UpdateDatabase(), "N");
    EXPECT_TRUE(ended->HasLog());
    EXPECT_TRUE(ended->HasResults());

    // The running screen lists it and shows its counters.
    frmJobManagement_Running running(demo.state);
    running.resize(700, 520);
    running.show();
    running.Activate();
    Grid& grid = *running.findChild<Grid*>("vsf");
    SelectGridRow(grid, -1, id);
    ASSERT_EQ(running.SelectedJobId(), id);
    const int row = GetGridSelection(grid).row;
    EXPECT_EQ(grid.TextMatrix(row, 1), "Done");
    EXPECT_EQ(grid.TextMatrix(row, 2), "Data Change");
    EXPECT_EQ(grid.TextMatrix(row, 3), "N");
    EXPECT_EQ(grid.TextMatrix(row, 4), "Trial clean-up");
    EXPECT_EQ(summaryValue(running, "Records to process:"), "12");
    EXPECT_EQ(summaryValue(running, "Records processed:"), "12");
    EXPECT_EQ(summaryValue(running, "Update database flag:"), "N");
    EXPECT_EQ(summaryValue(running, "Operator Id:"), "demo");
    EXPECT_FALSE(running.Refreshing()) << "nothing runs";
    auto button = [&](const char* name) { return running.findChild<QPushButton*>(name); };

    // The log opens in the viewer from a temporary text file.
    button("cmdLogView")->click();
    ASSERT_EQ(demo.platform.OpenedUrls().size(), 1);
    const QString logFile = demo.platform.OpenedUrls()[0].toLocalFile();
    EXPECT_TRUE(logFile.endsWith(".txt"));
    EXPECT_FALSE(bytesOf(logFile).trimmed().isEmpty());

    // The result files: view one as text, export one as ISO 2709.
    button("cmdResultsView")->click();
    ASSERT_TRUE(running.ResultFilesOpen()) << demo.platform.Texts().join("; ").toStdString();
    Grid& files = *running.findChild<Grid*>("vsfResultFiles");
    ASSERT_GT(files.rowCount(), 0);
    int before = -1;
    for (int r = 0; r < files.rowCount(); ++r)
        if (files.TextMatrix(r, 1) == "Before")
            before = r;
    ASSERT_GE(before, 0) << "the records as they were";
    SelectGridRow(files, before, -1);
    button("cmdResultFileView")->click();
    ASSERT_EQ(demo.platform.OpenedUrls().size(), 2);
    EXPECT_TRUE(bytesOf(demo.platform.OpenedUrls()[1].toLocalFile()).contains("=LDR  "));

    const QString exported = dir->filePath("before.mrc");
    demo.platform.ChooseFileNext(exported);
    ASSERT_TRUE(button("cmdResultFileExport")->isEnabled());
    button("cmdResultFileExport")->click();
    EXPECT_EQ(demo.platform.FileRequests().back().suggestedName, files.TextMatrix(before, 2));
    EXPECT_GT(wholeRecords(bytesOf(exported)), 0) << "whole ISO 2709 records, nothing added";
    EXPECT_EQ(demo.platform.OpenedUrls().size(), 2) << "an export opens nothing";
    button("cmdCloseResultFiles")->click();
    EXPECT_TRUE(demo.platform.Messages().empty()) << demo.platform.Texts().join("; ").toStdString();

    // Delete the log, then the job.
    demo.platform.AnswerNext(MessageAnswer::Yes);
    button("cmdLogDelete")->click();
    EXPECT_EQ(running.SelectedJobId(), id);
    ASSERT_NE(demo.jobs().RunningJob(id), nullptr);
    EXPECT_FALSE(demo.jobs().RunningJob(id)->HasLog());
    EXPECT_FALSE(button("cmdLogView")->isEnabled());
    EXPECT_TRUE(button("cmdResultsView")->isEnabled());

    demo.platform.AnswerNext(MessageAnswer::Yes);
    button("cmdSummaryDelete")->click();
    EXPECT_EQ(demo.jobs().RunningJob(id), nullptr);
    for (int r = 0; r < grid.rowCount(); ++r)
        EXPECT_NE(grid.RowData(r), id);
    EXPECT_EQ(
        demo.platform.Texts(),
        (QStringList{"The log file from this job will be permanently deleted, with no way to "
                     "retrieve it. Are you sure you want to do this?",
                     "The summary files from this job will be permanently deleted, with no way to "
                     "retrieve them. Are you sure you want to do this?"}));
    EXPECT_FALSE(demo.jobs().FetchJob(id));
    EXPECT_EQ(demo.platform.Texts().back(), "Job not found.");
}

TEST_F(JobsEndToEnd, AJobForLaterIsRescheduledAndRemovedFromTheQueue) {
    DemoJobsClient demo(db, "demo");
    const qint32 set = demo.makeSet("Queue trial", {20, 21});
    const qint32 group = demo.group("Monthly clean-up", 2);
    const QString tomorrow = orvane::DateTimeToText(QDateTime::currentDateTime().addDays(1));
    const qint32 id = demo.submitDataChange("Tomorrow's clean-up", set, group, tomorrow);
    ASSERT_GT(id, 0) << "SAVE_JOB refused with " << -id;

    frmJobManagement_Scheduled scheduled(demo.state);
    scheduled.resize(700, 520);
    scheduled.show();
    scheduled.Activate();
    Grid& grid = *scheduled.findChild<Grid*>("vsf");
    SelectGridRow(grid, -1, id);
    ASSERT_EQ(scheduled.SelectedJobId(), id);
    const int row = GetGridSelection(grid).row;
    EXPECT_EQ(grid.TextMatrix(row, 0), tomorrow);
    EXPECT_EQ(grid.TextMatrix(row, 1), "Data Change");
    EXPECT_EQ(summaryValue(scheduled, "Record set name:"), "Queue trial");
    EXPECT_EQ(summaryValue(scheduled, "Rule set group name:"), "Monthly clean-up");
    EXPECT_EQ(summaryValue(scheduled, "Record type:"), "Bibliographic");
    auto button = [&](const char* name) { return scheduled.findChild<QPushButton*>(name); };

    // Into the past: refused, and the edit stays open.
    button("cmdEdit")->click();
    ASSERT_TRUE(scheduled.EditInProgress());
    auto* date = scheduled.findChild<QDateEdit*>("fpdRunDate");
    auto* time = scheduled.findChild<QTimeEdit*>("fpdRunTime");
    EXPECT_EQ(orvane::DateTimeToText(date->date(), time->time()), tomorrow);
    date->setDate(QDate::currentDate().addDays(-1));
    button("cmdSave")->click();
    EXPECT_EQ(demo.platform.Texts(), QStringList{"Job start time must be later than now."});
    EXPECT_TRUE(scheduled.EditInProgress());

    // Two days on: saved, and the queue shows the new time.
    const QDateTime later = QDateTime::currentDateTime().addDays(2);
    date->setDate(later.date());
    time->setTime(QTime(later.time().hour(), later.time().minute(), 0));
    button("cmdSave")->click();
    EXPECT_FALSE(scheduled.EditInProgress());
    EXPECT_EQ(scheduled.SelectedJobId(), id);
    EXPECT_EQ(
        grid.TextMatrix(GetGridSelection(grid).row, 0),
        orvane::DateTimeToText(later.date(), QTime(later.time().hour(), later.time().minute(), 0)));

    demo.platform.AnswerNext(MessageAnswer::Yes);
    button("cmdRemove")->click();
    EXPECT_EQ(demo.platform.Messages().back().text,
              "You will delete the data change job:\r\n\"Tomorrow's clean-up\"\r\n\r\nAre you "
              "sure?");
    for (int r = 0; r < grid.rowCount(); ++r)
        EXPECT_NE(grid.RowData(r), id);
    EXPECT_EQ(demo.jobs().ScheduledJob(id), nullptr);
}

TEST_F(JobsEndToEnd, TheServerRefusesTheViewerEveryChange) {
    DemoJobsClient demo(db, "demo");
    const qint32 set = demo.makeSet("Viewer trial", {30, 31});
    const qint32 group = demo.group("Monthly clean-up", 2);
    const qint32 done = demo.submitDataChange("Watched", set, group);
    ASSERT_GT(done, 0);
    ASSERT_TRUE(demo.waitForEnd(done));
    const qint32 queued = demo.submitDataChange(
        "Queued", set, group, orvane::DateTimeToText(QDateTime::currentDateTime().addDays(1)));
    ASSERT_GT(queued, 0);

    DemoJobsClient viewer(db, "viewer");
    EXPECT_EQ(viewer.submitDataChange("Mine", set, group), -6);
    EXPECT_FALSE(viewer.jobs().StopJob(done));
    EXPECT_FALSE(viewer.jobs().RemoveJob(done));
    EXPECT_FALSE(viewer.jobs().RemoveJobLog(done));
    EXPECT_FALSE(viewer.jobs().RemoveJobResultFiles(done));
    EXPECT_FALSE(viewer.jobs().RescheduleJob(queued, ""));
    EXPECT_FALSE(viewer.jobs().RemoveJob(queued));
    EXPECT_EQ(viewer.platform.Texts(),
              (QStringList{"Operator not authorized to kill job.",
                           "Operator not authorized to delete job.",
                           "Operator not authorized to delete job log.",
                           "Operator not authorized to delete result files.",
                           "Operator not authorized to update job data.",
                           "Operator not authorized to delete job."}));

    // What the viewer may do: see the job, its log and its files.
    frmJobManagement_Running running(viewer.state);
    running.Activate();
    SelectGridRow(*running.findChild<Grid*>("vsf"), -1, done);
    ASSERT_EQ(running.SelectedJobId(), done);
    auto enabled = [&](const char* name) {
        return running.findChild<QPushButton*>(name)->isEnabled();
    };
    EXPECT_TRUE(enabled("cmdLogView"));
    EXPECT_TRUE(enabled("cmdResultsView"));
    EXPECT_FALSE(enabled("cmdLogDelete"));
    EXPECT_FALSE(enabled("cmdResultsDelete"));
    EXPECT_FALSE(enabled("cmdSummaryDelete"));
    EXPECT_EQ(summaryValue(running, "Job name:"), "Watched");
    EXPECT_TRUE(demo.jobs().RemoveJob(queued));
}

} // namespace
} // namespace velumar
