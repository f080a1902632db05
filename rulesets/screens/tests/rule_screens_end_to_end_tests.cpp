// The rule screens against the embedded server with its demo data: a new
// operator builds a data change rule set from the templates alone, links it
// into a group, finds both after a reload, and the server's preview of the
// group adds the new 590 to a demo record.
#include "embedded_server.h"
#include "frm_condition_template.h"
#include "frm_consequence_template.h"
#include "frm_rule_editor.h"
#include "frm_rule_set_groups_auth_load_match.h"
#include "frm_rule_set_groups_auth_load_merge.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "link_grids.h"
#include "main_window/frm_main.h"
#include "preferences/preferences.h"
#include "request_channel.h"
#include "rule_document_screen.h"
#include "rule_screen_kind.h"
#include "rule_set_group_screen.h"
#include "rule_set_screen_setup.h"
#include "rule_sets.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "tests/qt_printers.h"
#include "tests/temp_settings.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

namespace velumar {
namespace {

namespace kinds = rule_screen_kinds;

// One operator's run of the client on the test's embedded server.
struct DemoClient {
    DemoClient(const QString& db, const QString& operatorId) {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().Initialise({"velumar", "--db", db}, qApp);
        EXPECT_EQ(state.session().Login("", operatorId, ""), 0);
        EXPECT_TRUE(state.channel().Open(5, state.session(), nullptr));
    }
    testing::TempSettings settings;
    RecordingPlatformServices platform;
    SessionState state{platform};
};

void type(QObject& within, const char* parent, const char* name, const QString& text) {
    QObject* holder = parent ? within.findChild<QObject*>(parent) : &within;
    ASSERT_NE(holder, nullptr) << parent;
    auto* edit = holder->findChild<QLineEdit*>(name);
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(text);
}

// The tags and the subfield data of an ISO 2709 record sent as one character per octet.
QStringList fieldsOf(const QString& record) {
    const QByteArray bytes = record.toLatin1();
    const int base = bytes.mid(12, 5).toInt();
    QStringList fields;
    for (int entry = 24; entry + 12 <= base - 1; entry += 12) {
        const QByteArray tag = bytes.mid(entry, 3);
        const int length = bytes.mid(entry + 3, 4).toInt();
        const int start = bytes.mid(entry + 7, 5).toInt();
        QByteArray data = bytes.mid(base + start, length - 1);
        data.replace('\x1f', '$');
        fields << QString::fromLatin1(tag + ' ' + data);
    }
    return fields;
}

class RuleScreensEndToEnd : public ::testing::Test {
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

    static inline QTemporaryDir* dir = nullptr;
    static inline QString db;
    static inline std::shared_ptr<orvane::server::ServerCore> core;
};

TEST_F(RuleScreensEndToEnd, ANewUserBuildsAWorkingGroupFromTheTemplatesAlone) {
    DemoClient demo(db, "demo");

    // The rule set: when a record has a 245, add a 590 with $a "Reviewed".
    RuleDocumentScreen ruleSets(demo.state, kinds::DataChangeRuleSets);
    ruleSets.Activate();
    ruleSets.New();
    type(ruleSets, nullptr, "fpName", "Reviewed titles");
    std::deque<std::function<int(QDialog&)>> templates{
        [](QDialog& dialog) {
            auto& line = dynamic_cast<frmConditionTemplate&>(dialog);
            line.SetKind(1);
            type(line, "refField", "txtField", "245");
            line.Confirm();
            return line.result();
        },
        [](QDialog& dialog) {
            auto& line = dynamic_cast<frmConsequenceTemplate&>(dialog);
            line.SetKind(11);
            type(line, "refField", "txtField", "590");
            line.Confirm();
            return line.result();
        },
        [](QDialog& dialog) {
            auto& line = dynamic_cast<frmConsequenceTemplate&>(dialog);
            line.SetKind(12);
            type(line, "refField", "txtField", "590");
            type(line, "refField", "txtSubfields", "a");
            type(line, "valSource", "txtValue", "Reviewed");
            line.Confirm();
            return line.result();
        }};
    ruleSets.SetDialogRunner([&](QDialog& dialog) {
        auto& editor = dynamic_cast<frmRuleEditor&>(dialog);
        editor.SetDialogRunner([&](QDialog& line) {
            auto answer = templates.front();
            templates.pop_front();
            return answer(line);
        });
        editor.findChild<QLineEdit*>("txtName")->setText("Review note");
        editor.AddCondition();
        editor.AddConsequence();
        editor.AddConsequence();
        editor.Confirm();
        return editor.result();
    });
    ruleSets.findChild<QPushButton*>("cmdAddRule")->click();
    EXPECT_TRUE(templates.empty());
    ruleSets.Save();
    ASSERT_FALSE(ruleSets.EditInProgress()) << demo.platform.Texts().join('|').toStdString();
    const qint32 documentId = ruleSets.SelectedId();
    ASSERT_GT(documentId, 0);

    // The group: the new rule set linked alone.
    RuleSetGroupScreen groups(demo.state, kinds::DataChangeGroups);
    groups.Activate();
    groups.New();
    type(groups, nullptr, "fpName", "Review group");
    Grid& available = *groups.findChild<Grid*>("vsfRules");
    SelectGridRow(available, -1, documentId);
    ASSERT_EQ(available.TextMatrix(GetGridSelection(available).row, 0), "Reviewed titles");
    groups.Links().Add();
    groups.Save();
    ASSERT_FALSE(groups.EditInProgress()) << demo.platform.Texts().join('|').toStdString();
    const qint32 groupId = groups.SelectedId();
    ASSERT_GT(groupId, 0);
    EXPECT_TRUE(demo.platform.Messages().empty()) << demo.platform.Texts().join('|').toStdString();

    // Another run finds both, the rule text as built and the link in place.
    DemoClient again(db, "demo");
    RuleSets& sets = again.state.manager<RuleSets>();
    sets.LoadRuleDocuments(2);
    const auto* document = sets.GetRuleDocument(2, documentId);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Name, "Reviewed titles");
    EXPECT_NE(document->Text.find("rule \"Review note\"\r\n#priority n\r\n  when\r\n"
                                  "    MARC is \"245\"\r\n  then\r\n"
                                  "    create MARC.\"590\"(\" \",\" \")\r\n"
                                  "    create MARC.\"590\" subfield \"a\" with \"Reviewed\"\r\n"
                                  "end\r\n"),
              std::string::npos)
        << document->Text;
    sets.LoadRuleSets(2);
    const RuleSet* group = sets.GetRuleSetWithLinks(2, groupId, true);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Name, "Review group");
    ASSERT_EQ(group->Links.size(), 1u);
    EXPECT_EQ(group->Links[0].DocId, documentId);

    // The group runs: the server's preview of a demo record holds the new 590.
    orvane::Channel& channel = again.state.channel();
    channel.AddNumericField("RID", 1);
    channel.AddNumericField("RT", 1);
    channel.AddNumericField("ID", groupId);
    channel.AddField("OI", "demo");
    ASSERT_EQ(channel.SendRequest("PREVIEW_RECORD"), 0);
    const QStringList before = fieldsOf(channel.GetField("BR"));
    const QStringList after = fieldsOf(channel.GetField("AR"));
    EXPECT_FALSE(before.filter(QRegularExpression("^245 ")).isEmpty());
    EXPECT_TRUE(before.filter(QRegularExpression("^590 ")).isEmpty());
    EXPECT_EQ(after.filter(QRegularExpression("^590 ")), QStringList{"590   $aReviewed"});
}

TEST_F(RuleScreensEndToEnd, TheNavigationKeysOpenEachRuleScreenOnceSetUp) {
    DemoClient demo(db, "demo");
    SetUpRuleSetScreens(demo.state);
    frmMain& window = demo.state.mainWindow();
    window.show();
    struct Key {
        const char* key;
        const char* group;
        const char* screen;
        int help;
    };
    const Key keys[] = {
        {"RuleGeneration_RuleDocuments", "Rules", "frmRules_View", 30100},
        {"RuleGeneration_RuleSets", "Rules", "frmRuleSets_View", 30200},
        {"RuleGeneration_ScanRuleDocs", "Rules", "frmScanRules_View", 30300},
        {"RuleGeneration_ScanRuleSets", "Rules", "frmScanRuleSets_View", 30400},
        {"RuleGeneration_AuthLoadMatchRuleSets", "Authority Loading",
         "frmRuleSetGroups_AuthLoadMatch", 30500},
        {"RuleGeneration_AuthLoadMergeRuleSets", "Authority Loading",
         "frmRuleSetGroups_AuthLoadMerge", 30600},
        {"RuleGeneration_AuthLoadReconcileRuleSets", "Authority Loading",
         "frmRuleSetGroups_AuthLoadReconcile", 30700},
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(key.key);
        window.OpenFunction(key.key, key.group, key.screen);
        auto* screen = dynamic_cast<RuleObjectScreen*>(window.Screen(key.key));
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->objectName(), key.screen);
        EXPECT_EQ(screen->HelpContextId(), key.help);
        EXPECT_EQ(window.FrontScreen(), screen);
        // Opened, the screen lists its type from the server.
        EXPECT_GT(screen->findChild<Grid*>("vsf")->rowCount(), 0);
    }
    EXPECT_NE(dynamic_cast<frmRuleSetGroups_AuthLoadMatch*>(
                  window.Screen("RuleGeneration_AuthLoadMatchRuleSets")),
              nullptr);
    EXPECT_NE(dynamic_cast<frmRuleSetGroups_AuthLoadMerge*>(
                  window.Screen("RuleGeneration_AuthLoadMergeRuleSets")),
              nullptr);
    EXPECT_TRUE(demo.platform.Messages().empty()) << demo.platform.Texts().join('|').toStdString();
}

TEST_F(RuleScreensEndToEnd, TheViewerSeesTheListsAndMayChangeNothing) {
    DemoClient viewer(db, "viewer");
    RuleDocumentScreen ruleSets(viewer.state, kinds::DataChangeRuleSets);
    ruleSets.Activate();
    EXPECT_GT(ruleSets.findChild<Grid*>("vsf")->rowCount(), 0);
    for (const char* name : {"cmdNew", "cmdCopy", "cmdEdit", "cmdDelete", "cmdImport"})
        EXPECT_FALSE(ruleSets.findChild<QPushButton*>(name)->isEnabled()) << name;
    EXPECT_TRUE(ruleSets.findChild<QPushButton*>("cmdExport")->isEnabled());
    EXPECT_TRUE(viewer.platform.Messages().empty());
}

} // namespace
} // namespace velumar
