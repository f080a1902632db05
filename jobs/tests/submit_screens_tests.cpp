// The job submission screens against the scripted server: when Submit is
// enabled, the checks that send nothing, the exact fields of "SAVE_JOB" for
// each option, the answers told and what is kept or reset after them, and
// what every activation does.
#include "date_time_conversion.h"
#include "platform/platform_services.h"
#include "scripted_submit.h"
#include "submit/frm_job_management_submit_auth_db_load.h"
#include "submit/frm_job_management_submit_auth_load_match.h"
#include "submit/frm_job_management_submit_auth_load_merge.h"
#include "submit/frm_job_management_submit_auth_load_reconcile.h"
#include "submit/frm_job_management_submit_change.h"
#include "submit/frm_job_management_submit_index.h"
#include "submit/frm_job_management_submit_match.h"
#include "submit/frm_job_management_submit_scan.h"
#include "tests/qt_printers.h"

#include <QDateTime>
#include <QLabel>
#include <functional>

namespace velumar {
namespace {

using testing::Answer;
using testing::Controls;
using testing::Fields;
using testing::Shown;

using Make = std::function<std::unique_ptr<JobSubmitScreen>(SessionState&)>;
template <typename Screen> Make make() {
    return [](SessionState& state) { return std::make_unique<Screen>(state); };
}
using Fill = std::function<void(const Controls&)>;

const QDate Day(2031, 2, 3);
const QTime Hour(4, 5, 6);
constexpr char Later[] = "2031-02-03 04:05:06";

class SubmitScreens : public testing::ScriptedSubmit {
protected:
    // A new screen, activated, filled as the test says.
    std::unique_ptr<JobSubmitScreen> open(const Make& screen, const Fill& fill = {}) {
        auto made = screen(state);
        made->Activate();
        if (fill)
            fill(Controls{*made});
        transport->clearSent();
        return made;
    }
};

TEST_F(SubmitScreens, EachScreenSendsItsFieldsInItsOrderAndTellsAFailure) {
    struct Case {
        const char* what;
        Make screen;
        Fill fill;
        Fields sent;
        QString failure;
    } cases[] = {
        {"scan of the whole catalogue into a new set",
         make<frmJobManagement_SubmitScan>(),
         [](const Controls& c) {
             c.type("fpJobName", " Whole scan ");
             c.choose("cboScanRule", "Catalogue checks");
             c.click("optScan_0");
             c.type("fpNewRecordSet", " Found ");
         },
         {{"JT", 0},
          {"NM", "Whole scan"},
          {"SID", 11},
          {"RT", 1},
          {"RSN", "Found"},
          {"OI", "jsmith"}},
         "Failed to submit scan job. Error code = "},
        {"scan of a set into a set, later",
         make<frmJobManagement_SubmitScan>(),
         [](const Controls& c) {
             c.type("fpJobName", "Set scan");
             c.choose("cboScanRule", "Catalogue checks");
             c.choose("cboRecordSet", "Bib weeding");
             c.choose("cboSaveRecordSet", "Bib new");
             c.runAt(Day, Hour);
         },
         {{"JT", 0},
          {"NM", "Set scan"},
          {"SID", 11},
          {"SS", Later},
          {"RT", 1},
          {"RSID", 101},
          {"SRS", 102},
          {"OI", "jsmith"}},
         "Failed to submit scan job. Error code = "},
        {"scan of a range",
         make<frmJobManagement_SubmitScan>(),
         [](const Controls& c) {
             c.type("fpJobName", "Range scan");
             c.choose("cboScanRule", "Catalogue checks");
             c.type("fpScanFrom", "10");
             c.type("fpScanTo", "20");
             c.type("fpNewRecordSet", "Found");
         },
         {{"JT", 0},
          {"NM", "Range scan"},
          {"SID", 11},
          {"RT", 1},
          {"RRS", "10"},
          {"RRE", "20"},
          {"RSN", "Found"},
          {"OI", "jsmith"}},
         "Failed to submit scan job. Error code = "},
        {"data change preview: no MFONAME for the first order entry",
         make<frmJobManagement_SubmitChange>(),
         [](const Controls& c) {
             c.type("fpJobName", "Tidy");
             c.choose("cboRecordSet", "Bib weeding");
             c.choose("cboRuleSet", "Monthly clean-up");
         },
         {{"JT", 1},
          {"NM", "Tidy"},
          {"RSID", 101},
          {"RUID", 21},
          {"UP", false},
          {"KI", false},
          {"OI", "jsmith"}},
         "Failed to submit data change job. Error code = "},
        {"data change preview: KI false whatever the index option shows",
         make<frmJobManagement_SubmitChange>(),
         [](const Controls& c) {
             c.type("fpJobName", "Tidy");
             c.choose("cboRecordSet", "Auth names");
             c.choose("cboRuleSet", "Monthly clean-up");
             c.click("optUpdate_0");
             c.click("optIndex_0");
             c.click("optUpdate_1");
         },
         {{"JT", 1},
          {"NM", "Tidy"},
          {"RSID", 301},
          {"RUID", 21},
          {"UP", false},
          {"KI", false},
          {"OI", "jsmith"}},
         "Failed to submit data change job. Error code = "},
        {"data change update with library, location and field order, later",
         make<frmJobManagement_SubmitChange>(),
         [](const Controls& c) {
             c.type("fpJobName", "Move");
             c.choose("cboRecordSet", "Bib weeding");
             c.choose("cboRuleSet", "Moves");
             c.click("optUpdate_0");
             c.click("optIndex_0");
             c.choose("cboOwningLibrary", "Central Library");
             c.choose("cboLocation", "Annex");
             c.choose("cboFieldOrderConfig", "Tag order");
             c.runAt(Day, Hour);
         },
         {{"JT", 1},
          {"NM", "Move"},
          {"SS", Later},
          {"RSID", 101},
          {"RUID", 23},
          {"UP", true},
          {"KI", true},
          {"OI", "jsmith"},
          {"REQ_LIBRARY_ID", "2"},
          {"REQ_LOCATION_ID", "3"},
          {"MFONAME", "Tag order"}},
         "Failed to submit data change job. Error code = "},
        {"index of a set",
         make<frmJobManagement_SubmitIndex>(),
         [](const Controls& c) {
             c.type("fpJobName", "Reindex");
             c.choose("cboRecordSet", "Bib new");
         },
         {{"JT", 2}, {"NM", "Reindex"}, {"RT", 1}, {"RSID", 102}, {"OI", "jsmith"}},
         "Failed to submit index records job. Error code = "},
        {"index of 20000 ids, as typed",
         make<frmJobManagement_SubmitIndex>(),
         [](const Controls& c) {
             c.type("fpJobName", "Reindex");
             c.type("fpIndexFrom", "1");
             c.type("fpIndexTo", "20000");
             c.runAt(Day, Hour);
         },
         {{"JT", 2},
          {"NM", "Reindex"},
          {"SS", Later},
          {"RT", 1},
          {"RRS", "1"},
          {"RRE", "20000"},
          {"OI", "jsmith"}},
         "Failed to submit index records job. Error code = "},
        {"match into a set",
         make<frmJobManagement_SubmitMatch>(),
         [](const Controls& c) {
             c.type("fpJobName", "Match");
             c.type("fpRecordList", "/tmp/in.mrc");
             c.choose("cboSaveRecordSet", "Bib new");
         },
         {{"JT", 3}, {"NM", "Match"}, {"RT", 1}, {"SRS", 102}, {"OI", "jsmith"}},
         "Failed to submit match records job. Error code = "},
        {"match of authorities into a new set",
         make<frmJobManagement_SubmitMatch>(),
         [](const Controls& c) {
             c.type("fpJobName", "Match");
             c.choose("cboRecordType", "Auth");
             c.type("fpRecordList", "/tmp/in.mrc");
             c.type("fpNewRecordSet", "Auth hits ");
         },
         {{"JT", 3}, {"NM", "Match"}, {"RT", 3}, {"RSN", "Auth hits"}, {"OI", "jsmith"}},
         "Failed to submit match records job. Error code = "},
        {"auth load match, later, without an 035",
         make<frmJobManagement_SubmitAuthLoadMatch>(),
         [](const Controls& c) {
             c.type("fpJobName", "Load");
             c.type("fpRecordList", "/tmp/names.aut");
             c.choose("cboRuleSet", "Standard load match");
             c.tick("chkAdd035WhenCreatingNewAuthRecords", false);
             c.runAt(Day, Hour);
         },
         {{"JT", 4},
          {"NM", "Load"},
          {"RT", 3},
          {"RUID", 31},
          {"SS", Later},
          {"OI", "jsmith"},
          {"ADD035", false}},
         "Failed to submit auth load match job. Error code = "},
        {"auth load merge",
         make<frmJobManagement_SubmitAuthLoadMerge>(),
         [](const Controls& c) {
             c.type("fpJobName", "Merge");
             c.choose("cboSource", "Load A");
             c.choose("cboRuleSet", "Standard load merge");
         },
         {{"JT", 5}, {"NM", "Merge"}, {"SJID", 51}, {"RUID", 41}, {"RT", 3}, {"OI", "jsmith"}},
         "Failed to submit auth load merge job. Error code = "},
        {"auth database load, later",
         make<frmJobManagement_SubmitAuthDbLoad>(),
         [](const Controls& c) {
             c.type("fpJobName", "Add new");
             c.choose("cboSource", "Load B");
             c.runAt(Day, Hour);
         },
         {{"JT", 7}, {"NM", "Add new"}, {"SJID", 52}, {"SS", Later}, {"RT", 3}, {"OI", "jsmith"}},
         "Failed to submit Auth DB Load job. Error code = "},
        {"auth load reconcile",
         make<frmJobManagement_SubmitAuthLoadReconcile>(),
         [](const Controls& c) {
             c.type("fpJobName", "Reconcile");
             c.choose("cboRecordSet", "Auth names");
             c.choose("cboRuleSet", "Standard reconcile");
         },
         {{"JT", 6}, {"NM", "Reconcile"}, {"RSID", 301}, {"RUID", 61}, {"RT", 3}, {"OI", "jsmith"}},
         "Failed to submit reconcile job. Error code = "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto screen = open(c.screen, c.fill);
        Controls controls{*screen};
        ASSERT_TRUE(controls.submitEnabled());
        platform.Clear();
        transport->queue("SAVE_JOB", Answer{8, {}});
        controls.submit();
        EXPECT_EQ(Shown(sentFields("SAVE_JOB")), Shown(c.sent));
        EXPECT_EQ(platform.Texts(), QStringList{c.failure + "8"});
        EXPECT_EQ(platform.Messages().front().icon, MessageIcon::Exclamation);
        EXPECT_FALSE(controls.get<QLineEdit>("fpJobName").text().isEmpty()) << "inputs kept";
        EXPECT_TRUE(controls.submitEnabled());
    }
}

TEST_F(SubmitScreens, SubmitIsEnabledOnlyWhileTheInputsAreComplete) {
    using Step = std::pair<Fill, bool>;
    const auto name = [](const char* text) {
        return [=](const Controls& c) { c.type("fpJobName", text); };
    };
    const auto choose = [](const char* list, const char* entry) {
        return [=](const Controls& c) { c.choose(list, entry); };
    };
    const auto type = [](const char* box, const char* text) {
        return [=](const Controls& c) { c.type(box, text); };
    };
    const auto click = [](const char* option) {
        return [=](const Controls& c) { c.click(option); };
    };
    struct Case {
        const char* what;
        Make screen;
        std::vector<Step> steps;
    } cases[] = {
        {"scan",
         make<frmJobManagement_SubmitScan>(),
         {{name("   "), false},
          {choose("cboScanRule", "Catalogue checks"), false},
          {click("optScan_0"), false},
          {type("fpNewRecordSet", "Found"), false},
          {name("Scan"), true},
          {click("optScan_1"), false},
          {choose("cboRecordSet", "Bib weeding"), true},
          {type("fpScanFrom", "5"), false},
          {type("fpScanTo", "9"), true},
          {click("optSave_0"), false},
          {choose("cboSaveRecordSet", "Bib new"), true},
          {click("optRun_1"), true}}},
        {"data change: the library and location a group asks for",
         make<frmJobManagement_SubmitChange>(),
         {{name("Change"), false},
          {choose("cboRecordSet", "Bib weeding"), false},
          {choose("cboRuleSet", "Monthly clean-up"), true},
          {choose("cboRuleSet", "Shelving"), false},
          {choose("cboOwningLibrary", "Central Library"), true},
          {choose("cboRuleSet", "Moves"), false},
          {choose("cboLocation", "Annex"), true},
          {name(""), false}}},
        {"index",
         make<frmJobManagement_SubmitIndex>(),
         {{name("Index"), false},
          {choose("cboRecordSet", "Bib new"), true},
          {type("fpIndexFrom", "1"), false},
          {type("fpIndexTo", "3"), true},
          {click("optIndex_1"), true}}},
        {"match",
         make<frmJobManagement_SubmitMatch>(),
         {{name("Match"), false},
          {type("fpNewRecordSet", "Hits"), false},
          {type("fpRecordList", "/tmp/in.mrc"), true},
          {type("fpNewRecordSet", " "), false},
          {choose("cboSaveRecordSet", "Bib weeding"), true}}},
        {"auth load match",
         make<frmJobManagement_SubmitAuthLoadMatch>(),
         {{name("Load"), false},
          {type("fpRecordList", "/tmp/names.aut"), false},
          {choose("cboRuleSet", "Standard load match"), true}}},
        {"auth load merge",
         make<frmJobManagement_SubmitAuthLoadMerge>(),
         {{name("Merge"), false},
          {choose("cboSource", "Load B"), false},
          {choose("cboRuleSet", "Standard load merge"), true}}},
        {"auth database load",
         make<frmJobManagement_SubmitAuthDbLoad>(),
         {{name("Add"), false}, {choose("cboSource", "Load B"), true}}},
        {"auth load reconcile",
         make<frmJobManagement_SubmitAuthLoadReconcile>(),
         {{name("Reconcile"), false},
          {choose("cboRecordSet", "Auth names"), false},
          {choose("cboRuleSet", "Standard reconcile"), true}}},
    };
    for (const Case& c : cases) {
        auto screen = open(c.screen);
        const Controls controls{*screen};
        EXPECT_FALSE(controls.submitEnabled()) << c.what << ": at first";
        int step = 0;
        for (const auto& [fill, enabled] : c.steps) {
            fill(controls);
            EXPECT_EQ(controls.submitEnabled(), enabled) << c.what << ", step " << ++step;
        }
    }
}

TEST_F(SubmitScreens, AGroupAsksForTheLibraryAndLocationListsWhateverTheMarkersCase) {
    auto screen = open(make<frmJobManagement_SubmitChange>());
    const Controls c{*screen};
    const auto enabled = [&] {
        return std::vector<bool>{c.get<QComboBox>("cboOwningLibrary").isEnabled(),
                                 c.get<QLabel>("lblOwningLibrary").isEnabled(),
                                 c.get<QComboBox>("cboLocation").isEnabled(),
                                 c.get<QLabel>("lblLocation").isEnabled()};
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));
    c.choose("cboRuleSet", "Shelving");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, false}));
    c.choose("cboRuleSet", "Moves");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(c.get<QComboBox>("cboLocation").itemText(0), "") << "the empty entry, id 0";
    EXPECT_EQ(c.get<QComboBox>("cboFieldOrderConfig").count(), 3);
    // The keyword option means something only when the database is updated.
    EXPECT_FALSE(screen->findChild<QWidget*>("fraIndex")->isEnabled());
    c.click("optUpdate_0");
    EXPECT_TRUE(screen->findChild<QWidget*>("fraIndex")->isEnabled());
}

class SubmitScreensChangeOnly : public SubmitScreens {
protected:
    QStringList rights() const override { return {"SJB", "SRV", "RSBU", "RSAA", "SJA"}; }
};

TEST_F(SubmitScreensChangeOnly, TheSaveOptionsFollowTheRightsOfTheRecordType) {
    auto screen = open(make<frmJobManagement_SubmitScan>());
    const Controls c{*screen};
    const auto offered = [&] {
        return std::vector<bool>{c.get<QRadioButton>("optSave_0").isEnabled(),
                                 c.get<QRadioButton>("optSave_1").isEnabled()};
    };
    EXPECT_EQ(offered(), (std::vector<bool>{true, false})) << "Bib: may change sets, not add";
    c.click("optSave_0");
    c.choose("cboRecordType", "Auth");
    EXPECT_EQ(offered(), (std::vector<bool>{false, true})) << "Auth: may add sets, not change";
    EXPECT_EQ(c.get<QRadioButton>("optSave_0").isChecked(), false)
        << "a disabled option is unselected";
    EXPECT_EQ(c.get<QComboBox>("cboSaveRecordSet").count(), 1) << "the authority sets";
}

TEST_F(SubmitScreens, ChecksTellWhyAndSendNothing) {
    struct Case {
        const char* what;
        Make screen;
        Fill fill;
        QString message;
        MessageIcon icon;
    } cases[] = {
        {"index range over 20000", make<frmJobManagement_SubmitIndex>(),
         [](const Controls& c) {
             c.type("fpJobName", "Index");
             c.type("fpIndexFrom", "1");
             c.type("fpIndexTo", "20001");
         },
         "Index range must be no more than 20000.", MessageIcon::None},
        {"index range out of order", make<frmJobManagement_SubmitIndex>(),
         [](const Controls& c) {
             c.type("fpJobName", "Index");
             c.type("fpIndexFrom", "5");
             c.type("fpIndexTo", "4");
         },
         "Index range is out of order.", MessageIcon::Exclamation},
        {"scan range out of order", make<frmJobManagement_SubmitScan>(),
         [](const Controls& c) {
             c.type("fpJobName", "Scan");
             c.choose("cboScanRule", "Catalogue checks");
             c.type("fpScanFrom", "10");
             c.type("fpScanTo", "9");
             c.type("fpNewRecordSet", "Found");
         },
         "Scan range is out of order.", MessageIcon::Exclamation},
        {"scan saving into the set it scans", make<frmJobManagement_SubmitScan>(),
         [](const Controls& c) {
             c.type("fpJobName", "Scan");
             c.choose("cboScanRule", "Catalogue checks");
             c.choose("cboRecordSet", "Bib new");
             c.choose("cboSaveRecordSet", "Bib new");
         },
         "Scan job cannot save records into same record set as it is scanning from.",
         MessageIcon::Exclamation},
    };
    for (const Case& c : cases) {
        auto screen = open(c.screen, c.fill);
        ASSERT_TRUE(Controls{*screen}.submitEnabled()) << c.what;
        platform.Clear();
        Controls{*screen}.submit();
        EXPECT_EQ(count("SAVE_JOB"), 0u) << c.what;
        ASSERT_EQ(platform.Messages().size(), 1u) << c.what;
        EXPECT_EQ(platform.Messages()[0].text, c.message) << c.what;
        EXPECT_EQ(platform.Messages()[0].icon, c.icon) << c.what;
    }
}

TEST_F(SubmitScreens, AnswersAreToldAndOnlySuccessResetsTheInputs) {
    const Fill scan = [](const Controls& c) {
        c.type("fpJobName", "Scan");
        c.choose("cboScanRule", "Catalogue checks");
        c.click("optScan_0");
        c.type("fpNewRecordSet", "Found");
    };
    const Fill merge = [](const Controls& c) {
        c.type("fpJobName", "Merge");
        c.choose("cboSource", "Load A");
        c.choose("cboRuleSet", "Standard load merge");
    };
    struct Case {
        const char* what;
        Make screen;
        Fill fill;
        Answer answer;
        QString message;
        MessageIcon icon;
        bool reset;
        const char* listReloaded; // the request that refills a list after any answer
        const char* group;        // unselected by a reset
    } cases[] = {
        {"scan added",
         make<frmJobManagement_SubmitScan>(),
         scan,
         {0, {{"ID", 5}}},
         "Scan job added.",
         MessageIcon::Information,
         true,
         "GET_RECORD_SETS",
         "cboScanRule"},
        {"start passed",
         make<frmJobManagement_SubmitScan>(),
         scan,
         {2, {}},
         "Job start time must be later than now.",
         MessageIcon::Exclamation,
         false,
         "GET_RECORD_SETS",
         "cboScanRule"},
        {"job name taken",
         make<frmJobManagement_SubmitScan>(),
         scan,
         {4, {{"BC", 2}}},
         "Job name already in use. Please choose another name.",
         MessageIcon::Exclamation,
         false,
         "GET_RECORD_SETS",
         "cboScanRule"},
        {"set name taken",
         make<frmJobManagement_SubmitScan>(),
         scan,
         {4, {{"BC", 1}}},
         "Record set name already in use. Please choose another name.",
         MessageIcon::Exclamation,
         false,
         "GET_RECORD_SETS",
         "cboScanRule"},
        {"not authorised",
         make<frmJobManagement_SubmitScan>(),
         scan,
         {6, {}},
         "Operator not authorized to submit scan job.",
         MessageIcon::Exclamation,
         false,
         "GET_RECORD_SETS",
         "cboScanRule"},
        {"merge added",
         make<frmJobManagement_SubmitAuthLoadMerge>(),
         merge,
         {0, {{"ID", 5}}},
         "Auth load merge job added.",
         MessageIcon::Information,
         true,
         "GET_JOBS_WITH_FILES",
         "cboRuleSet"},
        {"merge: 4 is always the job name",
         make<frmJobManagement_SubmitAuthLoadMerge>(),
         merge,
         {4, {{"BC", 1}}},
         "Job name already in use. Please choose another name.",
         MessageIcon::Exclamation,
         false,
         "GET_JOBS_WITH_FILES",
         "cboRuleSet"},
        {"merge not authorised",
         make<frmJobManagement_SubmitAuthLoadMerge>(),
         merge,
         {6, {}},
         "Operator not authorized to submit an auth load merge job.",
         MessageIcon::Exclamation,
         false,
         "GET_JOBS_WITH_FILES",
         "cboRuleSet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto screen = open(c.screen, c.fill);
        const Controls controls{*screen};
        platform.Clear();
        transport->queue("SAVE_JOB", c.answer);
        controls.submit();
        ASSERT_EQ(platform.Messages().size(), 1u);
        EXPECT_EQ(platform.Messages()[0].text, c.message);
        EXPECT_EQ(platform.Messages()[0].icon, c.icon);
        EXPECT_EQ(controls.get<QLineEdit>("fpJobName").text().isEmpty(), c.reset);
        EXPECT_EQ(controls.get<QComboBox>(c.group).currentIndex() < 0, c.reset);
        EXPECT_EQ(controls.submitEnabled(), !c.reset);
        EXPECT_EQ(count(c.listReloaded), 1u);
    }
}

TEST_F(SubmitScreens, ActivationRefillsTheListsKeepingChoicesAndResetsTheRunTime) {
    auto screen = open(make<frmJobManagement_SubmitScan>(), [](const Controls& c) {
        c.choose("cboScanRule", "Catalogue checks");
        c.runAt(Day, Hour);
    });
    const Controls c{*screen};
    EXPECT_TRUE(c.get<QRadioButton>("optRun_1").isChecked()) << "a run time typed means later";
    screen->Activate();
    EXPECT_EQ(transport->codes(), (std::vector<std::string>{"GET_RULE_SETS", "GET_RECORD_SETS"}));
    EXPECT_EQ(Shown(sentFields("GET_RULE_SETS")), "RT=1, OI=\"jsmith\"");
    EXPECT_EQ(c.get<QComboBox>("cboScanRule").currentText(), "Catalogue checks");
    const QDateTime shown(c.get<QDateEdit>("fpdRunDate").date(),
                          c.get<QTimeEdit>("fpdRunTime").time());
    const qint64 ahead = QDateTime::currentDateTime().secsTo(shown);
    EXPECT_GE(ahead, 5 * 60 - 5);
    EXPECT_LE(ahead, 5 * 60);
}

} // namespace
} // namespace velumar
