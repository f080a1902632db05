// The scheduled jobs screen against the scripted server: the queue, the
// summary, removing a job and changing its run time.
#include "date_time_conversion.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "screens/frm_job_management_scheduled.h"
#include "screens/job_summary_panel.h"
#include "scripted_jobs.h"
#include "tests/qt_printers.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;
using testing::JobRecord;

JobRecord queued(qint32 id, const std::string& name, qint32 type, qint32 recordType,
                 const std::string& start) {
    JobRecord job;
    job.id = id;
    job.name = name;
    job.type = type;
    job.status = 0;
    job.recordType = recordType;
    job.scheduledStart = start;
    job.actualStart = "";
    job.extra = {{"RRE", ""}, {"RRS", ""}, {"SID", "Catalogue checks"}, {"SRS", "Found"},
                 {"RSN", ""}, {"KI", "Y"}, {"RUID", "Monthly clean-up"}};
    return job;
}

struct Scheduled {
    explicit Scheduled(SessionState& state) : screen(state) { screen.resize(700, 520); }
    QPushButton* button(const char* name) { return screen.findChild<QPushButton*>(name); }
    Grid& grid() { return *screen.findChild<Grid*>("vsf"); }
    JobSummaryPanel& summary() { return *screen.findChild<JobSummaryPanel*>("fraSummary"); }
    QGroupBox& editFrame() { return *screen.findChild<QGroupBox*>("fraEdit"); }
    QRadioButton* now() { return screen.findChild<QRadioButton*>("optRun_0"); }
    QRadioButton* later() { return screen.findChild<QRadioButton*>("optRun_1"); }
    QDateEdit* date() { return screen.findChild<QDateEdit*>("fpdRunDate"); }
    QTimeEdit* time() { return screen.findChild<QTimeEdit*>("fpdRunTime"); }
    void select(qint32 id) { SelectGridRow(grid(), -1, id); }
    // Refresh, Edit, Remove.
    std::vector<bool> buttons() {
        return {button("cmdRefresh")->isEnabled(), button("cmdEdit")->isEnabled(),
                button("cmdRemove")->isEnabled()};
    }
    QStringList captions() {
        QStringList out;
        for (const SummaryLine& line : summary().ShownLines())
            out.push_back(line.caption);
        return out;
    }

    frmJobManagement_Scheduled screen;
};

class ScheduledScreen : public testing::ScriptedJobs {
protected:
    std::vector<JobRecord> queue() {
        return {queued(5, "Clean-up", 1, 1, "2030-05-01 22:00:00"),
                queued(6, "Find links", 0, 2, "2030-05-02 22:30:00"),
                queued(7, "Load names", 3, 3, "2030-05-03 23:00:00")};
    }
};

TEST_F(ScheduledScreen, ActivationListsTheQueueAndSummarisesTheSelectedJob) {
    serveJobs(queue());
    Scheduled scheduled(state);
    EXPECT_EQ(scheduled.button("cmdRefresh")->toolTip(), "Refresh job queue");
    EXPECT_EQ(scheduled.button("cmdEdit")->text(), "&Edit");
    EXPECT_EQ(scheduled.button("cmdEdit")->toolTip(), "Change job run time.");
    EXPECT_EQ(scheduled.button("cmdRemove")->text(), "Re&move");
    EXPECT_EQ(scheduled.button("cmdRemove")->toolTip(), "Remove job from queue.");

    scheduled.screen.Activate();
    EXPECT_EQ(sentFields("GET_SCHEDULED_JOBS"), (Fields{{"OI", "jsmith"}}));
    ASSERT_EQ(scheduled.grid().rowCount(), 3);
    EXPECT_EQ(scheduled.grid().horizontalHeaderItem(0)->text(), "Scheduled");
    EXPECT_EQ(scheduled.grid().TextMatrix(0, 0), "2030-05-01 22:00:00");
    EXPECT_EQ(scheduled.grid().TextMatrix(0, 1), "Data Change");
    EXPECT_EQ(scheduled.grid().TextMatrix(1, 2), "Find links");
    EXPECT_EQ(sentFields("GET_JOB"), (Fields{{"ID", 5}, {"OI", "jsmith"}}));
    EXPECT_TRUE(scheduled.summary().isVisibleTo(&scheduled.screen));
    EXPECT_EQ(scheduled.captions(),
              (QStringList{"Job type:", "Scheduled start:", "Operator Id:", "Modify date:",
                           "Record type:", "Record set name:", "Rule set group name:",
                           "Save record set name:", "Record range start:", "Record range end:",
                           "Update database flag:", "Keyword index flag:"}));
    scheduled.select(7);
    EXPECT_EQ(scheduled.captions(), (QStringList{"Job type:", "Scheduled start:", "Operator Id:",
                                                 "Modify date:", "Record type:", "Record set name:",
                                                 "Record range start:", "Record range end:"}));
    EXPECT_EQ(scheduled.summary().ShownLines()[4].value, "Authority");
    EXPECT_TRUE(platform.Messages().empty());
}

class ScheduledScreenBibOnly : public ScheduledScreen {
protected:
    QStringList rights() const override { return {"DCB", "SJB", "JHB", "JHM"}; }
};

TEST_F(ScheduledScreenBibOnly, EditAndRemoveNeedTheSubmissionRightOfTheType) {
    serveJobs(queue());
    Scheduled scheduled(state);
    scheduled.screen.Activate();
    EXPECT_EQ(scheduled.buttons(), (std::vector<bool>{true, true, true}));
    scheduled.select(7);
    EXPECT_EQ(scheduled.buttons(), (std::vector<bool>{true, false, false}))
        << "a match job is never changed here";
    scheduled.select(6);
    EXPECT_EQ(scheduled.buttons(), (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(scheduled.summary().isVisibleTo(&scheduled.screen)) << "JHM: may view it";
}

TEST_F(ScheduledScreen, RemovingAJobAsksByItsTypeAndName) {
    auto served = serveJobs(queue());
    transport->respond("DELETE_JOB", [served](const auto&) {
        served->erase(served->begin());
        return Answer{0, {}};
    });
    Scheduled scheduled(state);
    scheduled.screen.Activate();
    transport->clearSent();
    platform.AnswerNext(MessageAnswer::No);
    scheduled.button("cmdRemove")->click();
    ASSERT_EQ(platform.Messages().size(), 1u);
    const ShownMessage& asked = platform.Messages()[0];
    EXPECT_EQ(asked.title, "Delete the data change job");
    EXPECT_EQ(asked.text,
              "You will delete the data change job:\r\n\"Clean-up\"\r\n\r\nAre you sure?");
    EXPECT_EQ(asked.icon, MessageIcon::Question);
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_TRUE(transport->sent().empty());

    scheduled.select(6);
    platform.AnswerNext(MessageAnswer::No);
    scheduled.button("cmdRemove")->click();
    EXPECT_EQ(platform.Messages()[1].title, "Delete the scan job");

    scheduled.select(5);
    transport->clearSent();
    platform.AnswerNext(MessageAnswer::Yes);
    scheduled.button("cmdRemove")->click();
    EXPECT_EQ(sentFields("DELETE_JOB"), (Fields{{"ID", 5}, {"OI", "jsmith"}}));
    EXPECT_EQ(count("GET_SCHEDULED_JOBS"), 1u);
    EXPECT_EQ(scheduled.grid().rowCount(), 2);
    EXPECT_FALSE(state.busy().IsBusy());
}

TEST_F(ScheduledScreen, EditingSetsTheBoxesFromTheJobAndSavesALaterStart) {
    auto served = serveJobs(queue());
    transport->respond("SAVE_JOB", [](const auto&) { return Answer{0, {}}; });
    Scheduled scheduled(state);
    scheduled.screen.Activate();
    scheduled.select(6);
    transport->clearSent();
    scheduled.button("cmdEdit")->click();
    EXPECT_EQ(sentFields("GET_JOB"), (Fields{{"ID", 6}, {"OI", "jsmith"}}));
    EXPECT_TRUE(scheduled.screen.EditInProgress());
    EXPECT_TRUE(scheduled.editFrame().isVisibleTo(&scheduled.screen));
    EXPECT_EQ(scheduled.editFrame().title(), "Edit Job");
    EXPECT_FALSE(scheduled.summary().isVisibleTo(&scheduled.screen));
    EXPECT_EQ(scheduled.buttons(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(scheduled.grid().isEnabled());
    EXPECT_EQ(scheduled.date()->date(), QDate(2030, 5, 2));
    EXPECT_EQ(scheduled.time()->time(), QTime(22, 30, 0));
    EXPECT_TRUE(scheduled.later()->isChecked());
    EXPECT_EQ(scheduled.now()->text(), "No&w");
    EXPECT_EQ(scheduled.later()->text(), "&Later:");
    EXPECT_TRUE(scheduled.button("cmdSave")->isEnabled());

    scheduled.time()->setTime(QTime(6, 15, 0));
    transport->clearSent();
    scheduled.button("cmdSave")->click();
    EXPECT_EQ(sentFields("SAVE_JOB"),
              (Fields{{"ID", 6}, {"SS", "2030-05-02 06:15:00"}, {"OI", "jsmith"}}));
    EXPECT_FALSE(scheduled.screen.EditInProgress());
    EXPECT_FALSE(scheduled.editFrame().isVisibleTo(&scheduled.screen));
    EXPECT_EQ(count("GET_SCHEDULED_JOBS"), 1u) << "the queue reloaded";
    EXPECT_EQ(scheduled.screen.SelectedJobId(), 6);
    EXPECT_TRUE(scheduled.summary().isVisibleTo(&scheduled.screen));
    EXPECT_EQ(scheduled.buttons(), (std::vector<bool>{true, true, true}));
}

TEST_F(ScheduledScreen, NowSendsNoStartAndTypingADateMeansLater) {
    serveJobs(queue());
    transport->respond("SAVE_JOB", [](const auto&) { return Answer{0, {}}; });
    Scheduled scheduled(state);
    scheduled.screen.Activate();
    scheduled.button("cmdEdit")->click();
    scheduled.now()->setChecked(true);
    EXPECT_TRUE(scheduled.button("cmdSave")->isEnabled());
    scheduled.date()->setDate(QDate(2031, 1, 1));
    EXPECT_TRUE(scheduled.later()->isChecked()) << "a date typed is meant for later";
    scheduled.now()->setChecked(true);
    transport->clearSent();
    scheduled.button("cmdSave")->click();
    EXPECT_EQ(sentFields("SAVE_JOB"), (Fields{{"ID", 5}, {"OI", "jsmith"}}));
    EXPECT_FALSE(scheduled.screen.EditInProgress());
}

TEST_F(ScheduledScreen, ARefusedStartKeepsTheEditOpen) {
    serveJobs(queue());
    transport->respond("SAVE_JOB", [](const auto&) { return Answer{2, {}}; });
    Scheduled scheduled(state);
    scheduled.screen.show();
    scheduled.screen.Activate();
    scheduled.button("cmdEdit")->click();
    scheduled.date()->setDate(QDate(2001, 1, 1));
    scheduled.button("cmdSave")->click();
    EXPECT_EQ(platform.Texts(), QStringList{"Job start time must be later than now."});
    EXPECT_TRUE(scheduled.screen.EditInProgress());
    EXPECT_TRUE(scheduled.editFrame().isVisible());
    EXPECT_EQ(scheduled.screen.focusWidget(), scheduled.date());

    // Coming back to the screen does not throw the edit away.
    transport->clearSent();
    scheduled.screen.Activate();
    EXPECT_EQ(count("GET_SCHEDULED_JOBS"), 0u);

    scheduled.button("cmdCancel")->click();
    EXPECT_FALSE(scheduled.screen.EditInProgress());
    EXPECT_FALSE(scheduled.editFrame().isVisible());
    EXPECT_EQ(count("GET_SCHEDULED_JOBS"), 1u);
    EXPECT_EQ(count("SAVE_JOB"), 0u);
    EXPECT_EQ(scheduled.screen.SelectedJobId(), 5);
}

TEST_F(ScheduledScreen, AnEmptyQueueOffersOnlyRefresh) {
    serveJobs(std::vector<JobRecord>{});
    Scheduled scheduled(state);
    scheduled.screen.show();
    scheduled.screen.Activate();
    EXPECT_EQ(scheduled.grid().rowCount(), 0);
    EXPECT_EQ(scheduled.buttons(), (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(scheduled.summary().isVisible());
    EXPECT_EQ(scheduled.screen.focusWidget(), scheduled.button("cmdRefresh"));
    EXPECT_TRUE(platform.Messages().empty());
}

} // namespace
} // namespace velumar
