// The job submission screens against the scripted server: when Submit is
// enabled, the checks that send nothing, the exact fields of "SAVE_JOB" for
// each option, the answers told and what is kept or reset after them, and
// what every activation does.
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
using testing::Shown;

using Make = std::function<std::unique_ptr<JobSubmitScreen>(SessionState&)>;
template <typename Screen> Make make() {
    return [](SessionState& state) { return std::make_unique<Screen>(state); };
}
const Make Scan = make<frmJobManagement_SubmitScan>();
const Make Change = make<frmJobManagement_SubmitChange>();
const Make Index = make<frmJobManagement_SubmitIndex>();
const Make Match = make<frmJobManagement_SubmitMatch>();
const Make LoadMatch = make<frmJobManagement_SubmitAuthLoadMatch>();
const Make Merge = make<frmJobManagement_SubmitAuthLoadMerge>();
const Make DbLoad = make<frmJobManagement_SubmitAuthDbLoad>();
const Make Reconcile = make<frmJobManagement_SubmitAuthLoadReconcile>();

// What the tests below fill in most: a scan into a new set, a merge.
constexpr char ScanIntoNewSet[] =
    "fpJobName=Scan|cboScanRule=Catalogue checks|optScan_0|fpNewRecordSet=Found";
constexpr char MergeOfLoadA[] = "fpJobName=Merge|cboSource=Load A|cboRuleSet=Standard load merge";

class SubmitScreens : public testing::ScriptedSubmit {
protected:
    // A new screen, activated and played; the requests so far forgotten.
    std::unique_ptr<JobSubmitScreen> open(const Make& screen, const QString& script = {}) {
        auto made = screen(state);
        made->Activate();
        Controls{*made}.play(script);
        transport->clearSent();
        platform.Clear();
        return made;
    }
};

TEST_F(SubmitScreens, EachScreenSendsItsFieldsInItsOrderAndTellsAFailure) {
    const std::string later = testing::LaterText;
    struct Case {
        Make screen;
        const char* script;
        std::string sent;
        QString failure;
    } cases[] = {
        {Scan, "fpJobName= Whole |cboScanRule=Catalogue checks|optScan_0|fpNewRecordSet= Found ",
         R"(JT=0, NM="Whole", SID=11, RT=1, RSN="Found", OI="jsmith")", "scan job"},
        {Scan,
         "fpJobName=S|cboScanRule=Catalogue checks|cboRecordSet=Bib weeding|"
         "cboSaveRecordSet=Bib new|later",
         R"(JT=0, NM="S", SID=11, SS=")" + later + R"(", RT=1, RSID=101, SRS=102, OI="jsmith")",
         "scan job"},
        {Scan,
         "fpJobName=S|cboScanRule=Catalogue checks|fpScanFrom=10|fpScanTo=20|fpNewRecordSet=F",
         R"(JT=0, NM="S", SID=11, RT=1, RRS="10", RRE="20", RSN="F", OI="jsmith")", "scan job"},
        // A preview: no MFONAME for the first order entry; KI false whatever optIndex shows.
        {Change,
         "fpJobName=D|cboRecordSet=Auth names|cboRuleSet=Monthly clean-up|"
         "optUpdate_0|optIndex_0|optUpdate_1",
         R"(JT=1, NM="D", RSID=301, RUID=21, UP=false, KI=false, OI="jsmith")", "data change job"},
        {Change,
         "fpJobName=D|cboRecordSet=Bib weeding|cboRuleSet=Moves|optUpdate_0|optIndex_0|"
         "cboOwningLibrary=Central Library|cboLocation=Annex|cboFieldOrderConfig=Tag order|later",
         R"(JT=1, NM="D", SS=")" + later +
             R"(", RSID=101, RUID=23, UP=true, KI=true, OI="jsmith", )"
             R"(REQ_LIBRARY_ID="2", REQ_LOCATION_ID="3", MFONAME="Tag order")",
         "data change job"},
        {Index, "fpJobName=I|cboRecordSet=Bib new", R"(JT=2, NM="I", RT=1, RSID=102, OI="jsmith")",
         "index records job"},
        {Index, "fpJobName=I|fpIndexFrom=1|fpIndexTo=20000|later",
         R"(JT=2, NM="I", SS=")" + later + R"(", RT=1, RRS="1", RRE="20000", OI="jsmith")",
         "index records job"},
        {Match, "fpJobName=M|fpRecordList=/tmp/in.mrc|cboSaveRecordSet=Bib new",
         R"(JT=3, NM="M", RT=1, SRS=102, OI="jsmith")", "match records job"},
        {Match, "fpJobName=M|cboRecordType=Auth|fpRecordList=/tmp/in.mrc|fpNewRecordSet=Hits ",
         R"(JT=3, NM="M", RT=3, RSN="Hits", OI="jsmith")", "match records job"},
        {LoadMatch,
         "fpJobName=L|fpRecordList=/tmp/a.aut|cboRuleSet=Standard load match|"
         "chkAdd035WhenCreatingNewAuthRecords=0|later",
         R"(JT=4, NM="L", RT=3, RUID=31, SS=")" + later + R"(", OI="jsmith", ADD035=false)",
         "auth load match job"},
        {Merge, MergeOfLoadA, R"(JT=5, NM="Merge", SJID=51, RUID=41, RT=3, OI="jsmith")",
         "auth load merge job"},
        {DbLoad, "fpJobName=A|cboSource=Load B|later",
         R"(JT=7, NM="A", SJID=52, SS=")" + later + R"(", RT=3, OI="jsmith")", "Auth DB Load job"},
        {Reconcile, "fpJobName=R|cboRecordSet=Auth names|cboRuleSet=Standard reconcile",
         R"(JT=6, NM="R", RSID=301, RUID=61, RT=3, OI="jsmith")", "reconcile job"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        auto screen = open(c.screen, QString::fromLatin1(c.script));
        const Controls controls{*screen};
        ASSERT_TRUE(controls.submitEnabled());
        transport->queue("SAVE_JOB", Answer{8, {}});
        controls.submit();
        EXPECT_EQ(Shown(sentFields("SAVE_JOB")), c.sent);
        EXPECT_EQ(platform.Texts(),
                  QStringList{"Failed to submit " + c.failure + ". Error code = 8"});
        EXPECT_EQ(platform.Messages().front().icon, MessageIcon::Exclamation);
        EXPECT_TRUE(controls.submitEnabled()) << "the inputs as they were";
    }
}

TEST_F(SubmitScreens, SubmitIsEnabledOnlyWhileTheInputsAreComplete) {
    struct Case {
        Make screen;
        const char* steps;
        const char* enabled; // after each step, 1 when Submit is enabled
    } cases[] = {
        {Scan,
         "fpJobName=   |cboScanRule=Catalogue checks|optScan_0|fpNewRecordSet=Found|fpJobName=Scan|"
         "optScan_1|cboRecordSet=Bib weeding|fpScanFrom=5|fpScanTo=9|optSave_0|"
         "cboSaveRecordSet=Bib new|optRun_1",
         "000010101011"},
        // A group that asks for a library (its marker in lower case), then for both.
        {Change,
         "fpJobName=C|cboRecordSet=Bib weeding|cboRuleSet=Monthly clean-up|cboRuleSet=Shelving|"
         "cboOwningLibrary=Central Library|cboRuleSet=Moves|cboLocation=Annex|fpJobName=",
         "00101010"},
        {Index, "fpJobName=I|cboRecordSet=Bib new|fpIndexFrom=1|fpIndexTo=3|optIndex_1", "01011"},
        {Match,
         "fpJobName=M|fpNewRecordSet=Hits|fpRecordList=/tmp/in.mrc|fpNewRecordSet= |"
         "cboSaveRecordSet=Bib weeding",
         "00101"},
        {LoadMatch, "fpJobName=L|fpRecordList=/tmp/a.aut|cboRuleSet=Standard load match", "001"},
        {Merge, "fpJobName=M|cboSource=Load B|cboRuleSet=Standard load merge", "001"},
        {DbLoad, "fpJobName=A|cboSource=Load B", "01"},
        {Reconcile, "fpJobName=R|cboRecordSet=Auth names|cboRuleSet=Standard reconcile", "001"},
    };
    for (const Case& c : cases) {
        auto screen = open(c.screen);
        const Controls controls{*screen};
        QString got = controls.submitEnabled() ? "1:" : "0:";
        for (const QString& step : QString::fromLatin1(c.steps).split('|')) {
            controls.play(step);
            got += controls.submitEnabled() ? '1' : '0';
        }
        EXPECT_EQ(got, "0:" + QString::fromLatin1(c.enabled)) << screen->objectName().toStdString();
    }
}

TEST_F(SubmitScreens, AGroupAsksForTheLibraryAndLocationListsAndUpdatingForKeywordIndexing) {
    auto screen = open(Change);
    const Controls c{*screen};
    const auto enabled = [&] {
        return std::vector<bool>{c.get<QComboBox>("cboOwningLibrary").isEnabled(),
                                 c.get<QLabel>("lblOwningLibrary").isEnabled(),
                                 c.get<QComboBox>("cboLocation").isEnabled(),
                                 c.get<QLabel>("lblLocation").isEnabled(),
                                 c.get<QWidget>("fraIndex").isEnabled()};
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false, false}));
    c.play("cboRuleSet=Shelving");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, false, false}));
    c.play("cboRuleSet=Moves|optUpdate_0");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true}));
    EXPECT_EQ(c.get<QComboBox>("cboLocation").itemText(0), "") << "the empty entry, id 0";
}

class SubmitScreensChangeOnly : public SubmitScreens {
protected:
    QStringList rights() const override { return {"SJB", "SRV", "RSBU", "RSAA", "SJA"}; }
};

TEST_F(SubmitScreensChangeOnly, TheSaveOptionsFollowTheRightsOfTheRecordType) {
    auto screen = open(Scan, "optSave_0");
    const Controls c{*screen};
    const auto offered = [&] {
        return std::vector<bool>{c.get<QRadioButton>("optSave_0").isEnabled(),
                                 c.get<QRadioButton>("optSave_1").isEnabled(),
                                 c.get<QRadioButton>("optSave_0").isChecked()};
    };
    EXPECT_EQ(offered(), (std::vector<bool>{true, false, true})) << "Bib: may change sets, not add";
    c.play("cboRecordType=Auth");
    EXPECT_EQ(offered(), (std::vector<bool>{false, true, false}))
        << "Auth: may add sets, not change; the disabled option unselected";
    EXPECT_EQ(c.get<QComboBox>("cboSaveRecordSet").count(), 1) << "the authority sets";
}

TEST_F(SubmitScreens, ChecksTellWhyAndSendNothing) {
    struct Case {
        Make screen;
        const char* script;
        QString message;
        MessageIcon icon;
    } cases[] = {
        {Index, "fpJobName=I|fpIndexFrom=1|fpIndexTo=20001",
         "Index range must be no more than 20000.", MessageIcon::None},
        {Index, "fpJobName=I|fpIndexFrom=5|fpIndexTo=4", "Index range is out of order.",
         MessageIcon::Exclamation},
        {Scan, "fpJobName=S|cboScanRule=Catalogue checks|fpScanFrom=10|fpScanTo=9|fpNewRecordSet=F",
         "Scan range is out of order.", MessageIcon::Exclamation},
        {Scan,
         "fpJobName=S|cboScanRule=Catalogue checks|cboRecordSet=Bib new|cboSaveRecordSet=Bib new",
         "Scan job cannot save records into same record set as it is scanning from.",
         MessageIcon::Exclamation},
    };
    for (const Case& c : cases) {
        auto screen = open(c.screen, QString::fromLatin1(c.script));
        Controls{*screen}.submit();
        EXPECT_EQ(count("SAVE_JOB"), 0u) << c.script;
        ASSERT_EQ(platform.Messages().size(), 1u) << c.script;
        EXPECT_EQ(platform.Messages()[0].text, c.message);
        EXPECT_EQ(platform.Messages()[0].icon, c.icon);
    }
}

TEST_F(SubmitScreens, AnswersAreToldAndOnlySuccessResetsTheInputs) {
    const QString nameTaken = "Job name already in use. Please choose another name.";
    struct Case {
        Make screen;
        const char* script;
        const char* group;  // unselected by a reset
        const char* refill; // the request that refills a list after any answer
        Answer answer;
        QString message;
        bool added;
    } cases[] = {
        {Scan,
         ScanIntoNewSet,
         "cboScanRule",
         "GET_RECORD_SETS",
         {0, {{"ID", 5}}},
         "Scan job added.",
         true},
        {Scan,
         ScanIntoNewSet,
         "cboScanRule",
         "GET_RECORD_SETS",
         {2, {}},
         "Job start time must be later than now.",
         false},
        {Scan,
         ScanIntoNewSet,
         "cboScanRule",
         "GET_RECORD_SETS",
         {4, {{"BC", 2}}},
         nameTaken,
         false},
        {Scan,
         ScanIntoNewSet,
         "cboScanRule",
         "GET_RECORD_SETS",
         {4, {{"BC", 1}}},
         "Record set name already in use. Please choose another name.",
         false},
        {Scan,
         ScanIntoNewSet,
         "cboScanRule",
         "GET_RECORD_SETS",
         {6, {}},
         "Operator not authorized to submit scan job.",
         false},
        {Merge,
         MergeOfLoadA,
         "cboRuleSet",
         "GET_JOBS_WITH_FILES",
         {0, {{"ID", 5}}},
         "Auth load merge job added.",
         true},
        {Merge,
         MergeOfLoadA,
         "cboRuleSet",
         "GET_JOBS_WITH_FILES",
         {4, {{"BC", 1}}},
         nameTaken,
         false},
        {Merge,
         MergeOfLoadA,
         "cboRuleSet",
         "GET_JOBS_WITH_FILES",
         {6, {}},
         "Operator not authorized to submit an auth load merge job.",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        auto screen = open(c.screen, QString::fromLatin1(c.script));
        const Controls controls{*screen};
        transport->queue("SAVE_JOB", c.answer);
        controls.submit();
        ASSERT_EQ(platform.Messages().size(), 1u);
        EXPECT_EQ(platform.Messages()[0].text, c.message);
        EXPECT_EQ(platform.Messages()[0].icon,
                  c.added ? MessageIcon::Information : MessageIcon::Exclamation);
        EXPECT_EQ(controls.get<QLineEdit>("fpJobName").text().isEmpty(), c.added);
        EXPECT_EQ(controls.get<QComboBox>(c.group).currentIndex() < 0, c.added);
        EXPECT_EQ(controls.submitEnabled(), !c.added);
        EXPECT_EQ(count(c.refill), 1u);
    }
}

TEST_F(SubmitScreens, ActivationRefillsTheListsKeepingChoicesAndResetsTheRunTime) {
    auto screen = open(Scan, "cboScanRule=Catalogue checks|later");
    const Controls c{*screen};
    EXPECT_TRUE(c.get<QRadioButton>("optRun_1").isChecked()) << "a run time typed means later";
    screen->Activate();
    EXPECT_EQ(transport->codes(), (std::vector<std::string>{"GET_RULE_SETS", "GET_RECORD_SETS"}));
    EXPECT_EQ(Shown(sentFields("GET_RULE_SETS")), R"(RT=1, OI="jsmith")");
    EXPECT_EQ(c.get<QComboBox>("cboScanRule").currentText(), "Catalogue checks");
    const QDateTime shown(c.get<QDateEdit>("fpdRunDate").date(),
                          c.get<QTimeEdit>("fpdRunTime").time());
    const qint64 ahead = QDateTime::currentDateTime().secsTo(shown);
    EXPECT_GE(ahead, 5 * 60 - 5);
    EXPECT_LE(ahead, 5 * 60);
}

} // namespace
} // namespace velumar
