#pragma once
// The preview against the embedded server on a database of the suite's own,
// filled with the demo data once for the suite; clients log in as the demo
// operators. Data change groups are saved as the rule screens save them.

#include "core/server_core.h"
#include "embedded_server.h"
#include "preferences/preferences.h"
#include "preview.h"
#include "record_sets.h"
#include "request_channel.h"
#include "rule_sets.h"
#include "session.h"
#include "session/session_state.h"
#include "store/database.h"
#include "store/store.h"
#include "testing/recording_platform_services.h"
#include "tests/temp_settings.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

inline constexpr int DataChangeRules = 2;

struct PreviewClient {
    PreviewClient(const QString& db, const QString& operatorId) {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().Initialise({"velumar", "--db", db}, qApp);
        EXPECT_EQ(state.session().Login("", operatorId, ""), 0) << operatorId.toStdString();
        EXPECT_TRUE(state.channel().Open(5, state.session(), nullptr));
    }
    Preview& preview() { return state.manager<Preview>(); }
    RecordSets& sets() { return state.manager<RecordSets>(); }

    // A data change document of these rules ("rule" ... "end", CR LF lines)
    // alone in a group of the same name; the group as the client lists it.
    RuleSet group(const QString& name, const QString& rules) {
        orvane::Channel& channel = state.channel();
        channel.AddNumericField("RT", DataChangeRules);
        channel.AddField("NM", name);
        channel.AddField("DSC", QString());
        channel.AddField("DOC", "# " + name + "\r\n" + rules);
        channel.AddField("OI", state.session().OperatorId());
        EXPECT_EQ(channel.SendRequest("SAVE_RULE_DOCUMENT"), 0) << name.toStdString();
        const qint32 document = channel.GetNumericField("ID");
        channel.AddNumericField("RT", DataChangeRules);
        channel.AddField("NM", name);
        channel.AddField("DSC", QString());
        channel.AddField("OI", state.session().OperatorId());
        channel.AddNumericField("RDID", document);
        channel.AddNumericField("RO", 0);
        EXPECT_EQ(channel.SendRequest("SAVE_RULE_SET"), 0) << name.toStdString();
        const qint32 id = channel.GetNumericField("ID");
        RuleSets& groups = state.manager<RuleSets>();
        groups.LoadRuleSets(DataChangeRules);
        const RuleSet* listed = groups.GetRuleSet(DataChangeRules, id);
        EXPECT_NE(listed, nullptr) << name.toStdString();
        return listed ? *listed : RuleSet();
    }

    // A new bibliographic (or other) record set holding these ids in order.
    const RecordSet& recordSet(const QString& name, const QList<qint32>& ids, int recordType = 1) {
        const qint32 id = sets().AddRecordSet(name, recordType);
        EXPECT_GT(id, 0) << name.toStdString();
        EXPECT_TRUE(sets().AddToRecordSetQuiet(ids, id, recordType));
        sets().LoadRecordSets();
        const RecordSet* set = sets().GetRecordSet(id);
        EXPECT_NE(set, nullptr);
        return *set;
    }

    TempSettings settings;
    RecordingPlatformServices platform;
    SessionState state{platform};
};

// A rule as the rule screens write it.
inline QString Rule(const QString& name, const QStringList& when, const QStringList& then) {
    QString text = "rule \"" + name + "\"\r\n#priority n\r\n  when\r\n";
    for (const QString& line : when)
        text += "    " + line + "\r\n";
    text += "  then\r\n";
    for (const QString& line : then)
        text += "    " + line + "\r\n";
    return text + "end\r\n\r\n";
}

class PreviewDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        db = dir->filePath("velumar.db");
        core = orvane::openEmbeddedServer(db);
        // The server keeps compiled groups by id for the whole process, so
        // each suite's groups start at ids of their own.
        static int suites = 0;
        core->store().db().exec("INSERT INTO rule_sets (id, rule_type, name, created_by) VALUES (" +
                                std::to_string(++suites * 1000) + ", 2, 'Ids from here', 'demo')");
    }
    static void TearDownTestSuite() {
        core.reset();
        delete dir;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline QString db;
    static inline std::shared_ptr<orvane::server::ServerCore> core;
};

} // namespace velumar::testing
