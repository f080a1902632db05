// Times the preview as an operator meets it, on the embedded server with the
// demo catalogue (2000 bibliographic records) and a group of four rules that
// change every record (a field removed, one added, subfields changed):
//
// - one record: Preview::Load of records 1 to 200, each a request, the
//   engine on the server and the comparison in the client; the first one
//   also compiles the group;
// - a walk: the compare screen on a set of 101 records, then "Next Record"
//   100 times, each step filling both grids and painting the screen.
//
// With --screenshots FOLDER it also writes what the screens look like.
// Prints wall-clock figures; nothing is asserted.

#include "core/server_core.h"
#include "embedded_server.h"
#include "general_helper.h"
#include "login_dialog.h"
#include "main_window/frm_main.h"
#include "preview.h"
#include "record_sets.h"
#include "request_channel.h"
#include "rule_sets.h"
#include "screens/frm_preview_compare.h"
#include "screens/frm_preview_select.h"
#include "screens/preview_screen_setup.h"
#include "session.h"
#include "session/session_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"
#include "testing/recording_platform_services.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const QString Rules = QStringLiteral(
    "# Review\r\n"
    "rule \"Reviewed\"\r\n#priority n\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n"
    "    create MARC.\"500\"(\" \",\" \")\r\n"
    "    create MARC.\"500\" subfield \"a\" with \"Record reviewed.\"\r\nend\r\n\r\n"
    "rule \"No ISBN\"\r\n#priority n\r\n  when\r\n    MARC is \"020\"\r\n  then\r\n"
    "    remove MARC.\"020\"\r\nend\r\n\r\n"
    "rule \"Subject places\"\r\n#priority n\r\n  when\r\n    MARC is \"650\".\"z\"\r\n  then\r\n"
    "    remove MARC.\"650\" subfield \"z\"\r\nend\r\n\r\n"
    "rule \"Relator terms\"\r\n#priority n\r\n  when\r\n    MARC is \"700\".\"e\"\r\n  then\r\n"
    "    set MARC.\"700\".\"e\" to \"editor\"\r\nend\r\n");

qint32 saveGroup(orvane::Channel& channel) {
    channel.AddNumericField("RT", 2);
    channel.AddField("NM", "Review");
    channel.AddField("DSC", "Notes the review and tidies a few fields");
    channel.AddField("DOC", Rules);
    channel.AddField("OI", "demo");
    if (channel.SendRequest("SAVE_RULE_DOCUMENT") != 0)
        return 0;
    const qint32 document = channel.GetNumericField("ID");
    channel.AddNumericField("RT", 2);
    channel.AddField("NM", "Review");
    channel.AddField("DSC", "");
    channel.AddField("OI", "demo");
    channel.AddNumericField("RDID", document);
    channel.AddNumericField("RO", 0);
    return channel.SendRequest("SAVE_RULE_SET") == 0 ? channel.GetNumericField("ID") : 0;
}

void report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    double total = 0;
    for (const double t : times)
        total += t;
    std::printf("%-34s n=%zu  mean %.2f ms  median %.2f ms  p95 %.2f ms  max %.2f ms\n", what,
                times.size(), total / static_cast<double>(times.size()), times[times.size() / 2],
                times[times.size() * 95 / 100], times.back());
}

void grab(QWidget& widget, const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return;
    const QString path = QDir(folder).filePath(name);
    if (widget.grab().save(path))
        std::printf("screenshot: %s\n", qUtf8Printable(path));
}

void choose(QWidget& screen, const char* combo, const QString& text) {
    auto* box = screen.findChild<QComboBox*>(combo);
    box->setCurrentIndex(box->findText(text));
    emit box->activated(box->currentIndex());
}

} // namespace

int main(int argc, char** argv) {
    // Settings and window places in a folder of the run's own, never the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("OrvaneVLM");
    QString screenshots;
    for (int i = 1; i + 1 < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == "--screenshots")
            screenshots = QString::fromLocal8Bit(argv[i + 1]);

    const QString db = home.filePath("velumar.db");
    auto start = Clock::now();
    auto core = orvane::openEmbeddedServer(db);
    std::printf("demo database made in %.0f ms (not measured below)\n", millisecondsSince(start));

    // The program's own start-up, as "velumar --operator demo" runs it.
    velumar::RecordingPlatformServices platform;
    velumar::SessionState state(platform);
    state.helper().SetDialogRunner([](orvane::LoginDialog&) { return 0; });
    velumar::StartupTasks tasks;
    velumar::RegisterStandardStartupTasks(tasks);
    if (velumar::RunStartup(state, tasks, {"velumar", "--db", db, "--operator", "demo", "/nocheck"},
                            &app) != velumar::StartupOutcome::Ready) {
        std::fprintf(stderr, "the start-up on the embedded server failed\n");
        return 1;
    }
    velumar::SetUpPreviewScreens(state);
    const qint32 groupId = saveGroup(state.channel());
    auto& groups = state.manager<velumar::RuleSets>();
    groups.LoadRuleSets(2);
    const velumar::RuleSet* group = groups.GetRuleSet(2, groupId);
    if (!group) {
        std::fprintf(stderr, "the group was not saved\n");
        return 1;
    }

    // One record at a time.
    velumar::Preview& preview = state.manager<velumar::Preview>();
    std::vector<double> loads;
    double first = 0;
    std::size_t marked = 0;
    qint32 withRelator = 0; // a record whose 700 $e changes, for a screenshot
    for (qint32 id = 1; id <= 200; ++id) {
        preview.StartRecord(id, 1, *group, QString());
        start = Clock::now();
        if (!preview.Load()) {
            std::fprintf(stderr, "record %d: no preview\n", id);
            return 1;
        }
        const double took = millisecondsSince(start);
        if (id == 1)
            first = took;
        else
            loads.push_back(took);
        for (const auto& line : preview.AfterLines()) {
            marked += line.Mark != velumar::MarkUnchanged;
            if (!withRelator && line.Tag == "700" && line.Mark == velumar::MarkChanged)
                withRelator = id;
        }
    }
    std::printf("first preview (compiles the group): %.2f ms\n", first);
    report("one-record preview", loads);
    std::printf("  (%zu marked lines over 200 records)\n", marked);

    // The walk, with the screens.
    auto& sets = state.manager<velumar::RecordSets>();
    const qint32 setId = sets.AddRecordSet("Walk of 101", 1);
    QList<qint32> ids;
    for (qint32 id = 1; id <= 101; ++id)
        ids.push_back(id);
    if (setId <= 0 || !sets.AddToRecordSetQuiet(ids, setId, 1)) {
        std::fprintf(stderr, "the record set was not made\n");
        return 1;
    }
    velumar::frmMain& window = state.mainWindow();
    window.OpenFunction("Preview_Select", "Preview", "Select Criteria");
    auto* select = dynamic_cast<velumar::frmPreview_Select*>(window.Screen("Preview_Select"));
    if (!select) {
        std::fprintf(stderr, "Preview_Select opened no preview screen\n");
        return 1;
    }
    choose(*select, "cboRecordSet", "Walk of 101");
    choose(*select, "cboRuleSet", "Review");
    QApplication::processEvents();
    grab(window, screenshots, "preview_select.png");
    select->PreviewChosen();
    velumar::frmPreviewCompare* compare = select->CompareScreen();
    if (!compare) {
        std::fprintf(stderr, "the compare screen did not open\n");
        return 1;
    }
    compare->resize(1200, 640);
    QApplication::processEvents();
    grab(*compare, screenshots, "preview_compare_first.png");

    auto* next = compare->findChild<QPushButton*>("cmdNext");
    std::vector<double> steps;
    const auto walk = Clock::now();
    for (int step = 0; step < 100; ++step) {
        start = Clock::now();
        next->click();
        QApplication::processEvents();
        // Painting is part of what the operator waits for.
        compare->grab();
        steps.push_back(millisecondsSince(start));
    }
    const double walked = millisecondsSince(walk);
    std::printf("walk of 100 records with Next: %.2f s in all\n", walked / 1000.0);
    report("one Next step (request, grids, paint)", steps);
    grab(*compare, screenshots, "preview_compare_last.png");
    if (withRelator) {
        preview.StartRecord(withRelator, 1, *group, QStringLiteral("Tag order"));
        if (preview.Load()) {
            compare->ShowPreview();
            QApplication::processEvents();
            grab(*compare, screenshots, "preview_compare_record.png");
        }
    }
    if (!platform.Messages().empty())
        std::printf("messages shown: %s\n", qUtf8Printable(platform.Texts().join(" | ")));
    return 0;
}
