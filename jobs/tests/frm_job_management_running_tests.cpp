// The running and completed jobs screen against the scripted server: the
// list, the summary, the buttons, the confirmations, the result file list,
// and the refresh while a job runs.
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "screens/frm_job_management_running.h"
#include "screens/job_summary_panel.h"
#include "scripted_jobs.h"
#include "tests/qt_printers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;
using testing::JobRecord;

JobRecord record(qint32 id, const std::string& name, qint32 type, qint32 status,
                 const std::string& start) {
    JobRecord job;
    job.id = id;
    job.name = name;
    job.type = type;
    job.status = status;
    job.actualStart = start;
    return job;
}

// The screen's controls by their names.
struct Running {
    explicit Running(SessionState& state) : screen(state) { screen.resize(700, 520); }
    QPushButton* button(const char* name) { return screen.findChild<QPushButton*>(name); }
    Grid& grid() { return *screen.findChild<Grid*>("vsf"); }
    Grid& files() { return *screen.findChild<Grid*>("vsfResultFiles"); }
    JobSummaryPanel& summary() { return *screen.findChild<JobSummaryPanel*>("fraSummary"); }
    QGroupBox& filesFrame() { return *screen.findChild<QGroupBox*>("fraResultFiles"); }
    void select(qint32 id) { SelectGridRow(grid(), -1, id); }
    // Kill, Delete Job, View Log, Delete Log, Get Result Files, Delete Result Files.
    std::vector<bool> buttons() {
        std::vector<bool> out;
        for (const char* name : {"cmdKill", "cmdSummaryDelete", "cmdLogView", "cmdLogDelete",
                                 "cmdResultsView", "cmdResultsDelete"})
            out.push_back(button(name)->isEnabled());
        return out;
    }
    QString summaryValue(const QString& caption) {
        for (const SummaryLine& line : summary().ShownLines())
            if (line.caption == caption)
                return line.value;
        return QStringLiteral("(not shown)");
    }
    QStringList column(Grid& of, int column) {
        QStringList out;
        for (int row = 0; row < of.rowCount(); ++row)
            out.push_back(of.TextMatrix(row, column));
        return out;
    }

    frmJobManagement_Running screen;
};

class RunningScreen : public testing::ScriptedJobs {
protected:
    std::vector<JobRecord> threeJobs() {
        JobRecord change = record(1, "Clean-up", 1, 2, "2026-03-01 10:00:05");
        change.extra = {{"KI", "N"}, {"RUID", "Monthly clean-up"}, {"UP", "N"}};
        JobRecord scan = record(2, "Find links", 0, 2, "2026-03-02 09:00:00");
        scan.extra = {
            {"RRE", ""}, {"RRS", ""}, {"SID", "Catalogue checks"}, {"SRS", ""}, {"RSN", "Links"}};
        JobRecord running = record(3, "Big change", 1, 1, "2026-03-03 08:00:00");
        running.extra = change.extra;
        return {change, scan, running};
    }
};

TEST_F(RunningScreen, ActivationListsTheJobsAndSummarisesTheSelectedOne) {
    serveJobs(threeJobs());
    Running running(state);
    const QHeaderView& header = *running.grid().horizontalHeader();
    QStringList headings;
    for (int c = 0; c < header.count(); ++c)
        headings.push_back(running.grid().horizontalHeaderItem(c)->text());
    EXPECT_EQ(headings,
              (QStringList{"Date / Time", "Status", "Job Type", "Update DB?", "Job Name"}));
    EXPECT_EQ(running.button("cmdRefresh")->text(), "&Refresh");
    EXPECT_EQ(running.button("cmdRefresh")->toolTip(), "Refresh running / completed jobs list");
    EXPECT_EQ(running.button("cmdSummaryDelete")->toolTip(),
              "Deletes the selected job and all related log and result files.");

    running.screen.Activate();
    EXPECT_EQ(sentFields("GET_JOBS"), (Fields{{"OI", "jsmith"}}));
    EXPECT_EQ(running.column(running.grid(), 4),
              (QStringList{"Clean-up", "Find links", "Big change"}));
    EXPECT_EQ(running.column(running.grid(), 1), (QStringList{"Done", "Done", "Running"}));
    EXPECT_FALSE(state.busy().IsBusy());

    transport->clearSent();
    running.select(2);
    EXPECT_EQ(sentFields("GET_JOB"), (Fields{{"ID", 2}, {"OI", "jsmith"}}));
    EXPECT_TRUE(running.summary().isVisibleTo(&running.screen));
    EXPECT_EQ(running.summary().title(), "Job Summary");
    EXPECT_EQ(running.summaryValue("Job name:"), "Find links");
    EXPECT_EQ(running.summaryValue("Current bulk number:"), "2");
    EXPECT_EQ(running.summaryValue("Update database flag:"), "(not shown)")
        << "a scan job has no update flag";
    running.select(1);
    EXPECT_EQ(running.summaryValue("Update database flag:"), "N");
    EXPECT_TRUE(platform.Messages().empty());
}

class RunningScreenWithoutView : public RunningScreen {
protected:
    QStringList rights() const override { return {"RLB", "RRB", "KDJ"}; }
};

TEST_F(RunningScreenWithoutView, ThereIsNoSummaryAndNoViewing) {
    serveJobs(threeJobs());
    Running running(state);
    running.screen.Activate();
    running.select(3);
    EXPECT_EQ(count("GET_JOB"), 0u);
    EXPECT_FALSE(running.summary().isVisibleTo(&running.screen));
    EXPECT_EQ(running.buttons(), (std::vector<bool>{true, false, false, true, false, true}));
}

struct Confirmation {
    const char* button;
    const char* question;
    const char* code;
};

TEST_F(RunningScreen, EachChangeIsConfirmedAndOnlyYesGoesOn) {
    const std::vector<Confirmation> cases{
        {"cmdKill",
         "The job will be stopped, with no way to restart it. Are you sure you want to do this?",
         "KILL_JOB"},
        {"cmdLogDelete",
         "The log file from this job will be permanently deleted, with no way to retrieve it. "
         "Are you sure you want to do this?",
         "DELETE_JOB_LOG"},
        {"cmdResultsDelete",
         "The result files from this job will be permanently deleted, with no way to retrieve "
         "them. Are you sure you want to do this?",
         "DELETE_JOB_RESULT_FILES"},
        {"cmdSummaryDelete",
         "The summary files from this job will be permanently deleted, with no way to retrieve "
         "them. Are you sure you want to do this?",
         "DELETE_JOB"},
    };
    auto served = serveJobs(threeJobs());
    for (const char* code : {"KILL_JOB", "DELETE_JOB_LOG", "DELETE_JOB_RESULT_FILES", "DELETE_JOB"})
        transport->respond(code, [](const auto&) { return Answer{0, {}}; });
    Running running(state);
    running.screen.Activate();
    for (const Confirmation& c : cases) {
        SCOPED_TRACE(c.button);
        // The kill is for the running job; the rest for a finished one.
        const qint32 id = std::string(c.code) == "KILL_JOB" ? 3 : 1;
        running.select(id);
        ASSERT_TRUE(running.button(c.button)->isEnabled());
        platform.Clear();
        transport->clearSent();
        platform.AnswerNext(MessageAnswer::No);
        running.button(c.button)->click();
        ASSERT_EQ(platform.Messages().size(), 1u);
        EXPECT_EQ(platform.Messages()[0].text, c.question);
        EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Question);
        EXPECT_EQ(platform.Messages()[0].buttons, MessageButtons::YesNo);
        EXPECT_TRUE(transport->sent().empty()) << "No changes nothing";

        platform.AnswerNext(MessageAnswer::Yes);
        running.button(c.button)->click();
        EXPECT_EQ(sentFields(c.code), (Fields{{"ID", id}, {"OI", "jsmith"}}));
        EXPECT_EQ(count("GET_JOBS"), 1u) << "reloaded after the change";
        EXPECT_EQ(running.screen.SelectedJobId(), id) << "the same job again";
    }
    // Deleted on the server: the reload no longer lists it; the first job is selected.
    served->erase(served->begin());
    running.select(1);
    platform.AnswerNext(MessageAnswer::Yes);
    running.button("cmdSummaryDelete")->click();
    EXPECT_EQ(running.column(running.grid(), 4), (QStringList{"Find links", "Big change"}));
    EXPECT_EQ(running.screen.SelectedJobId(), 2);
    EXPECT_EQ(running.summaryValue("Job name:"), "Find links");
}

TEST_F(RunningScreen, AFailedLoadLeavesAnEmptyListAndOnlyRefresh) {
    transport->respond("GET_JOBS", [](const auto&) { return Answer{6, {}}; });
    Running running(state);
    running.screen.show();
    running.screen.Activate();
    EXPECT_EQ(platform.Texts(),
              QStringList{"Operator not authorized to view running/completed jobs."});
    EXPECT_EQ(running.grid().rowCount(), 0);
    EXPECT_FALSE(running.grid().isEnabled());
    EXPECT_EQ(running.buttons(), std::vector<bool>(6, false));
    EXPECT_TRUE(running.button("cmdRefresh")->isEnabled());
    EXPECT_EQ(running.screen.focusWidget(), running.button("cmdRefresh"));
    EXPECT_FALSE(running.screen.Refreshing());
}

TEST_F(RunningScreen, ResultFilesAreListedViewedAndExported) {
    serveJobs(threeJobs());
    transport->respond("GET_JOB_RESULT_FILE_LIST", [](const auto&) {
        return Answer{0,
                      {{"FI", 11},
                       {"FN", "1-before.mrc"},
                       {"FT", 0},
                       {"FI", 12},
                       {"FN", "1-ids.txt"},
                       {"FT", 5},
                       {"FI", 13},
                       {"FN", "1-after.mrc"},
                       {"FT", 1}}};
    });
    transport->respond("GET_JOB_RESULT_FILE", [](const orvane::wire::Request& request) {
        const bool binary = orvane::wire::findField(request.fields, "FMT") != nullptr;
        return Answer{0, {{"FC", binary ? "00026nam\x1e\x1d" : "=LDR  00026nam"}}};
    });
    state.preferences().SetBinaryMarcRecDir("/marc/out");
    Running running(state);
    running.screen.Activate();
    GridSort(running.files(), 2, 2); // the operator last sorted the files by name
    transport->clearSent();
    running.button("cmdResultsView")->click();
    EXPECT_EQ(sentFields("GET_JOB_RESULT_FILE_LIST"), (Fields{{"ID", 1}, {"OI", "jsmith"}}));
    EXPECT_TRUE(running.screen.ResultFilesOpen());
    EXPECT_TRUE(running.filesFrame().isVisibleTo(&running.screen));
    EXPECT_EQ(running.filesFrame().title(), "Job Result Files");
    EXPECT_FALSE(running.summary().isVisibleTo(&running.screen));
    EXPECT_FALSE(running.grid().isEnabled());
    EXPECT_EQ(running.buttons(), std::vector<bool>(6, false));
    EXPECT_FALSE(running.button("cmdRefresh")->isEnabled());
    EXPECT_EQ(running.column(running.files(), 2),
              (QStringList{"1-after.mrc", "1-before.mrc", "1-ids.txt"}))
        << "in the grid's sort";
    EXPECT_EQ(running.column(running.files(), 0), (QStringList{"1", "0", "5"}));
    EXPECT_EQ(running.column(running.files(), 1), (QStringList{"After", "Before", "MARC ids"}));
    EXPECT_EQ(GetGridSelection(running.files()).row, 0);
    EXPECT_TRUE(running.button("cmdResultFileView")->isEnabled());
    EXPECT_TRUE(running.button("cmdResultFileExport")->isEnabled());

    // Viewing sends no format and opens a temporary text file.
    transport->clearSent();
    running.button("cmdResultFileView")->click();
    EXPECT_EQ(sentFields("GET_JOB_RESULT_FILE"),
              (Fields{{"ID", 1}, {"FI", 13}, {"FT", 1}, {"OI", "jsmith"}}));
    ASSERT_EQ(platform.OpenedUrls().size(), 1);

    // Exporting asks where, then writes the records as they came and opens nothing.
    const QString path = settings.Open()->fileName() + ".mrc";
    platform.ChooseFileNext(path);
    transport->clearSent();
    running.button("cmdResultFileExport")->click();
    ASSERT_EQ(platform.FileRequests().size(), 1u);
    const FileDialogRequest& asked = platform.FileRequests()[0];
    EXPECT_EQ(asked.mode, FileDialogMode::Save);
    EXPECT_EQ(asked.title, "Export MARC Records to Disk");
    EXPECT_EQ(asked.filter, "MARC files (*.mrc)|*.mrc");
    EXPECT_EQ(asked.initialFolder, "/marc/out");
    EXPECT_EQ(asked.suggestedName, "1-after.mrc");
    EXPECT_EQ(sentFields("GET_JOB_RESULT_FILE"),
              (Fields{{"ID", 1}, {"FI", 13}, {"FT", 1}, {"FMT", "B"}, {"OI", "jsmith"}}));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("00026nam\x1e\x1d"));
    written.remove();
    EXPECT_EQ(platform.OpenedUrls().size(), 1);

    // Cancelling the dialog fetches nothing.
    transport->clearSent();
    running.button("cmdResultFileExport")->click();
    EXPECT_TRUE(transport->sent().empty());

    // MARC ids are viewed, never exported as records.
    SelectGridRow(running.files(), 2, -1);
    EXPECT_TRUE(running.button("cmdResultFileView")->isEnabled());
    EXPECT_FALSE(running.button("cmdResultFileExport")->isEnabled());

    // The list stays while the screen comes back to the front.
    transport->clearSent();
    running.screen.Activate();
    EXPECT_EQ(count("GET_JOBS"), 0u);

    running.button("cmdCloseResultFiles")->click();
    EXPECT_FALSE(running.screen.ResultFilesOpen());
    EXPECT_FALSE(running.filesFrame().isVisibleTo(&running.screen));
    EXPECT_TRUE(running.summary().isVisibleTo(&running.screen));
    EXPECT_TRUE(running.grid().isEnabled());
    EXPECT_EQ(running.buttons(), (std::vector<bool>{false, true, true, true, true, true}));
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(RunningScreen, AFileRowWithoutItsFileIsTold) {
    serveJobs(threeJobs());
    transport->respond("GET_JOB_RESULT_FILE_LIST", [](const auto&) {
        return Answer{0, {{"FI", 11}, {"FN", "1-before.mrc"}, {"FT", 0}}};
    });
    Running running(state);
    running.screen.Activate();
    running.button("cmdResultsView")->click();
    ASSERT_TRUE(running.screen.ResultFilesOpen());
    jobs().ResultFiles().Clear();
    transport->clearSent();
    running.screen.ViewResultFile();
    EXPECT_EQ(platform.Texts(), QStringList{"Can't find file."});
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(transport->sent().empty());
}

TEST_F(RunningScreen, AJobWithoutFilesKeepsTheList) {
    serveJobs(threeJobs());
    transport->respond("GET_JOB_RESULT_FILE_LIST", [](const auto&) { return Answer{0, {}}; });
    Running running(state);
    running.screen.Activate();
    running.button("cmdResultsView")->click();
    EXPECT_EQ(platform.Texts(), QStringList{"No files found for this job."});
    EXPECT_FALSE(running.screen.ResultFilesOpen());
    EXPECT_TRUE(running.grid().isEnabled());
}

TEST_F(RunningScreen, WhileAJobRunsTheScreenRefreshesItselfKeepingSortAndSelection) {
    auto served = serveJobs(threeJobs());
    Running running(state);
    running.screen.show();
    running.screen.Activate();
    EXPECT_TRUE(running.screen.Refreshing()) << "job 3 is running";
    GridSort(running.grid(), 4, 4); // by name: Big change, Clean-up, Find links
    running.select(3);
    EXPECT_EQ(running.summaryValue("Records processed:"), "250");

    served->at(2).recordsProcessed = 390; // the counters move on the server
    transport->clearSent();
    running.screen.RefreshTick();
    EXPECT_EQ(count("GET_JOBS"), 1u);
    EXPECT_EQ(running.summaryValue("Records processed:"), "390");
    EXPECT_EQ(running.column(running.grid(), 4),
              (QStringList{"Big change", "Clean-up", "Find links"}));
    EXPECT_EQ(running.screen.SelectedJobId(), 3);
    EXPECT_TRUE(running.screen.Refreshing());
    EXPECT_FALSE(state.busy().IsBusy());
    EXPECT_TRUE(platform.Messages().empty());

    // Done: nothing left to watch.
    served->at(2).status = 2;
    running.screen.RefreshTick();
    EXPECT_EQ(running.column(running.grid(), 1), (QStringList{"Done", "Done", "Done"}));
    EXPECT_FALSE(running.screen.Refreshing());
}

TEST_F(RunningScreen, TheRefreshStopsOutOfSight) {
    serveJobs(threeJobs());
    Running running(state);
    running.screen.Activate();
    EXPECT_FALSE(running.screen.Refreshing()) << "never shown";
    running.screen.show();
    running.screen.Activate();
    EXPECT_TRUE(running.screen.Refreshing());
    running.screen.hide();
    EXPECT_FALSE(running.screen.Refreshing());
    transport->clearSent();
    running.screen.RefreshTick();
    EXPECT_EQ(count("GET_JOBS"), 0u);
}

TEST_F(RunningScreen, TheTimerRefreshesEveryTwoSeconds) {
    serveJobs(threeJobs());
    Running running(state);
    running.screen.show();
    // Timed from before the timer starts; a coarse timer may fire up to 5%
    // early.
    QElapsedTimer waited;
    waited.start();
    running.screen.Activate();
    transport->clearSent();
    while (count("GET_JOBS") == 0 && waited.elapsed() < 6000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_EQ(count("GET_JOBS"), 1u);
    EXPECT_GE(waited.elapsed(), frmJobManagement_Running::RefreshMilliseconds * 95 / 100 - 5);
}

} // namespace
} // namespace velumar
