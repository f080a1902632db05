// A server restart in the middle of a client session, over HTTP: the next
// request meets a session the new server does not know. The operator is
// told the session ended and logs in again, and the request goes again;
// an operator who does not log in again keeps every list as it was.
#include "core/server_core.h"
#include "demo/seed.h"
#include "general_helper.h"
#include "grid/grid.h"
#include "http/http_server.h"
#include "login_dialog.h"
#include "preferences/preferences.h"
#include "record_sets.h"
#include "request_channel.h"
#include "screens/frm_record_sets_view.h"
#include "session.h"
#include "session/session_renewal.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "tests/qt_printers.h"
#include "tests/temp_settings.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace velumar {
namespace {

// orvane-server's parts on 127.0.0.1, stopped and started again on the same
// database and port as a restart would: every session is forgotten.
class RestartableServer {
public:
    explicit RestartableServer(const QString& db) : db_(db.toStdString()) { start(0); }
    ~RestartableServer() { stop(); }

    void restart() {
        stop();
        start(port_);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

private:
    void start(int port) {
        orvane::server::ServerOptions options;
        options.dbPath = db_;
        options.logPath = db_ + ".log";
        core_ = std::make_unique<orvane::server::ServerCore>(options);
        orvane::server::initialiseStore(core_->store(), /*demo=*/true);
        http_ = std::make_unique<orvane::server::HttpServer>(core_->endpoint(), core_->log());
        port_ = http_->bind("127.0.0.1", port);
        ASSERT_GT(port_, 0) << http_->error();
        serving_ = std::thread([this] { http_->serve(); });
    }
    void stop() {
        if (http_)
            http_->stop();
        if (serving_.joinable())
            serving_.join();
        http_.reset();
        core_.reset();
    }

    std::string db_;
    int port_ = 0;
    std::unique_ptr<orvane::server::ServerCore> core_;
    std::unique_ptr<orvane::server::HttpServer> http_;
    std::thread serving_;
};

class ServerRestart : public ::testing::Test {
protected:
    void SetUp() override {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().Initialise({"velumar", "--server", server.url()}, qApp);
        ASSERT_EQ(state.session().Login(server.url(), "demo", "demo"), 0);
        ASSERT_TRUE(state.channel().Open(5, state.session(), nullptr));
        // The login dialog as the operator fills it: the password, then OK.
        state.helper().SetDialogRunner([this](orvane::LoginDialog& dialog) {
            ++dialogs;
            dialog.findChild<QLineEdit*>("txtPassword")->setText("demo");
            dialog.TryLogin();
            return dialog.result();
        });
    }
    RecordSets& sets() { return state.manager<RecordSets>(); }
    QStringList listedNames() {
        QStringList names;
        for (int i = 0; i < sets().Items().Count(); ++i)
            names << sets().Items().At(i).Name();
        return names;
    }

    QTemporaryDir dir;
    RestartableServer server{dir.filePath("orvane.db")};
    testing::TempSettings settings;
    RecordingPlatformServices platform;
    SessionState state{platform};
    int dialogs = 0;
};

TEST_F(ServerRestart, TheOperatorLogsInAgainAndTheRequestThatFailedIsDone) {
    const qint32 before = sets().AddRecordSet("Before the restart", 1);
    ASSERT_GT(before, 0);
    frmRecordSets_View screen(state);
    Grid& grid = *screen.findChild<Grid*>("vsf");
    const int rows = grid.rowCount();
    ASSERT_GT(rows, 0);
    const QString oldToken = state.session().Token();

    server.restart();
    platform.AnswerNext(MessageAnswer::Yes);
    const qint32 after = sets().AddRecordSet("After the restart", 1);

    EXPECT_GT(after, before);
    EXPECT_EQ(dialogs, 1);
    ASSERT_EQ(platform.Messages().size(), 1u) << platform.Texts().join('|').toStdString();
    EXPECT_EQ(platform.Messages()[0].text, SessionEndedQuestion());
    EXPECT_EQ(platform.Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Question);
    EXPECT_NE(state.session().Token(), oldToken);
    EXPECT_EQ(state.session().OperatorId(), "demo");

    // The new session carries on with no further question; the set was made once.
    sets().RefreshRecordSetScreens(after);
    EXPECT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(listedNames().count("After the restart"), 1);
    EXPECT_EQ(grid.rowCount(), rows + 1);
    EXPECT_TRUE(sets().AddToRecordSetQuiet({1, 2, 3}, after, 1));
    EXPECT_EQ(sets().GetRecordSet(after) ? sets().GetRecordSet(after)->RecordCount() : -1, 0)
        << "not reloaded yet";
    sets().LoadRecordSets();
    ASSERT_NE(sets().GetRecordSet(after), nullptr);
    EXPECT_EQ(sets().GetRecordSet(after)->RecordCount(), 3);
}

TEST_F(ServerRestart, AnOperatorWhoDoesNotLogInAgainKeepsTheListsAsTheyWere) {
    ASSERT_GT(sets().AddRecordSet("Still listed", 3), 0);
    frmRecordSets_View screen(state);
    Grid& grid = *screen.findChild<Grid*>("vsf");
    const QStringList listed = listedNames();
    const int rows = grid.rowCount();
    ASSERT_TRUE(listed.contains("Still listed"));

    server.restart();
    platform.AnswerNext(MessageAnswer::No);
    sets().RefreshRecordSetScreens();

    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(platform.Texts(), QStringList{SessionEndedQuestion()});
    EXPECT_EQ(listedNames(), listed);
    EXPECT_EQ(grid.rowCount(), rows);

    // Offered again at the next request; this time the operator logs in.
    platform.AnswerNext(MessageAnswer::Yes);
    sets().RefreshRecordSetScreens();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(platform.Texts().size(), 2);
    EXPECT_EQ(listedNames(), listed);
}

} // namespace
} // namespace velumar
