// The record set manager against the embedded server on a database of the
// test's own: the demo operator makes, fills, copies, renames and deletes
// sets; the viewer is refused by the server itself.
#include "core/server_core.h"
#include "embedded_server.h"
#include "record_sets.h"
#include "request_channel.h"
#include "session.h"
#include "session/session_state.h"
#include "store/database.h"
#include "store/store.h"
#include "testing/recording_platform_services.h"
#include "tests/qt_printers.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velumar {
namespace {

// One operator's run of the client on the shared database.
struct Client {
    Client(const QString& db, const QString& operatorId) {
        state.session().Initialise({"velumar", "--db", db}, qApp);
        EXPECT_EQ(state.session().Login("", operatorId, ""), 0) << operatorId.toStdString();
        EXPECT_TRUE(state.channel().Open(5, state.session(), nullptr));
    }
    RecordSets& sets() { return state.manager<RecordSets>(); }
    QStringList names() {
        sets().LoadRecordSets();
        QStringList out;
        for (int i = 0; i < sets().Items().Count(); ++i)
            out.push_back(sets().Items().At(i).Name());
        return out;
    }

    RecordingPlatformServices platform;
    SessionState state{platform};
};

class RecordSetsEndToEnd : public ::testing::Test {
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
    void addPendingJob(qint32 recordSetId) {
        core->store().db().exec("INSERT INTO jobs (name, job_type, status, record_set_id, "
                                "operator_id) VALUES ('Scan', 0, 0, " +
                                std::to_string(recordSetId) + ", 'demo')");
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline QString db;
    static inline std::shared_ptr<orvane::server::ServerCore> core;
};

TEST_F(RecordSetsEndToEnd, TheDemoOperatorMakesFillsCopiesRenamesAndDeletesASet) {
    Client demo(db, "demo");
    RecordSets& sets = demo.sets();

    const qint32 id = sets.AddRecordSet("Weeding", 1);
    ASSERT_GT(id, 0);
    EXPECT_EQ(sets.AddRecordSet("weeding", 3), -1);
    EXPECT_TRUE(sets.AddToRecordSetQuiet({5, 999999, 3, -4}, id, 1));
    EXPECT_EQ(demo.platform.Texts(),
              (QStringList{"Record set name is already in use. Please select a different name.",
                           "The following record ids were not added, as no Bib records matching "
                           "these ids were found in the database:\r\n999999, -4"}));
    demo.platform.Clear();

    const qint32 copy = sets.CopyRecordSet(id, "Copy of Weeding", "second look");
    ASSERT_GT(copy, id);
    EXPECT_EQ(sets.UpdateRecordSet(id, "Weeding 2026", "shelf list"), id);
    EXPECT_EQ(sets.UpdateRecordSet(copy, "Weeding 2026", ""), 0);
    sets.LoadRecordSets();
    const RecordSet* renamed = sets.GetRecordSet(id);
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->Name(), "Weeding 2026");
    EXPECT_EQ(renamed->Description(), "shelf list");
    EXPECT_EQ(renamed->RecordCount(), 2);
    EXPECT_EQ(renamed->RecordTypeName(), "Bib");
    EXPECT_EQ(renamed->UpdateOperator(), "demo");
    EXPECT_FALSE(renamed->UpdateDate().isEmpty());
    EXPECT_EQ(sets.GetRecordSet(copy)->RecordCount(), 2);

    // The ids come back in the order they were sent, as the export reads them.
    orvane::Channel& channel = demo.state.channel();
    channel.AddNumericField("RSID", copy);
    channel.AddField("OI", "demo");
    channel.AddField("IDYN", "Y");
    channel.AddField("CB", "1");
    ASSERT_EQ(channel.SendRequest("GET_RECORD_SET"), 0);
    EXPECT_EQ(channel.GetField("RIDC"), "5\r\n3");
    EXPECT_EQ(channel.GetNumericField("CB"), 0);

    addPendingJob(copy);
    sets.DeleteRecordSet(copy);
    sets.DeleteRecordSet(id);
    EXPECT_EQ(demo.platform.Texts(),
              (QStringList{"Record set name is already in use. Please select a different name.",
                           "Cannot delete record set - it is in use in a pending or running job."}));
    const QStringList left = demo.names();
    EXPECT_TRUE(left.contains("Copy of Weeding"));
    EXPECT_FALSE(left.contains("Weeding 2026"));
}

TEST_F(RecordSetsEndToEnd, TheServerRefusesTheViewerEveryChange) {
    Client demo(db, "demo");
    const qint32 id = demo.sets().AddRecordSet("Shared names", 3);
    ASSERT_GT(id, 0);
    ASSERT_TRUE(demo.sets().AddToRecordSetQuiet({1, 2}, id, 3));

    Client viewer(db, "viewer");
    EXPECT_TRUE(viewer.names().contains("Shared names"));
    EXPECT_EQ(viewer.sets().AddRecordSet("Mine", 1), -1);
    EXPECT_EQ(viewer.sets().CopyRecordSet(id, "Mine", ""), 0);
    EXPECT_EQ(viewer.sets().UpdateRecordSet(id, "Mine", ""), 0);
    viewer.sets().DeleteRecordSet(id);
    EXPECT_FALSE(viewer.sets().AddToRecordSetQuiet({3}, id, 3));
    EXPECT_EQ(viewer.platform.Texts(),
              (QStringList{"Operator not authorized to add record set.",
                           "Operator not authorized to copy record set.",
                           "Failed to save record set.",
                           "Operator not authorized to delete record set.",
                           "Operator not authorized to add to record set."}));

    demo.sets().LoadRecordSets();
    ASSERT_NE(demo.sets().GetRecordSet(id), nullptr);
    EXPECT_EQ(demo.sets().GetRecordSet(id)->Name(), "Shared names");
    EXPECT_EQ(demo.sets().GetRecordSet(id)->RecordCount(), 2);
}

} // namespace
} // namespace velumar
