// Pictures of the rule editor and each template as the operator sees them,
// written when VELUMAR_SCREENSHOTS names a folder (for looking at, not
// compared): a data change rule, and a template filled for a typical line.
#include "editor_fixture.h"
#include "frm_condition_template.h"
#include "frm_consequence_template.h"
#include "frm_expression_template.h"
#include "frm_rule_editor.h"
#include "rule_document.h"

#include <QDir>
#include <QPixmap>

namespace velumar {
namespace {

using testing::choose;
using testing::type;

class EditorScreenshots : public testing::EditorTest {
protected:
    void SetUp() override {
        folder = qEnvironmentVariable("VELUMAR_SCREENSHOTS");
        if (folder.isEmpty())
            GTEST_SKIP() << "VELUMAR_SCREENSHOTS names no folder";
        testing::EditorTest::SetUp();
    }
    void save(QWidget& widget, const QString& name) {
        widget.show();
        // The size a dialog opens at.
        widget.resize(widget.sizeHint().expandedTo(widget.minimumSize()));
        const QString path = QDir(folder).filePath(name + ".png");
        EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
        widget.hide();
    }
    QString folder;
};

TEST_F(EditorScreenshots, RuleEditorAndTemplates) {
    rules::RuleDocument document;
    document.LoadText("rule \"Review\"\r\n  when\r\n    MARC is \"245\"\r\n"
                      "    MARC.control.\"008\".Language equals \"eng\"\r\n"
                      "    MARC is \"24\"\r\n  then\r\n    create MARC.\"590\"(\" \",\" \")\r\n"
                      "    create MARC.\"590\" subfield \"a\" with \"Reviewed\"\r\nend\r\n");
    frmRuleEditor editor(platform, profile(), 2);
    editor.SetErrorHighlight(QColor(255, 220, 160));
    editor.Edit(document, &document.Rules[0]);
    save(editor, "rule-editor");
    frmRuleEditor scan(platform, profile(), 1);
    scan.Edit(document, &document.Rules[0]);
    save(scan, "rule-editor-scan");

    frmConditionTemplate condition(platform, profile());
    condition.SetKind(6);
    type(condition, {"refField", "txtField"}, "650");
    type(condition, {"refField", "txtSubfields"}, "a");
    choose(condition, {"cboOperator"}, "Between");
    type(condition, {"txtValue1"}, "A");
    type(condition, {"txtValue2"}, "M");
    save(condition, "condition-template");

    frmConsequenceTemplate consequence(platform, true);
    consequence.SetAddedFieldTags({"590"});
    consequence.SetKind(12);
    type(consequence, {"refField", "txtField"}, "590");
    type(consequence, {"refField", "txtSubfields"}, "a");
    type(consequence, {"valSource", "txtValue"}, "Reviewed");
    save(consequence, "consequence-template");

    frmConsequenceTemplate replace(platform, true);
    replace.SetKind(15);
    type(replace, {"rplString", "refSource", "txtField"}, "650");
    type(replace, {"rplString", "refSource", "txtSubfields"}, "x");
    type(replace, {"rplString", "txtSearch"}, "History");
    type(replace, {"rplString", "txtReplace"}, "Histoire");
    save(replace, "consequence-template-replace");

    frmExpressionTemplate expression(platform);
    expression.SetExpression(R"(MARC.control."008".Date1)");
    save(expression, "expression-template");
}

} // namespace
} // namespace velumar
