// Pictures of the rule screens at the size of the main window's work area,
// written when VELUMAR_SCREENSHOTS names a folder (for looking at, not
// compared): the list with its view panel, and each edit panel.
#include "frm_rule_set_groups_auth_load_match.h"
#include "rule_document_screen.h"
#include "rule_screen_kind.h"
#include "rule_set_group_screen.h"
#include "screens_fixture.h"

#include <QDir>
#include <QPixmap>

namespace velumar {
namespace {

namespace kinds = rule_screen_kinds;

class RuleScreenShots : public testing::ScriptedRuleScreens {
protected:
    void SetUp() override {
        folder = qEnvironmentVariable("VELUMAR_SCREENSHOTS");
        if (folder.isEmpty())
            GTEST_SKIP() << "VELUMAR_SCREENSHOTS names no folder";
        start();
    }
    void save(QWidget& screen, const QString& name) {
        // The work area beside the navigation bar of the fixed-size main window.
        screen.resize(550, 490);
        screen.show();
        const QString path = QDir(folder).filePath(name + ".png");
        EXPECT_TRUE(screen.grab().save(path)) << path.toStdString();
    }
    QString folder;
};

TEST_F(RuleScreenShots, ListsAndEditPanels) {
    RuleDocumentScreen ruleSets(state, kinds::DataChangeRuleSets);
    ruleSets.Activate();
    save(ruleSets, "rule-sets-view");
    ruleSets.Edit();
    save(ruleSets, "rule-sets-edit");

    RuleSetGroupScreen groups(state, kinds::DataChangeGroups);
    groups.Activate();
    groups.Edit();
    save(groups, "rule-set-groups-edit");

    transport->respond("LstCatDp", [](const orvane::wire::Request&) {
        return orvane::wire::Answer{0, {{"DID", 1}, {"DCd", "LCCN"}, {"DNm", "Control number"}}};
    });
    frmRuleSetGroups_AuthLoadMatch match(state);
    match.Activate();
    save(match, "load-match-view");
    match.New();
    save(match, "load-match-edit");
}

} // namespace
} // namespace velumar
