// Times the MARC file upload of match jobs as an operator meets it, through
// the submission screens and their progress screens, on the embedded server
// with a new demo catalogue:
//
// - match: a file of bibliographic records (100,000 by default), every
//   other one carrying the control number of a demo record in 001 and 003,
//   the others numbers no record has; the read pass, then one search per key
//   and one addition to the job's new set per key found;
// - upload: a file as large of real authority records (the shared sample's,
//   each with a 001 of its own), counted, then sent in bulks of 20;
// - cancel: the match again, "Cancel Job" clicked two seconds in.
//
// While each runs, a timer asks the window to answer every 20 ms: the
// longest wait between its ticks is how long the window went unanswered.
// With --screenshots FOLDER it draws the progress screens midway. Prints
// wall-clock figures; nothing is asserted.

#include "catalogue/catalogue_export.h"
#include "core/server_core.h"
#include "embedded_server.h"
#include "general_helper.h"
#include "login_dialog.h"
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"
#include "session/session_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"
#include "store/database.h"
#include "submit/frm_job_management_submit_auth_load_match.h"
#include "submit/frm_job_management_submit_match.h"
#include "testing/recording_platform_services.h"
#include "upload/job_progress_screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <sstream>

namespace {

// The records of ISO 2709 octets, by their length digits.
std::vector<std::string> split(const std::string& octets) {
    std::vector<std::string> records;
    for (std::size_t at = 0; at + 5 <= octets.size();) {
        const std::size_t length = std::stoul(octets.substr(at, 5));
        records.push_back(octets.substr(at, length));
        at += length;
    }
    return records;
}

marc::Record editable(const std::string& octets) {
    return marc::Record::fromView(*marc::parseRecord(std::string_view(octets)).record);
}

bool writeFile(const QString& path, const std::string& bytes) {
    QFile out(path);
    return out.open(QIODevice::WriteOnly) &&
           out.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

// Half the records carry a demo record's control number, half one no record has.
std::string matchFile(orvane::server::Database& db, int count) {
    std::ostringstream exported;
    orvane::server::exportRecords(db, orvane::server::RecordKind::Bibliographic, std::nullopt,
                                  exported);
    const std::vector<std::string> demo = split(exported.str());
    std::string file;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(i / 2) % demo.size();
        marc::Record record = editable(demo[at]);
        const bool found = i % 2 == 0;
        // The demo's numbers run from 1000001; those from 9000000 are no record's.
        record.setControlValue("001", std::to_string(found ? 1000000 + int(at) + 1 : 9000000 + i));
        record.setControlValue("003", "VDEMO");
        marc::appendIso2709(record, file);
    }
    return file;
}

std::string authorityFile(int count) {
    QFile sample(QStringLiteral(VELUMAR_MARC_DATA_DIR "/eg_auth-subset100.mrc"));
    if (!sample.open(QIODevice::ReadOnly))
        return {};
    const std::vector<std::string> real = split(sample.readAll().toStdString());
    std::string file;
    for (int i = 0; i < count; ++i) {
        marc::Record record = editable(real[static_cast<std::size_t>(i) % real.size()]);
        record.setControlValue("001", std::to_string(500000000 + i));
        marc::appendIso2709(record, file);
    }
    return file;
}

struct Run {
    double seconds = 0;
    double longestUnanswered = 0; // ms
    double readPassSeconds = 0;   // until the first "Processing" label
    QString lastLabel;
};

// Submits from the screen and times until the progress screen has closed.
Run timed(const std::function<void()>& submit, const QString& screenshotFolder,
          const QString& screenshot, int cancelAfterMs = -1) {
    Run run;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    bool shot = false;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        run.longestUnanswered = std::max(run.longestUnanswered, double(sinceTick.elapsed()));
        sinceTick.restart();
        auto* progress =
            qobject_cast<velumar::JobProgressScreen*>(QApplication::activeModalWidget());
        if (!progress)
            return;
        run.lastLabel = progress->ProgressLabel();
        if (run.readPassSeconds == 0 && run.lastLabel.startsWith("Processing"))
            run.readPassSeconds = clock.elapsed() / 1000.0;
        if (!shot && !screenshotFolder.isEmpty() && progress->ProgressValue() >= 40) {
            shot = true;
            progress->grab().save(QDir(screenshotFolder).filePath(screenshot));
        }
        if (cancelAfterMs >= 0 && clock.elapsed() >= cancelAfterMs) {
            cancelAfterMs = -1;
            progress->CancelJob();
        }
    });
    clock.start();
    sinceTick.start();
    tick.start();
    submit();
    run.seconds = clock.elapsed() / 1000.0;
    return run;
}

void fill(QWidget& screen, const char* box, const QString& text) {
    auto* edit = screen.findChild<QLineEdit*>(box);
    edit->setText(text);
    emit edit->textEdited(text);
}

void choose(QWidget& screen, const char* list, const QString& text) {
    auto* combo = screen.findChild<QComboBox*>(list);
    combo->setCurrentIndex(combo->findText(text));
    emit combo->activated(combo->currentIndex());
}

} // namespace

int main(int argc, char** argv) {
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
    const int records = qEnvironmentVariableIsSet("VELUMAR_BENCH_RECORDS")
                            ? qEnvironmentVariableIntValue("VELUMAR_BENCH_RECORDS")
                            : 100000;

    const QString db = home.filePath("velumar.db");
    auto core = orvane::openEmbeddedServer(db);
    const QString matchPath = home.filePath("match.mrc");
    const QString authorityPath = home.filePath("names.aut");
    if (!writeFile(matchPath, matchFile(core->store().db(), records)) ||
        !writeFile(authorityPath, authorityFile(records))) {
        std::fprintf(stderr, "the input files were not made\n");
        return 1;
    }

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

    velumar::frmJobManagement_SubmitMatch matchScreen(state);
    matchScreen.Activate();
    const auto submitMatch = [&](const QString& name) {
        fill(matchScreen, "fpJobName", name);
        choose(matchScreen, "cboRecordType", "Bib");
        choose(matchScreen, "cboFileEncoding", "Unicode (UTF-8)");
        fill(matchScreen, "fpRecordList", matchPath);
        fill(matchScreen, "fpNewRecordSet", name + " hits");
        matchScreen.findChild<QPushButton*>("cmdSubmit")->click();
    };
    const Run match =
        timed([&] { submitMatch("Bench match"); }, screenshots, "match_job_progress.png");

    velumar::frmJobManagement_SubmitAuthLoadMatch loadScreen(state);
    loadScreen.Activate();
    const Run upload = timed(
        [&] {
            fill(loadScreen, "fpJobName", "Bench upload");
            choose(loadScreen, "cboFileEncoding", "Unicode (UTF-8)");
            fill(loadScreen, "fpRecordList", authorityPath);
            choose(loadScreen, "cboRuleSet", "Standard load match");
            loadScreen.findChild<QAbstractButton*>("optRun_1")->click();
            loadScreen.findChild<QPushButton*>("cmdSubmit")->click();
        },
        screenshots, "auth_load_match_job_progress.png");

    const Run cancelled = timed([&] { submitMatch("Bench cancel"); }, {}, {}, 2000);

    const auto report = [&](const char* what, const Run& run, const char* job) {
        std::printf("%s: %.2f s, the window unanswered at most %.0f ms, last shown \"%s\"\n", what,
                    run.seconds, run.longestUnanswered, qUtf8Printable(run.lastLabel));
        auto st = core->store().db().prepare(
            "SELECT status, records_processed, records_to_process, error_count, "
            "(SELECT count(*) FROM job_records WHERE job = jobs.id) FROM jobs WHERE name = ?1");
        st.bind(1, job);
        if (st.step())
            std::printf("  job: status %d, %d of %d processed, %d errors, %d records kept\n",
                        st.int32(0), st.int32(1), st.int32(2), st.int32(3), st.int32(4));
    };
    report("match", match, "Bench match");
    std::printf("  read pass %.2f s (%.0f records/s), search pass %.2f s (%.0f keys/s), "
                "%.0f records/s in all\n",
                match.readPassSeconds, records / match.readPassSeconds,
                match.seconds - match.readPassSeconds,
                records / (match.seconds - match.readPassSeconds), records / match.seconds);
    report("upload", upload, "Bench upload");
    std::printf("  %.0f records/s, counted and uploaded\n", records / upload.seconds);
    report("cancel after 2 s", cancelled, "Bench cancel");
    if (!platform.Texts().isEmpty())
        std::printf("messages shown: %s\n", qUtf8Printable(platform.Texts().join(" | ")));
    return 0;
}
