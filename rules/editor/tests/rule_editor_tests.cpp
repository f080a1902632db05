// "Edit Rule": a data change rule built from the templates alone, the Add
// MARC Field pair check keeping the editor open on the offending line,
// target lines changed only through their consequence, conjunctions
// exchanged on a move, Cancel, a rule stored in place, scan rules'
// Include and Exclude, and the rule name's characters.
#include "editor_fixture.h"
#include "frm_condition_template.h"
#include "frm_consequence_template.h"
#include "frm_rule_editor.h"
#include "rule_document.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <deque>
#include <functional>

namespace velumar {
namespace {

using testing::child;
using testing::choose;
using testing::press;
using testing::type;

using Step = std::function<int(QDialog&)>;

// Each template the editor opens is answered by the next step.
struct Steps {
    DialogRunner runner() {
        return [this](QDialog& dialog) {
            EXPECT_FALSE(queue.empty()) << "a template opened that no step answers";
            if (queue.empty())
                return int(QDialog::Rejected);
            Step step = std::move(queue.front());
            queue.pop_front();
            return step(dialog);
        };
    }
    std::deque<Step> queue;
};

Step condition(std::function<void(frmConditionTemplate&)> fill) {
    return [fill](QDialog& dialog) {
        auto& form = dynamic_cast<frmConditionTemplate&>(dialog);
        fill(form);
        form.Confirm();
        return form.result();
    };
}

Step consequence(std::function<void(frmConsequenceTemplate&)> fill) {
    return [fill](QDialog& dialog) {
        auto& form = dynamic_cast<frmConsequenceTemplate&>(dialog);
        fill(form);
        form.Confirm();
        return form.result();
    };
}

Step cancelled() {
    return [](QDialog&) { return int(QDialog::Rejected); };
}

Step fieldExists(const QString& tag) {
    return condition([tag](frmConditionTemplate& form) {
        form.SetKind(1);
        type(form, {"refField", "txtField"}, tag);
    });
}

Step addField(const QString& tag) {
    return consequence([tag](frmConsequenceTemplate& form) {
        form.SetKind(11);
        type(form, {"refField", "txtField"}, tag);
    });
}

Step addSubfield(const QString& tag, const QString& code, const QString& value) {
    return consequence([=](frmConsequenceTemplate& form) {
        form.SetKind(12);
        type(form, {"refField", "txtField"}, tag);
        type(form, {"refField", "txtSubfields"}, code);
        type(form, {"valSource", "txtValue"}, value);
    });
}

QStringList column(const QTableWidget& grid, int col) {
    QStringList out;
    for (int row = 0; row < grid.rowCount(); ++row)
        out << grid.item(row, col)->text();
    return out;
}

class RuleEditor : public testing::EditorTest {
protected:
    frmRuleEditor& editor(int ruleType = 2) {
        if (!editor_) {
            editor_ = std::make_unique<frmRuleEditor>(platform, profile(), ruleType);
            editor_->SetDialogRunner(steps.runner());
        }
        return *editor_;
    }
    QTableWidget& conditions() { return *child<QTableWidget>(editor(), {"vsfConditions"}); }
    QTableWidget& consequences() { return *child<QTableWidget>(editor(), {"vsfConsequences"}); }
    // Which of the condition buttons Edit, Remove, Up and Down may be pressed.
    std::vector<bool> conditionButtons() {
        std::vector<bool> out;
        for (const char* name :
             {"cmdEditCondition", "cmdRemoveCondition", "cmdConditionUp", "cmdConditionDown"})
            out.push_back(child<QPushButton>(editor(), {name})->isEnabled());
        return out;
    }
    void selectCondition(int row) { conditions().selectRow(row); }

    Steps steps;
    rules::RuleDocument document;
    std::unique_ptr<frmRuleEditor> editor_;
};

TEST_F(RuleEditor, ANewDataChangeRuleIsBuiltFromTheTemplatesAlone) {
    editor().Edit(document, nullptr);
    type(editor(), {"txtName"}, "Review");
    steps.queue = {fieldExists("245"), condition([](frmConditionTemplate& form) {
                       form.SetKind(9);
                       type(form, {"txtCataloger"}, "jsmith");
                   }),
                   addField("590"), addSubfield("590", "a", "Reviewed")};
    editor().AddCondition();
    editor().AddCondition();
    editor().AddConsequence();
    editor().AddConsequence();
    EXPECT_TRUE(steps.queue.empty());

    // Conditions after the first show the AND that joins them.
    EXPECT_EQ(column(conditions(), 0), (QStringList{"", "AND"}));
    EXPECT_EQ(column(conditions(), 1), (QStringList{R"(MARC is "245")", R"(Created by "jsmith")"}));
    EXPECT_EQ(column(consequences(), 0),
              (QStringList{R"(create MARC."590"(" "," "))",
                           R"(create MARC."590" subfield "a" with "Reviewed")"}));
    // The line just added is the one selected.
    EXPECT_EQ(consequences().currentRow(), 1);

    editor().Confirm();
    EXPECT_EQ(editor().result(), QDialog::Accepted);
    ASSERT_EQ(document.Rules.size(), 1u);
    const rules::RuleComponent& rule = document.Rules[0];
    EXPECT_EQ(editor().StoredRule(), &rule);
    EXPECT_EQ(rule.ToText(), "rule \"Review\"\r\n#priority n\r\n  when\r\n    MARC is \"245\"\r\n"
                             "    Created by \"jsmith\"\r\n  then\r\n"
                             "    create MARC.\"590\"(\" \",\" \")\r\n"
                             "    create MARC.\"590\" subfield \"a\" with \"Reviewed\"\r\n"
                             "end\r\n\r\n");
    EXPECT_EQ(rule.Summary, R"(When MARC is "245")");
    EXPECT_EQ(rule.Index, 1);
    EXPECT_EQ(document.NextRuleIndex, 2);
    EXPECT_EQ(rule.DisplayLines.size(), 9u);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(RuleEditor, AnAddMarcFieldWithoutItsSubfieldKeepsTheEditorOpenOnIt) {
    editor().Edit(document, nullptr);
    steps.queue = {fieldExists("245"), addField("590"), addSubfield("500", "a", "x")};
    editor().AddCondition();
    editor().AddConsequence();
    editor().AddConsequence();
    editor().Confirm();

    EXPECT_NE(editor().result(), QDialog::Accepted);
    EXPECT_EQ(platform.Messages(),
              (std::vector<ShownMessage>{
                  {"",
                   "An 'Add MARC Field' rule must be followed by an 'Add MARC Subfield' rule for "
                   "that field.\r\nViolating rule is: create MARC.\"590\"(\" \",\" \")",
                   MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok}}));
    EXPECT_EQ(consequences().currentRow(), 0);
    EXPECT_TRUE(consequences().item(0, 0)->isSelected());
    EXPECT_EQ(document.Rules.size(), 0u);
}

TEST_F(RuleEditor, ATargetLineIsChangedOnlyThroughItsConsequence) {
    document.LoadText("rule \"Statement\"\r\n  when\r\n    MARC is \"245\"\r\n"
                      "    TARGET MARC is \"650\" has any \"z\"\r\n  then\r\n"
                      "    copy MARC \"245\".\"c\" to existing \"650t\"\r\nend\r\n");
    editor().Edit(document, &document.Rules[0]);

    selectCondition(1);
    EXPECT_EQ(conditionButtons(), (std::vector<bool>{false, false, false, false}));
    editor().EditCondition();
    editor().RemoveCondition();
    editor().MoveCondition(true);
    EXPECT_EQ(editor().Rule().Conditions.size(), 2u);
    selectCondition(0);
    EXPECT_EQ(conditionButtons(), (std::vector<bool>{true, true, false, true}));

    // The copy's template changes its target line too.
    consequences().selectRow(0);
    steps.queue = {consequence([](frmConsequenceTemplate& form) {
        EXPECT_EQ(form.LineText(), "TARGET MARC is \"650\" has any \"z\"\n"
                                   "copy MARC \"245\".\"c\" to existing \"650t\"");
        type(form, {"cpyTarget", "refTarget", "txtField"}, "651");
    })};
    editor().EditConsequence();
    EXPECT_EQ(column(conditions(), 1),
              (QStringList{R"(MARC is "245")", R"(TARGET MARC is "651" has any "z")"}));
    EXPECT_EQ(column(consequences(), 0), QStringList{R"(copy MARC "245"."c" to existing "651t")"});

    // Copied into a new field instead, the target line goes.
    consequences().selectRow(0);
    steps.queue = {consequence([](frmConsequenceTemplate& form) {
        press(form, {"cpyTarget", "optNew"});
        type(form, {"cpyTarget", "refTarget", "txtField"}, "690");
        type(form, {"cpyTarget", "refTarget", "txtSubfields"}, "");
    })};
    editor().EditConsequence();
    EXPECT_EQ(column(conditions(), 1), QStringList{R"(MARC is "245")"});
    EXPECT_EQ(column(consequences(), 0), QStringList{R"(copy MARC "245"."c" to new "690")"});

    // A new copy into an existing field brings its target line.
    steps.queue = {consequence([](frmConsequenceTemplate& form) {
        form.SetKind(4);
        type(form, {"refField", "txtField"}, "100");
        press(form, {"cpyTarget", "optExisting"});
        type(form, {"cpyTarget", "refTarget", "txtField"}, "650");
        type(form, {"cpyTarget", "refTarget", "txtIndicator2"}, "7");
    })};
    editor().AddConsequence();
    EXPECT_EQ(column(conditions(), 1),
              (QStringList{R"(MARC is "245")", R"(TARGET MARC is "650"("#","7"))"}));
    // Removing that copy removes its target line.
    consequences().selectRow(1);
    editor().RemoveConsequence();
    EXPECT_EQ(column(conditions(), 1), QStringList{R"(MARC is "245")"});
    editor().Confirm();
    EXPECT_EQ(document.Rules[0].ToText(),
              "rule \"Statement\"\r\n#priority n\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n"
              "    copy MARC \"245\".\"c\" to new \"690\"\r\nend\r\n\r\n");
}

TEST_F(RuleEditor, MovingAConditionExchangesConjunctionsSoTheFirstHasNone) {
    document.LoadText("rule \"Three\"\r\n  when\r\n    MARC is \"100\"\r\n    MARC is \"200\"\r\n"
                      "    MARC is \"300\"\r\n  then\r\n    CHANGED\r\nend\r\n");
    editor().Edit(document, &document.Rules[0]);
    EXPECT_EQ(column(conditions(), 0), (QStringList{"", "AND", "AND"}));

    struct Move {
        int row;
        bool up;
        QStringList order;
        int selected;
    };
    const Move moves[] = {
        {2, true, {"300", "200"}, 1},
        {1, true, {"300", "100"}, 0},
        {0, false, {"100", "300"}, 1},
    };
    QStringList tags{"100", "200", "300"};
    for (const auto& move : moves) {
        selectCondition(move.row);
        editor().MoveCondition(move.up);
        const int other = move.up ? move.row - 1 : move.row + 1;
        tags.swapItemsAt(move.row, other);
        QStringList expected;
        for (const auto& tag : tags)
            expected << "MARC is \"" + tag + "\"";
        EXPECT_EQ(column(conditions(), 1), expected);
        EXPECT_EQ(column(conditions(), 0), (QStringList{"", "AND", "AND"}));
        EXPECT_EQ(conditions().currentRow(), move.selected);
    }
    EXPECT_EQ(editor().Rule().Conditions[0].Conjunction, "");
    // At the top Up waits, at the bottom Down.
    selectCondition(0);
    EXPECT_EQ(conditionButtons(), (std::vector<bool>{true, true, false, true}));
    selectCondition(2);
    EXPECT_EQ(conditionButtons(), (std::vector<bool>{true, true, true, false}));
}

TEST_F(RuleEditor, CancelLeavesTheDocumentAndOkStoresTheRuleInItsPlace) {
    document.LoadText("# header\r\nrule \"A\"\r\n  when\r\n    MARC is \"100\"\r\n  then\r\n"
                      "    CHANGED\r\nend\r\nrule \"B\"\r\n  when\r\n    MARC is \"24\"\r\n"
                      "  then\r\n    DELETE\r\nend\r\n");
    const std::string before = document.BuildText();

    editor().Edit(document, &document.Rules[0]);
    selectCondition(0);
    editor().RemoveCondition();
    EXPECT_EQ(conditions().rowCount(), 0);
    editor().reject();
    EXPECT_EQ(document.BuildText(), before);

    // The line in error shows its message; fixed in its template, it reads clean.
    frmRuleEditor second(platform, profile(), 2);
    second.SetDialogRunner(steps.runner());
    second.Edit(document, &document.Rules[1]);
    auto& grid = *child<QTableWidget>(second, {"vsfConditions"});
    EXPECT_EQ(grid.item(0, 1)->toolTip(),
              R"(Could not parse condition: 'marc is "24"' - invalid field length.)");
    grid.selectRow(0);
    steps.queue = {condition([](frmConditionTemplate& form) {
        EXPECT_EQ(form.Kind(), 1);
        type(form, {"refField", "txtField"}, "245");
    })};
    second.EditCondition();
    type(second, {"txtName"}, "B2");
    second.Confirm();
    ASSERT_EQ(document.Rules.size(), 2u);
    EXPECT_EQ(document.Rules[0].Name, "A");
    EXPECT_EQ(document.Rules[1].Name, "B2");
    EXPECT_EQ(document.Rules[1].Index, 2);
    EXPECT_TRUE(document.Rules[1].Conditions[0].ErrorText.empty());
    EXPECT_EQ(document.BuildText(),
              "# header\r\nrule \"A\"\r\n#priority n\r\n  when\r\n    MARC is \"100\"\r\n  then\r\n"
              "    CHANGED\r\nend\r\n\r\nrule \"B2\"\r\n#priority n\r\n  when\r\n"
              "    MARC is \"245\"\r\n  then\r\n    DELETE\r\nend\r\n\r\n");

    // A template cancelled adds nothing.
    steps.queue = {cancelled()};
    frmRuleEditor third(platform, profile(), 2);
    third.SetDialogRunner(steps.runner());
    third.Edit(document, nullptr);
    third.AddCondition();
    EXPECT_EQ(third.Rule().Conditions.size(), 0u);
}

TEST_F(RuleEditor, AScanRuleChoosesIncludeOrExclude) {
    frmRuleEditor& scan = editor(1);
    EXPECT_FALSE(consequences().isVisibleTo(&scan));
    EXPECT_EQ(scan.findChild<QPushButton*>("cmdAddConsequence"), nullptr);
    scan.Edit(document, nullptr);
    EXPECT_TRUE(child<QRadioButton>(scan, {"optInclude"})->isChecked());
    type(scan, {"txtName"}, "No title");
    steps.queue = {fieldExists("245")};
    scan.AddCondition();
    press(scan, {"optExclude"});
    scan.Confirm();
    ASSERT_EQ(document.Rules.size(), 1u);
    EXPECT_EQ(document.Rules[0].ToText(),
              "rule \"No title\"\r\n#priority n\r\n  when\r\n"
              "    MARC is \"245\"\r\n  then\r\n    EXCLUDE\r\nend\r\n\r\n");

    frmRuleEditor again(platform, profile(), 1);
    again.Edit(document, &document.Rules[0]);
    EXPECT_TRUE(child<QRadioButton>(again, {"optExclude"})->isChecked());
    press(again, {"optInclude"});
    again.Confirm();
    ASSERT_EQ(document.Rules[0].Consequences.size(), 1u);
    EXPECT_EQ(document.Rules[0].Consequences[0].Lines, std::vector<std::string>{"INCLUDE"});
}

TEST_F(RuleEditor, TheRuleNameTakesLettersDigitsBlanksAndItsPunctuationOnly) {
    editor().Edit(document, nullptr);
    auto* name = child<QLineEdit>(editor(), {"txtName"});
    QTest::keyClicks(name, "Date \"check\" @ 2024|x~");
    EXPECT_EQ(name->text(), "Date check @ 2024|x~");
    name->insert(QStringLiteral("\u00e9"));
    EXPECT_EQ(name->text(), "Date check @ 2024|x~");
}

} // namespace
} // namespace velumar
