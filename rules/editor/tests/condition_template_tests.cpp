// The condition template: the kind list and operators in their order, the
// fields and line each kind writes, indicator and subfield input rules, the
// OK checks with their exact messages, and existing lines shown for editing.
#include "editor_fixture.h"
#include "frm_condition_template.h"
#include "rule_condition.h"
#include "template_inputs.h"

#include <QDate>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

namespace velumar {
namespace {

using testing::child;
using testing::choose;
using testing::press;
using testing::type;

class ConditionTemplate : public testing::EditorTest {
protected:
    frmConditionTemplate& dialog() {
        if (!dialog_)
            dialog_ = std::make_unique<frmConditionTemplate>(platform, profile());
        return *dialog_;
    }
    std::unique_ptr<frmConditionTemplate> dialog_;
};

TEST_F(ConditionTemplate, KindsAndOperatorsAreListedInOrderWithTheirNumbers) {
    auto* kinds = child<QComboBox>(dialog(), {"cboKind"});
    EXPECT_EQ(testing::texts(*kinds),
              (QStringList{"Create Date", "Created By", "MARC Control Field Exists",
                           "MARC Control Field Value", "MARC Field Has Any",
                           "MARC Field / Subfield Exists", "MARC Field nXX Exists",
                           "MARC Field nnX Exists", "MARC Field Value", "Update Date", "Updated By",
                           "Owning Library", "Opac Suppress Flag is",
                           "MARC Field Exists And Does Not Have"}));
    EXPECT_EQ(testing::itemData(*kinds),
              (QList<int>{8, 9, 4, 7, 5, 1, 2, 3, 6, 10, 11, 12, 19, 20}));
    auto* operators = child<QComboBox>(dialog(), {"cboOperator"});
    EXPECT_EQ(testing::texts(*operators),
              (QStringList{"Exists", "Equals", "Does Not Equal", "Contains", "Between",
                           "Does not Contain", "Starts With"}));
    EXPECT_EQ(testing::itemData(*operators), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    // A new condition is a field that exists, joined with AND.
    EXPECT_EQ(dialog().Kind(), 1);
    EXPECT_EQ(dialog().Combinator(), "AND");
}

struct KindCase {
    const char* name;
    int kind;
    std::function<void(QDialog&)> fill;
    const char* line;
    std::function<void(const rules::RuleCondition&)> fields;
};

void fillField(QDialog& d, const QString& tag, const QString& subfields = {}) {
    type(d, {"refField", "txtField"}, tag);
    type(d, {"refField", "txtSubfields"}, subfields);
}

TEST_F(ConditionTemplate, EachKindSetsItsFieldsAndShowsTheLineItWrites) {
    const QDate first(2024, 1, 1);
    const KindCase cases[] = {
        {"field exists, every part", 1,
         [](QDialog& d) {
             fillField(d, "245", "a");
             type(d, {"refField", "txtIndicator1"}, "1");
             type(d, {"refField", "txtIndicator2"}, "*");
             choose(d, {"refField", "cboFieldOccurrence"}, "Last");
             choose(d, {"refField", "cboSubfieldOccurrence"}, "1st");
         },
         R"(MARC is "245"("1","#")["99"]."a"["0"])",
         [](const rules::RuleCondition& c) {
             EXPECT_EQ(c.Field, "245");
             EXPECT_EQ(c.Indicator1, "1");
             EXPECT_EQ(c.Indicator2, "#");
             EXPECT_EQ(c.FieldOccurrence, 99);
             EXPECT_EQ(c.Subfields, "a");
             EXPECT_EQ(c.SubfieldOccurrence, 0);
         }},
        {"blank indicator kept", 1,
         [](QDialog& d) {
             fillField(d, "650");
             type(d, {"refField", "txtIndicator1"}, " ");
             type(d, {"refField", "txtIndicator2"}, "7");
         },
         R"(MARC is "650"(" ","7"))",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Indicator1, " "); }},
        {"nXX", 2, [](QDialog& d) { fillField(d, "6"); }, R"(MARC is "6"XX)",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Field, "6"); }},
        {"nnX", 3, [](QDialog& d) { fillField(d, "65"); }, R"(MARC is "65"X)",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Field, "65"); }},
        {"control field exists with a variable", 4,
         [](QDialog& d) {
             choose(d, {"ctlControl", "cboControlField"}, "008");
             choose(d, {"ctlControl", "cboControlVariable"}, "Date1");
         },
         R"(MARC.control is "008".Date1)",
         [](const rules::RuleCondition& c) {
             EXPECT_EQ(c.ControlField, "008");
             EXPECT_EQ(c.ControlVariable, "Date1");
         }},
        {"has any", 5, [](QDialog& d) { fillField(d, "650", "xz"); }, R"(MARC."650" has any "xz")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Subfields, "xz"); }},
        {"does not have any", 20, [](QDialog& d) { fillField(d, "650", "2"); },
         R"(MARC."650" does not have any "2")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Kind, 20); }},
        {"field value equals", 6,
         [](QDialog& d) {
             fillField(d, "650", "a");
             choose(d, {"cboOperator"}, "Equals");
             type(d, {"txtValue1"}, "Lakes");
         },
         R"(MARC."650"."a" equals "Lakes")",
         [](const rules::RuleCondition& c) {
             EXPECT_EQ(c.Operator, 1);
             EXPECT_EQ(c.Value1, "Lakes");
         }},
        {"field value between", 6,
         [](QDialog& d) {
             fillField(d, "650", "a");
             choose(d, {"cboOperator"}, "Between");
             type(d, {"txtValue1"}, "A");
             type(d, {"txtValue2"}, "M");
         },
         R"(MARC range "650"."a" between "A" and "M")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Value2, "M"); }},
        {"any field contains", 6,
         [](QDialog& d) {
             choose(d, {"cboOperator"}, "Contains");
             type(d, {"txtValue1"}, "France");
         },
         R"(MARC contains "France")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Field, ""); }},
        {"subfield starts with", 6,
         [](QDialog& d) {
             fillField(d, "100", "a");
             choose(d, {"cboOperator"}, "Starts With");
             type(d, {"txtValue1"}, "Smith");
         },
         R"(MARC with subfield "100"."a" starts with "Smith")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Operator, 6); }},
        {"field exists by its value form", 6,
         [](QDialog& d) {
             fillField(d, "245", "b");
             choose(d, {"cboOperator"}, "Exists");
         },
         R"(MARC."245"."b")", [](const rules::RuleCondition& c) { EXPECT_EQ(c.Operator, 0); }},
        {"control value by variable", 7,
         [](QDialog& d) {
             choose(d, {"ctlControl", "cboControlField"}, "008");
             choose(d, {"ctlControl", "cboControlVariable"}, "Date1");
             choose(d, {"cboOperator"}, "Equals");
             type(d, {"txtValue1"}, "2000");
         },
         R"(MARC.control."008"("7","11") equals "2000")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.ControlVariable, "Date1"); }},
        {"control value by bytes", 7,
         [](QDialog& d) {
             choose(d, {"ctlControl", "cboControlField"}, "LDR");
             testing::setNumber(d, {"ctlControl", "spnByteStart"}, 6);
             testing::setNumber(d, {"ctlControl", "spnByteEnd"}, 7);
             choose(d, {"cboOperator"}, "Does Not Equal");
             type(d, {"txtValue1"}, "a");
         },
         R"(MARC.control."LDR"("6","7") does not equal "a")",
         [](const rules::RuleCondition& c) {
             EXPECT_EQ(c.ByteStart, 6);
             EXPECT_EQ(c.ByteEnd, 7);
         }},
        {"created between dates", 8,
         [first](QDialog& d) {
             choose(d, {"cboDateRange"}, "Between");
             child<QDateEdit>(d, {"dtpFirstDate"})->setDate(first);
             child<QDateEdit>(d, {"dtpSecondDate"})->setDate(QDate(2024, 6, 30));
         },
         R"(Created between "20240101" and "20240630")",
         [](const rules::RuleCondition& c) {
             EXPECT_EQ(c.FirstDate, "20240101");
             EXPECT_EQ(c.SecondDate, "20240630");
             EXPECT_EQ(c.DateRange, 2);
         }},
        {"updated before", 10,
         [](QDialog& d) {
             choose(d, {"cboDateRange"}, "Before");
             child<QDateEdit>(d, {"dtpFirstDate"})->setDate(QDate(2023, 12, 31));
         },
         R"(Updated before "20231231")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.SecondDate, ""); }},
        {"created by", 9, [](QDialog& d) { type(d, {"txtCataloger"}, "jsmith"); },
         R"(Created by "jsmith")",
         [](const rules::RuleCondition& c) { EXPECT_EQ(c.Value1, "jsmith"); }},
        {"updated by", 11, [](QDialog& d) { type(d, {"txtCataloger"}, "Ann"); },
         R"(Updated by "Ann")", [](const rules::RuleCondition& c) { EXPECT_EQ(c.Kind, 11); }},
        {"owning library not in", 12,
         [](QDialog& d) {
             press(d, {"optLibraryNotIn"});
             auto* list = child<QListWidget>(d, {"lstOwningLibraries"});
             list->item(0)->setSelected(true);
             list->item(1)->setSelected(true);
         },
         R"(MARC.owningLibrary not in "|Central Library|Branch Library|")",
         [](const rules::RuleCondition& c) {
             EXPECT_FALSE(c.OwningLibraryIn);
             EXPECT_EQ(c.OwningLibraries, R"("|Central Library|Branch Library|")");
         }},
        {"unsuppressed", 19, [](QDialog& d) { press(d, {"optUnsuppressed"}); },
         "MARC.opacsuppress is unsuppressed",
         [](const rules::RuleCondition& c) { EXPECT_FALSE(c.Suppressed); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frmConditionTemplate form(platform, profile());
        form.SetKind(c.kind);
        c.fill(form);
        EXPECT_EQ(form.LineText(), QString::fromUtf8(c.line));
        form.Confirm();
        EXPECT_EQ(form.result(), QDialog::Accepted) << platform.Texts().join('|').toStdString();
        const rules::RuleCondition& condition = form.Condition();
        EXPECT_EQ(condition.Kind, c.kind);
        c.fields(condition);
    }
    EXPECT_TRUE(platform.Messages().empty());
}

struct CheckCase {
    const char* name;
    int kind;
    std::function<void(QDialog&)> fill;
    const char* message; // empty: accepted
};

TEST_F(ConditionTemplate, OkRefusesWhatCannotBeStoredAndStaysOpen) {
    const CheckCase cases[] = {
        {"tag below 010", 1, [](QDialog& d) { fillField(d, "009"); },
         "Field value must be from 010 to 999."},
        {"empty tag", 5, [](QDialog& d) { fillField(d, "", "a"); },
         "Field value must be from 010 to 999."},
        {"lowest tag", 20, [](QDialog& d) { fillField(d, "010", "a"); }, ""},
        {"nXX of 0 is 000", 2, [](QDialog& d) { fillField(d, "0"); },
         "Field value must be from 010 to 999."},
        {"nnX of 00 is 000", 3, [](QDialog& d) { fillField(d, "00"); },
         "Field value must be from 010 to 999."},
        {"nnX of 01 is 010", 3, [](QDialog& d) { fillField(d, "01"); }, ""},
        {"two-digit tag compared", 6,
         [](QDialog& d) {
             fillField(d, "24");
             choose(d, {"cboOperator"}, "Equals");
             type(d, {"txtValue1"}, "x");
         },
         "Field value must be from 010 to 999."},
        {"any field may be searched", 6,
         [](QDialog& d) {
             choose(d, {"cboOperator"}, "Does not Contain");
             type(d, {"txtValue1"}, "Ocean");
         },
         ""},
        {"a cataloger is needed", 9, [](QDialog& d) { type(d, {"txtCataloger"}, ""); },
         "Could not parse condition: 'created by \"\"' - invalid cataloger."},
        {"a library is needed", 12,
         [](QDialog& d) { child<QListWidget>(d, {"lstOwningLibraries"})->clearSelection(); },
         "Could not parse condition: 'MARC.owningLibrary in ' - invalid owning libraries list."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.Clear();
        frmConditionTemplate form(platform, profile());
        form.SetKind(c.kind);
        c.fill(form);
        form.Confirm();
        if (*c.message) {
            EXPECT_NE(form.result(), QDialog::Accepted);
            ASSERT_EQ(platform.Messages().size(), 1u);
            EXPECT_EQ(platform.Messages()[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
        } else {
            EXPECT_EQ(form.result(), QDialog::Accepted);
            EXPECT_TRUE(platform.Messages().empty()) << platform.Texts().join('|').toStdString();
        }
    }
}

TEST_F(ConditionTemplate, InputsTakeOnlyWhatTheLineCanCarry) {
    EXPECT_EQ(ShownIndicator("#"), "*");
    EXPECT_EQ(ShownIndicator(" "), " ");
    EXPECT_EQ(StoredIndicator(""), "#");
    EXPECT_EQ(StoredIndicator("*"), "#");
    EXPECT_EQ(StoredIndicator(" "), " ");
    EXPECT_EQ(StoredIndicator("4"), "4");

    struct Typed {
        int kind;
        const char* input;
        const char* keys;
        const char* kept;
    };
    const Typed cases[] = {
        {1, "txtSubfields", "aB*1$", "a*1"}, // the wildcard where every subfield may be meant
        {5, "txtSubfields", "aB*1$", "a1"},  // has any: codes only
        {1, "txtField", "2a4X5", "24X"},     // digits and X, three at most
        {2, "txtField", "67", "6"},          // nXX: one digit
        {1, "txtIndicator1", "#7", "#"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        frmConditionTemplate form(platform, profile());
        form.SetKind(c.kind);
        auto* input = child<QLineEdit>(form, {"refField", c.input});
        input->clear();
        QTest::keyClicks(input, QString::fromLatin1(c.keys));
        EXPECT_EQ(input->text(), QString::fromLatin1(c.kept));
    }
    // A value cannot hold a double quote: there is no way to write one.
    frmConditionTemplate form(platform, profile());
    form.SetKind(6);
    auto* value = child<QLineEdit>(form, {"txtValue1"});
    QTest::keyClicks(value, "say \"hi\"");
    EXPECT_EQ(value->text(), "say hi");
}

TEST_F(ConditionTemplate, AnExistingLineShowsItsFieldsAsTheInputsTakeThem) {
    struct Shown {
        const char* line;
        int kind;
        std::function<void(QDialog&)> expect;
        const char* written = nullptr; // unless the line as read
    };
    const Shown cases[] = {
        {R"(MARC is "650"(" ","#")["0"]."z")", 1,
         [](QDialog& d) {
             EXPECT_EQ(child<QLineEdit>(d, {"refField", "txtIndicator1"})->text(), " ");
             EXPECT_EQ(child<QLineEdit>(d, {"refField", "txtIndicator2"})->text(), "*");
             EXPECT_EQ(child<QComboBox>(d, {"refField", "cboFieldOccurrence"})->currentText(),
                       "1st");
             EXPECT_EQ(child<QComboBox>(d, {"refField", "cboSubfieldOccurrence"})->currentText(),
                       " ");
         }},
        {R"(MARC.control."LDR"("6","8") equals "am")", 7,
         [](QDialog& d) {
             auto* variables = child<QComboBox>(d, {"ctlControl", "cboControlVariable"});
             EXPECT_EQ(testing::texts(*variables), (QStringList{"", "MaterialType"}));
             EXPECT_EQ(child<QSpinBox>(d, {"ctlControl", "spnByteStart"})->value(), 6);
             EXPECT_EQ(child<QComboBox>(d, {"cboOperator"})->currentText(), "Equals");
         }},
        {R"(MARC.control is "008".language)", 4,
         [](QDialog& d) {
             EXPECT_EQ(child<QComboBox>(d, {"ctlControl", "cboControlVariable"})->currentText(),
                       "Language");
         },
         R"(MARC.control is "008".Language)"},
        {R"(MARC.owningLibrary in "|Branch Library|")", 12,
         [](QDialog& d) {
             auto* list = child<QListWidget>(d, {"lstOwningLibraries"});
             EXPECT_FALSE(list->item(0)->isSelected());
             EXPECT_TRUE(list->item(1)->isSelected());
         },
         // The list is written with its quotes.
         R"(MARC.owningLibrary in "|Branch Library|")"},
        {R"(Updated after "20200229")", 10,
         [](QDialog& d) {
             EXPECT_EQ(child<QDateEdit>(d, {"dtpFirstDate"})->date(), QDate(2020, 2, 29));
             EXPECT_FALSE(child<QDateEdit>(d, {"dtpSecondDate"})->isEnabled());
         }},
        // A comment is not a kind of the list: the operator chooses one.
        {"# note", -1,
         [](QDialog& d) { EXPECT_FALSE(child<QPushButton>(d, {"cmdOK"})->isEnabled()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        rules::RuleCondition parsed;
        parsed.ParseLine(c.line, 3);
        frmConditionTemplate form(platform, profile());
        form.SetCondition(parsed);
        EXPECT_EQ(form.Kind(), c.kind);
        c.expect(form);
        if (c.kind > 0) {
            // Unchanged, the line written is the line read.
            EXPECT_EQ(form.LineText(), QString::fromUtf8(c.written ? c.written : c.line));
            EXPECT_EQ(form.Condition().LineIndex, 3);
        }
    }
}

} // namespace
} // namespace velumar
