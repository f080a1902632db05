// The submission screens against the embedded server on a database of the
// test's own, with its demo data: every job type is submitted from its
// screen; a match job run from a real file (demo records written out with
// their control numbers as another catalogue would have them) fills its new
// set with the catalogue records whose 035 holds those numbers; an
// authority file goes up into its job, which ends Pending with every record
// kept in file order, and once it has run, merge and database load jobs
// take it as their source. Set VELUMAR_SCREENSHOTS to a folder to have the
// screens drawn there.
#include "catalogue/catalogue_export.h"
#include "charsets/character_set_table.h"
#include "core/server_core.h"
#include "demo_jobs_client.h"
#include "embedded_server.h"
#include "jobs/job_records.h"
#include "main_window/frm_main.h"
#include "marc/field.h"
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"
#include "record_search.h"
#include "screens/job_screen_setup.h"
#include "scripted_submit.h"
#include "store/database.h"
#include "submit/frm_job_management_submit_auth_db_load.h"
#include "submit/frm_job_management_submit_auth_load_match.h"
#include "submit/frm_job_management_submit_auth_load_merge.h"
#include "submit/frm_job_management_submit_auth_load_reconcile.h"
#include "submit/frm_job_management_submit_change.h"
#include "submit/frm_job_management_submit_index.h"
#include "submit/frm_job_management_submit_match.h"
#include "submit/frm_job_management_submit_scan.h"
#include "tests/qt_printers.h"
#include "tests/screenshots.h"
#include "upload/job_progress_screen.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <sstream>

namespace velumar {
namespace {

using testing::Controls;
using testing::DemoJobsClient;
using testing::MarcData;
using testing::RecordsOf;

// The demo catalogue's bibliographic record `id` carries 035 $a "(VDEMO)" + 1000000 + id.
std::string demoControlNumber(int id) {
    return std::to_string(1000000 + id);
}

class SubmitEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        db = dir->filePath("velumar.db");
        core = orvane::openEmbeddedServer(db);
    }
    static void TearDownTestSuite() {
        core.reset();
        delete dir;
    }

    // A client as the start-up leaves it for these screens.
    std::unique_ptr<DemoJobsClient> client() {
        auto demo = std::make_unique<DemoJobsClient>(db, "demo");
        demo->state.characterSets().Load(demo->state.channel(), demo->platform);
        demo->state.recordSearch().Initialise(demo->state.channel(), demo->state.session(), 0, 0);
        return demo;
    }
    static QString file(const QByteArray& bytes, const QString& name) {
        const QString path = dir->filePath(name);
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return path;
    }
    // The members of a record set, in their order.
    static std::vector<qint32> members(const QString& setName) {
        auto st = core->store().db().prepare(
            "SELECT m.record_id FROM record_set_members m JOIN record_sets s ON s.id = "
            "m.record_set WHERE s.name = ?1 ORDER BY m.ordinal");
        st.bind(1, setName.toStdString());
        std::vector<qint32> ids;
        while (st.step())
            ids.push_back(st.int32(0));
        return ids;
    }
    static void shoot(QWidget& screen, const QString& name) {
        testing::SaveScreenshot(screen, name);
    }
    // A screen as the main window shows it, activated.
    template <typename Screen> static std::unique_ptr<Screen> open(DemoJobsClient& demo) {
        auto screen = std::make_unique<Screen>(demo.state);
        screen->resize(760, 560);
        screen->show();
        screen->Activate();
        return screen;
    }
    static qint32 jobNamed(const QString& name) {
        auto st = core->store().db().prepare("SELECT id FROM jobs WHERE name = ?1");
        st.bind(1, name.toStdString());
        return st.step() ? st.int32(0) : -1;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline QString db;
    static inline std::shared_ptr<orvane::server::ServerCore> core;
};

TEST_F(SubmitEndToEnd, EveryQueuedJobTypeIsSubmittedFromItsScreen) {
    auto demo = client();
    ASSERT_GT(demo->state.manager<RecordSets>().AddRecordSet("Authority trial", 3), 0);
    demo->makeSet("Bib trial", {1, 2, 3});
    struct Case {
        std::function<std::unique_ptr<JobSubmitScreen>(DemoJobsClient&)> screen;
        QString name;
        const char* script;
        QString added;
        int type;
    } cases[] = {
        {open<frmJobManagement_SubmitScan>, "Queued scan",
         "cboScanRule=Catalogue checks|fpScanFrom=1|fpScanTo=50|fpNewRecordSet=Scan finds",
         "Scan job added.", 0},
        {open<frmJobManagement_SubmitChange>, "Queued change",
         "cboRecordSet=Bib trial|cboRuleSet=Monthly clean-up|cboFieldOrderConfig=Holdings order",
         "Data change job added.", 1},
        {open<frmJobManagement_SubmitIndex>, "Queued index", "fpIndexFrom=1|fpIndexTo=20000",
         "Index records job added.", 2},
        {open<frmJobManagement_SubmitAuthLoadReconcile>, "Queued reconcile",
         "cboRecordSet=Authority trial|cboRuleSet=Standard reconcile", "Reconcile job added.", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        demo->platform.Clear();
        auto screen = c.screen(*demo);
        const Controls controls{*screen};
        controls.play("fpJobName=" + c.name + "|" + c.script + "|later");
        shoot(*screen, screen->objectName());
        ASSERT_TRUE(controls.submitEnabled());
        controls.submit();
        EXPECT_EQ(demo->platform.Texts(), QStringList{c.added});
        const auto job = demo->jobs().FetchJob(jobNamed(c.name));
        ASSERT_TRUE(job);
        EXPECT_EQ(CodeOf(job->Type()), c.type);
        EXPECT_EQ(job->ScheduledStart(), testing::LaterText);
    }
}

TEST_F(SubmitEndToEnd, TheNavigationKeysOpenTheSubmissionScreens) {
    auto demo = client();
    SetUpJobScreens(demo->state);
    frmMain& window = demo->state.mainWindow();
    window.resize(1000, 640);
    window.show();
    const std::pair<const char*, const char*> items[] = {
        {"SubmitScan", "Submit Scan Job"},
        {"SubmitChange", "Submit Data Change Job"},
        {"SubmitIndex", "Submit Index Records Job"},
        {"SubmitMatch", "Submit Match Job"},
        {"SubmitAuthLoadMatch", "Submit Auth Load Match Job"},
        {"SubmitAuthLoadMerge", "Submit Auth Load Merge Job"},
        {"SubmitAuthDbLoad", "Submit Auth DB Load Job"},
        {"SubmitAuthLoadReconcile", "Submit Auth Load Reconcile Job"}};
    for (const auto& [key, caption] : items) {
        const QString name = QStringLiteral("JobManagement_") + key;
        window.OpenFunction(name, "Job Management", caption);
        auto* screen = qobject_cast<JobSubmitScreen*>(window.Screen(name));
        ASSERT_NE(screen, nullptr) << key;
        EXPECT_EQ(screen->objectName(), "frmJobManagement_" + QString::fromLatin1(key));
    }
    window.OpenFunction("JobManagement_SubmitChange", "Job Management", "Submit Data Change Job");
    shoot(window, "main-window-submit-change");
    EXPECT_TRUE(demo->platform.Messages().empty());
}

TEST_F(SubmitEndToEnd, AMatchJobFromAFileFillsItsSetWithTheRecordsWhose035Matches) {
    // Three demo records written out as another catalogue keeps them: its
    // control number in 001 and 003, which the demo catalogue holds in 035.
    std::ostringstream exported;
    const std::vector<std::int32_t> ids{8, 3, 5};
    ASSERT_EQ(orvane::server::exportRecords(
                  core->store().db(), orvane::server::RecordKind::Bibliographic, ids, exported)
                  .written,
              3u);
    const QList<QByteArray> written = RecordsOf(QByteArray::fromStdString(exported.str()));
    ASSERT_EQ(written.size(), 3);
    std::string bytes;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::string one = written[qsizetype(i)].toStdString();
        const auto parsed = marc::parseRecord(std::string_view(one));
        ASSERT_TRUE(parsed.record);
        marc::Record record = marc::Record::fromView(*parsed.record);
        record.setControlValue("001", demoControlNumber(ids[i]));
        record.setControlValue("003", "VDEMO");
        marc::appendIso2709(record, bytes);
        // A number the catalogue does not hold.
        if (i == 0) {
            record.setControlValue("001", "9999999");
            marc::appendIso2709(record, bytes);
        }
    }
    // An authority record in a bibliographic file.
    const QList<QByteArray> authorities = RecordsOf(MarcData("eg_auth-subset100.mrc"));
    REQUIRE_MARC_DATA(MarcData("eg_auth-subset100.mrc"));
    bytes += authorities[0].toStdString();

    auto demo = client();
    auto screen = open<frmJobManagement_SubmitMatch>(*demo);
    const Controls c{*screen};
    c.play("fpJobName=Match from file|cboRecordType=Bib|fpNewRecordSet=Matched demo|fpRecordList=" +
           file(QByteArray::fromStdString(bytes), "match.mrc"));
    shoot(*screen, screen->objectName());
    ASSERT_TRUE(c.submitEnabled());
    c.submit();

    EXPECT_EQ(members("Matched demo"), (std::vector<qint32>{8, 3, 5}));
    const auto job = demo->jobs().FetchJob(jobNamed("Match from file"));
    ASSERT_TRUE(job);
    // Four keys searched; the authority record an error.
    EXPECT_EQ(QStringLiteral("%1 %2/%3 %4 %5")
                  .arg(job->StatusName())
                  .arg(job->RecordsProcessed())
                  .arg(job->RecordsToProcess())
                  .arg(job->RecordErrorCount())
                  .arg(job->SaveRecordSet()),
              "Done 4/4 1 Matched demo");
    EXPECT_TRUE(demo->platform.Messages().empty())
        << demo->platform.Texts().join("; ").toStdString();
    EXPECT_TRUE(c.get<QLineEdit>("fpJobName").text().isEmpty()) << "the screen reset";
}

TEST_F(SubmitEndToEnd, AnAuthorityFileGoesIntoItsJobInOrderAndLaterJobsTakeItAsTheirSource) {
    const QByteArray names = MarcData("eg_auth-subset100.mrc");
    REQUIRE_MARC_DATA(names);
    // 45 records: bulks of 20, 20 and 5.
    const QList<QByteArray> each = RecordsOf(names);
    QByteArray records;
    for (int i = 0; i < 45; ++i)
        records += each[i % each.size()];
    auto demo = client();
    auto screen = open<frmJobManagement_SubmitAuthLoadMatch>(*demo);
    const Controls c{*screen};
    c.play("fpJobName=Load names|cboRuleSet=Standard load match|later|fpRecordList=" +
           file(records, "names.aut"));
    QTimer::singleShot(0, [] {
        if (auto* progress = qobject_cast<JobProgressScreen*>(QApplication::activeModalWidget()))
            shoot(*progress, "auth-load-match-progress");
    });
    c.submit();

    const qint32 id = jobNamed("Load names");
    auto job = demo->jobs().FetchJob(id);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->StatusName(), "Pending") << demo->platform.Texts().join("; ").toStdString();
    std::vector<std::string> expected;
    for (const QByteArray& record : RecordsOf(records))
        expected.push_back(record.toStdString());
    EXPECT_EQ(orvane::server::JobRecords(core->store().db()).all(id), expected);
    EXPECT_EQ(job->RecordsToProcess(), 45);

    // Run now; then a merge and a database load take it as their source.
    ASSERT_TRUE(demo->jobs().RescheduleJob(id, QString()));
    job = demo->waitForEnd(id);
    ASSERT_TRUE(job);
    ASSERT_EQ(job->StatusName(), "Done");
    const std::tuple<std::unique_ptr<JobSubmitScreen>, const char*, const char*> next[] = {
        {open<frmJobManagement_SubmitAuthLoadMerge>(*demo), "cboRuleSet=Standard load merge",
         "Auth load merge job added."},
        {open<frmJobManagement_SubmitAuthDbLoad>(*demo), "", "Auth DB Load job added."}};
    for (const auto& [form, script, added] : next) {
        demo->platform.Clear();
        const Controls n{*form};
        n.play("fpJobName=" + form->objectName() + "|cboSource=Load names|later|" + script);
        n.submit();
        EXPECT_EQ(demo->platform.Texts(), QStringList{added});
    }
}

// The records of a job's result file of that type, fetched as the queue
// screen's Get Result Files does; none when the job has no such file.
QList<QByteArray> resultRecords(DemoJobsClient& demo, qint32 job, qint32 fileType,
                                const QString& folder) {
    KeyedCollection<JobResultFile> files;
    if (!demo.jobs().FetchResultFileList(job, files))
        return {};
    for (int i = 0; i < files.Count(); ++i)
        if (files.At(i).FileType() == fileType) {
            const QString path = folder + QStringLiteral("/job%1-%2.mrc").arg(job).arg(fileType);
            demo.jobs().FetchResultFile(job, files.At(i), path);
            QFile in(path);
            in.open(QIODevice::ReadOnly);
            return RecordsOf(in.readAll());
        }
    return {};
}

// The sample authority file taken through the whole load from the screens,
// as an operator would: matched (nothing yet), loaded, matched again,
// merged, and the loaded records reconciled, each job run at once and its
// result files read back through the job manager.
TEST_F(SubmitEndToEnd, TheSampleAuthorityFileIsMatchedLoadedMergedAndReconciledFromTheScreens) {
    const QByteArray sample = MarcData("eg_auth-subset100.mrc");
    REQUIRE_MARC_DATA(sample);
    const QList<QByteArray> file = RecordsOf(sample);
    const QString path = SubmitEndToEnd::file(sample, "sample.aut");
    auto demo = client();
    const auto runNow = [&](JobSubmitScreen& screen, const QString& name, const QString& script,
                            const QString& shot) {
        demo->platform.Clear();
        const Controls c{screen};
        c.play("fpJobName=" + name + "|" + script);
        shoot(screen, shot);
        EXPECT_TRUE(c.submitEnabled()) << name.toStdString();
        c.submit();
        const auto job = demo->waitForEnd(jobNamed(name));
        EXPECT_TRUE(job) << name.toStdString();
        EXPECT_EQ(job ? job->StatusName() : QString(), "Done")
            << name.toStdString() << ": " << demo->platform.Texts().join("; ").toStdString();
        return jobNamed(name);
    };
    const auto match = [&](const QString& name) {
        auto screen = open<frmJobManagement_SubmitAuthLoadMatch>(*demo);
        return runNow(*screen, name,
                      "cboRuleSet=Standard load match|chkAdd035WhenCreatingNewAuthRecords=1|fpRecordList=" + path,
                      "walk-1-match");
    };
    const QString folder = dir->path();

    const qint32 first = match("Sample, first match");
    EXPECT_EQ(resultRecords(*demo, first, 9, folder), file); // No match: all of them
    EXPECT_TRUE(resultRecords(*demo, first, 8, folder).isEmpty());

    auto loadScreen = open<frmJobManagement_SubmitAuthDbLoad>(*demo);
    const qint32 load =
        runNow(*loadScreen, "Sample load", "cboSource=Sample, first match", "walk-2-load");
    const QList<QByteArray> added = resultRecords(*demo, load, 1, folder);
    ASSERT_EQ(added.size(), file.size());
    QList<qint32> ids;
    for (int i = 0; i < added.size(); ++i) {
        // Each in the catalogue as the After file shows it, under an id of its own.
        const std::string octets = added[i].toStdString();
        const auto view = marc::parseRecord(std::string_view(octets));
        ASSERT_TRUE(view.record);
        const auto source = marc::parseRecord(std::string_view(file[i].constData(), file[i].size()));
        EXPECT_EQ(view.record->findField("100")->value(), source.record->findField("100")->value());
        auto st = core->store().db().prepare(
            "SELECT record_id FROM catalogue_index WHERE record_type = 3 AND code = 'A35A' AND "
            "key = ?1");
        // The index keeps the control number folded to lower case.
        const QString number = QStringLiteral("(IISG)") +
                               QString::fromLatin1(source.record->findField("001")->value());
        st.bind(1, number.toLower().toStdString());
        ASSERT_TRUE(st.step()) << i;
        ids.push_back(st.int32(0));
    }

    const qint32 second = match("Sample, second match");
    EXPECT_EQ(resultRecords(*demo, second, 8, folder).size(), file.size());
    auto mergeScreen = open<frmJobManagement_SubmitAuthLoadMerge>(*demo);
    const qint32 merge = runNow(*mergeScreen, "Sample merge",
                                "cboSource=Sample, second match|cboRuleSet=Standard load merge",
                                "walk-3-merge");
    EXPECT_EQ(resultRecords(*demo, merge, 0, folder).size(), file.size()); // Before
    const QList<QByteArray> merged = resultRecords(*demo, merge, 1, folder);
    ASSERT_EQ(merged.size(), file.size());
    for (int i = 0; i < merged.size(); ++i) {
        // No id the match wrote is left in what was saved.
        EXPECT_FALSE(merged[i].contains("\x1f" "9")) << i;
        const std::string saved = RecordsOf(QByteArray::fromStdString([&] {
            std::ostringstream one;
            orvane::server::exportRecords(core->store().db(),
                                          orvane::server::RecordKind::Authority,
                                          std::vector<std::int32_t>{ids[i]}, one);
            return one.str();
        }()))[0].toStdString();
        EXPECT_EQ(marc::parseRecord(std::string_view(saved)).record->findField("001")->value(),
                  std::to_string(ids[i]));
    }

    RecordSets& sets = demo->state.manager<RecordSets>();
    const qint32 set = sets.AddRecordSet("Sample authorities", 3);
    ASSERT_GT(set, 0);
    ASSERT_TRUE(sets.AddToRecordSetQuiet(ids, set, 3));
    auto reconcileScreen = open<frmJobManagement_SubmitAuthLoadReconcile>(*demo);
    const qint32 reconcile =
        runNow(*reconcileScreen, "Sample reconcile",
               "cboRecordSet=Sample authorities|cboRuleSet=Standard reconcile", "walk-4-reconcile");
    const auto done = demo->jobs().FetchJob(reconcile);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->RecordsProcessed(), file.size());
    EXPECT_EQ(done->UpdateDatabase(), "Y");
}

} // namespace
} // namespace velumar
