// The consequence template: its kind list (Record Disposition only when
// enabled), the lines each kind writes with the fields it sets, a copy into
// an existing field with its target line, the expression template opened
// for a value, and the OK checks.
#include "editor_fixture.h"
#include "frm_consequence_template.h"
#include "frm_expression_template.h"
#include "rule_consequence.h"

#include <QPushButton>
#include <functional>

namespace velumar {
namespace {

using testing::child;
using testing::choose;
using testing::press;
using testing::type;

class ConsequenceTemplate : public testing::EditorTest {};

TEST_F(ConsequenceTemplate, KindsAreListedInOrderAndDispositionOnlyWhenEnabled) {
    frmConsequenceTemplate enabled(platform, true);
    auto* kinds = child<QComboBox>(enabled, {"cboKind"});
    EXPECT_EQ(testing::texts(*kinds),
              (QStringList{"Add MARC Control Field", "Add MARC Field", "Add MARC Subfield",
                           "Copy MARC Field / Subfield", "Copy MARC Field / Subfield (deprecated)",
                           "Record Disposition", "Remove MARC Control Field",
                           "Remove MARC Field / Subfield", "Replace String At Position",
                           "Replace String With String", "Set Subfield To Value", "Change MARC",
                           "Change Owning Library", "Export Option"}));
    EXPECT_EQ(testing::itemData(*kinds),
              (QList<int>{10, 11, 12, 4, 5, 13, 1, 2, 14, 15, 3, 9, 18, 19}));
    // A new consequence has no kind yet: OK waits for one.
    EXPECT_EQ(enabled.Kind(), -1);
    EXPECT_FALSE(child<QPushButton>(enabled, {"cmdOK"})->isEnabled());

    frmConsequenceTemplate disabled(platform, false);
    EXPECT_FALSE(
        testing::texts(*child<QComboBox>(disabled, {"cboKind"})).contains("Record Disposition"));

    auto* exportOptions = child<QComboBox>(enabled, {"cboExportOption"});
    EXPECT_EQ(testing::texts(*exportOptions), (QStringList{"No", "Yes", "Yes, and change date"}));
    EXPECT_EQ(testing::itemData(*exportOptions), (QList<int>{1, 2, 3}));
    EXPECT_EQ(exportOptions->currentText(), "No");
    EXPECT_EQ(testing::texts(*child<QComboBox>(enabled, {"cboIndicatorNumber"})),
              (QStringList{" ", "1", "2"}));
    EXPECT_EQ(testing::texts(*child<QComboBox>(enabled, {"plcSubfield", "cboOrderOccurrence"})),
              (QStringList{"First", "Last"}));
}

struct KindCase {
    const char* name;
    int kind;
    std::function<void(QDialog&)> fill;
    QStringList lines;
    std::function<void(const rules::RuleConsequence&)> fields;
};

void fillField(QDialog& d, const QString& tag, const QString& subfield = {}) {
    type(d, {"refField", "txtField"}, tag);
    type(d, {"refField", "txtSubfields"}, subfield);
}

TEST_F(ConsequenceTemplate, EachKindSetsItsFieldsAndShowsTheLinesItWrites) {
    const KindCase cases[] = {
        {"add control field",
         10,
         [](QDialog& d) {
             choose(d, {"ctlControl", "cboControlField"}, "003");
             type(d, {"txtNewValue"}, "XyZ");
         },
         {R"(create MARC.control."003" with "XyZ")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.ControlField, "003"); }},
        {"add field, indicators left blank",
         11,
         [](QDialog& d) { fillField(d, "590"); },
         {R"(create MARC."590"(" "," "))"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Indicator1, "#"); }},
        {"add field with indicators",
         11,
         [](QDialog& d) {
             fillField(d, "690");
             type(d, {"refField", "txtIndicator2"}, "4");
         },
         {R"(create MARC."690"(" ","4"))"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Indicator2, "4"); }},
        {"add subfield",
         12,
         [](QDialog& d) {
             fillField(d, "500", "a");
             type(d, {"valSource", "txtValue"}, "Reviewed");
         },
         {R"(create MARC."500"."a" with "Reviewed")"},
         [](const rules::RuleConsequence& c) {
             EXPECT_EQ(c.Subfield, "a");
             EXPECT_EQ(c.Value, "Reviewed");
         }},
        {"add subfield placed",
         12,
         [](QDialog& d) {
             fillField(d, "245", "b");
             type(d, {"valSource", "txtValue"}, "a survey");
             press(d, {"plcSubfield", "optBefore"});
             type(d, {"plcSubfield", "txtOrderSubfield"}, "c");
             choose(d, {"plcSubfield", "cboOrderOccurrence"}, "Last");
         },
         {R"(create MARC."245"."b" with "a survey" before "c"["99"])"},
         [](const rules::RuleConsequence& c) {
             EXPECT_EQ(c.OrderKeyword, "before");
             EXPECT_EQ(c.OrderSubfield, "c");
             EXPECT_EQ(c.OrderOccurrence, "99");
         }},
        {"add subfield from a TEMP variable",
         12,
         [](QDialog& d) {
             fillField(d, "500", "a");
             press(d, {"valSource", "optVariable"});
             testing::setNumber(d, {"valSource", "spnVariable"}, 2);
         },
         {R"(create MARC."500"."a" with TEMP"2")"},
         [](const rules::RuleConsequence& c) {
             EXPECT_EQ(c.VariableNumber, 2);
             EXPECT_EQ(c.Value, "");
         }},
        {"copy to a new field",
         4,
         [](QDialog& d) {
             fillField(d, "650", "a");
             type(d, {"cpyTarget", "refTarget", "txtField"}, "690");
             type(d, {"cpyTarget", "refTarget", "txtSubfields"}, "b");
         },
         {R"(copy MARC "650"."a" to new "690"."b")"},
         [](const rules::RuleConsequence& c) {
             EXPECT_EQ(c.ToExisting, 0);
             EXPECT_EQ(c.TargetField, "690");
         }},
        {"copy a whole field",
         4,
         [](QDialog& d) {
             fillField(d, "245");
             type(d, {"cpyTarget", "refTarget", "txtField"}, "740");
         },
         {R"(copy MARC "245" to new "740" all)"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Subfield, ""); }},
        {"copy to an existing field",
         4,
         [](QDialog& d) {
             fillField(d, "245", "c");
             press(d, {"cpyTarget", "optExisting"});
             type(d, {"cpyTarget", "refTarget", "txtField"}, "650");
             press(d, {"cpyTarget", "chkHasAny"});
             type(d, {"cpyTarget", "refTarget", "txtSubfields"}, "z");
         },
         {R"(TARGET MARC is "650" has any "z")", R"(copy MARC "245"."c" to existing "650t")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.ToExisting, 1); }},
        {"copy, the older form",
         5,
         [](QDialog& d) {
             fillField(d, "650", "a");
             type(d, {"cpyTarget", "refTarget", "txtField"}, "690");
             type(d, {"cpyTarget", "refTarget", "txtIndicator1"}, "1");
             type(d, {"cpyTarget", "refTarget", "txtIndicator2"}, "4");
             type(d, {"cpyTarget", "refTarget", "txtSubfields"}, "b");
         },
         {R"(copy MARC "650"."a" to "690"("1","4")."b")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Indicator1, "1"); }},
        {"disposition",
         13,
         [](QDialog& d) { choose(d, {"cboDisposition"}, "DELETEALL"); },
         {"DELETEALL"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Disposition, 2); }},
        {"remove control field",
         1,
         [](QDialog& d) {
             choose(d, {"ctlControl", "cboControlField"}, "008");
         },
         {R"(remove MARC.control."008")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.ControlField, "008"); }},
        {"remove subfield",
         2,
         [](QDialog& d) { fillField(d, "650", "z"); },
         {R"(remove MARC."650" subfield "z")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Subfield, "z"); }},
        {"remove by tag pattern",
         2,
         [](QDialog& d) { fillField(d, "9xx"); },
         {R"(remove MARC."9XX")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Field, "9XX"); }},
        {"replace at a control variable's position",
         14,
         [](QDialog& d) {
             press(d, {"rplString", "optControlField"});
             choose(d, {"rplString", "ctlSource", "cboControlField"}, "008");
             choose(d, {"rplString", "ctlSource", "cboControlVariable"}, "Language");
             type(d, {"rplString", "txtSearch"}, "fre");
         },
         {R"(set TEMP"1" to MARC.control."008")",
          R"(replace string by position (TEMP"1","fre","35"))",
          R"(set MARC.control."008" to TEMP"1")"},
         [](const rules::RuleConsequence& c) {
             EXPECT_EQ(c.Position, 35);
             EXPECT_EQ(c.VariableNumber, 1);
         }},
        {"replace text in a subfield",
         15,
         [](QDialog& d) {
             testing::setNumber(d, {"rplString", "spnTempVariable"}, 2);
             type(d, {"rplString", "refSource", "txtField"}, "650");
             type(d, {"rplString", "refSource", "txtSubfields"}, "x");
             type(d, {"rplString", "txtSearch"}, "History");
             type(d, {"rplString", "txtReplace"}, "Histoire");
         },
         {R"(set TEMP"2" to MARC."650"."x")",
          R"(replace string by string (TEMP"2","\\\\QHistory","Histoire"))",
          R"(set MARC."650"."x" to TEMP"2")"},
         [](const rules::RuleConsequence& c) { EXPECT_FALSE(c.IsPattern); }},
        {"replace by pattern",
         15,
         [](QDialog& d) {
             type(d, {"rplString", "refSource", "txtField"}, "245");
             type(d, {"rplString", "refSource", "txtSubfields"}, "c");
             type(d, {"rplString", "txtSearch"}, "^by ");
             press(d, {"rplString", "chkPattern"});
             type(d, {"rplString", "txtReplace"}, "Written by ");
         },
         {R"(set TEMP"1" to MARC."245"."c")",
          R"(replace string by string (TEMP"1","^by ","Written by "))",
          R"(set MARC."245"."c" to TEMP"1")"},
         [](const rules::RuleConsequence& c) { EXPECT_TRUE(c.IsPattern); }},
        {"set subfield",
         3,
         [](QDialog& d) {
             fillField(d, "650", "x");
             type(d, {"txtNewValue"}, "Histoire.");
         },
         {R"(set MARC."650"."x" to "Histoire.")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.Value, "Histoire."); }},
        {"change a subfield code",
         9,
         [](QDialog& d) {
             fillField(d, "650", "z");
             type(d, {"txtTargetSubfield"}, "y");
         },
         {R"(Set MARC subfield "650" "z" to "y")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.TargetSubfield, "y"); }},
        {"change a field tag",
         9,
         [](QDialog& d) {
             fillField(d, "949");
             type(d, {"txtTargetField"}, "590");
         },
         {R"(Set MARC field "949"  to "590")"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.IndicatorNumber, 0); }},
        {"change an indicator",
         9,
         [](QDialog& d) {
             fillField(d, "650");
             choose(d, {"cboIndicatorNumber"}, "2");
             type(d, {"txtNewIndicator"}, "4");
         },
         {R"(Set MARC indicator "650" "2" to "4")"},
         [](const rules::RuleConsequence& c) {
             EXPECT_EQ(c.IndicatorNumber, 2);
             EXPECT_EQ(c.Indicator1, "4");
         }},
        {"change owning library",
         18,
         [](QDialog&) {},
         {"Change owning library"},
         [](const rules::RuleConsequence& c) { EXPECT_TRUE(c.ChangeOwningLibrary); }},
        {"export option left at No",
         19,
         [](QDialog&) {},
         {"Unset OK to Export"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.ExportOption, 1); }},
        {"export option with date",
         19,
         [](QDialog& d) { choose(d, {"cboExportOption"}, "Yes, and change date"); },
         {"Change OK to Export Date"},
         [](const rules::RuleConsequence& c) { EXPECT_EQ(c.ExportOption, 3); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frmConsequenceTemplate form(platform, true);
        form.SetKind(c.kind);
        c.fill(form);
        EXPECT_EQ(form.LineText(), c.lines.join('\n'));
        form.Confirm();
        EXPECT_EQ(form.result(), QDialog::Accepted) << platform.Texts().join('|').toStdString();
        EXPECT_EQ(form.Consequence().Kind, c.kind);
        c.fields(form.Consequence());
        EXPECT_EQ(form.TargetLine().has_value(), c.lines.size() == 2);
    }
    EXPECT_TRUE(platform.Messages().empty()) << platform.Texts().join('|').toStdString();
}

TEST_F(ConsequenceTemplate, AnAddedSubfieldAfterItsAddedFieldSaysSoInItsLine) {
    frmConsequenceTemplate form(platform, true);
    form.SetAddedFieldTags({"590"});
    form.SetKind(12);
    fillField(form, "590", "a");
    type(form, {"valSource", "txtValue"}, "Reviewed");
    EXPECT_EQ(form.LineText(), R"(create MARC."590" subfield "a" with "Reviewed")");
    fillField(form, "500", "a");
    EXPECT_EQ(form.LineText(), R"(create MARC."500"."a" with "Reviewed")");
}

TEST_F(ConsequenceTemplate, AValueFromTheRecordIsBuiltInTheExpressionTemplate) {
    frmConsequenceTemplate form(platform, true);
    QString shown;
    form.SetDialogRunner([&](QDialog& dialog) {
        auto& expression = dynamic_cast<frmExpressionTemplate&>(dialog);
        shown = expression.Expression();
        expression.SetKind(16);
        choose(expression, {"ctlControl", "cboControlField"}, "008");
        choose(expression, {"ctlControl", "cboControlVariable"}, "Date1");
        expression.Confirm();
        return expression.result();
    });
    form.SetKind(12);
    fillField(form, "500", "5");
    press(form, {"valSource", "optExpression"});
    child<QPushButton>(form, {"valSource", "cmdExpression"})->click();
    EXPECT_EQ(shown, R"(MARC."")");
    EXPECT_EQ(form.LineText(), R"(create MARC."500"."5" with MARC.control."008"("7","11"))");
    form.Confirm();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Consequence().Expression, R"(MARC.control."008"("7","11"))");

    // Cancelled, the expression stays as it was.
    form.SetDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    child<QPushButton>(form, {"valSource", "cmdExpression"})->click();
    EXPECT_EQ(form.Consequence().Expression, R"(MARC.control."008"("7","11"))");
}

TEST_F(ConsequenceTemplate, OkRefusesWhatCannotBeStoredAndStaysOpen) {
    struct CheckCase {
        const char* name;
        int kind;
        std::function<void(QDialog&)> fill;
        const char* message;
    };
    const CheckCase cases[] = {
        {"set subfield on a two-digit tag", 3,
         [](QDialog& d) {
             fillField(d, "24", "a");
             type(d, {"txtNewValue"}, "x");
         },
         "Field value must be from 010 to 999."},
        {"add field on a pattern", 11, [](QDialog& d) { fillField(d, "5XX"); },
         "Field value must be from 010 to 999."},
        {"add subfield on a pattern", 12,
         [](QDialog& d) {
             fillField(d, "9XX", "b");
             type(d, {"valSource", "txtValue"}, "x");
         },
         ""},
        {"set subfield without a code", 3,
         [](QDialog& d) {
             fillField(d, "650");
             type(d, {"txtNewValue"}, "x");
         },
         R"(Could not parse consequence: 'set marc."650"."" to "x"' - subfield is required)"},
        {"add subfield without a value", 12, [](QDialog& d) { fillField(d, "500", "a"); },
         R"(Could not parse consequence: 'create marc."500"."a" with ' - value or variable or MARC expression is required)"},
        {"copy into an existing field on a bad tag", 4,
         [](QDialog& d) {
             fillField(d, "245", "c");
             press(d, {"cpyTarget", "optExisting"});
             type(d, {"cpyTarget", "refTarget", "txtField"}, "65");
         },
         "Field value must be from 010 to 999."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.Clear();
        frmConsequenceTemplate form(platform, true);
        form.SetKind(c.kind);
        c.fill(form);
        form.Confirm();
        if (*c.message) {
            EXPECT_NE(form.result(), QDialog::Accepted);
            EXPECT_EQ(platform.Texts(), QStringList{QString::fromUtf8(c.message)});
        } else {
            EXPECT_EQ(form.result(), QDialog::Accepted);
            EXPECT_TRUE(platform.Messages().empty()) << platform.Texts().join('|').toStdString();
        }
    }
}

TEST_F(ConsequenceTemplate, AnExistingLineShowsItsFieldsUnchanged) {
    const char* lines[] = {
        R"(create MARC."650"(" ","0")."9" with "local")",
        R"x(create MARC."500"."b" with "(b)" after "a"["99"])x",
        R"(create MARC."500"."5" with MARC.control."008"("7","11"))",
        R"(copy MARC "650"."a" to new "690"."b")",
        R"(Set MARC indicator "650" "2" to " ")",
        R"(Set MARC field "949"  to "590")",
        R"(create MARC.control."LDR" with "00000cam a2200000 a 4500")",
        "SUPPRESSALL",
        "Set OK to Export",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        rules::RuleConsequence parsed;
        const std::vector<std::string> text{line};
        std::size_t cursor = 0;
        parsed.ParseLines(std::span<const std::string>(text), cursor, 4);
        ASSERT_FALSE(parsed.HasError()) << parsed.ErrorText;
        frmConsequenceTemplate form(platform, true);
        form.SetConsequence(parsed);
        EXPECT_EQ(form.Kind(), parsed.Kind);
        EXPECT_EQ(form.LineText(), QString::fromUtf8(line));
        EXPECT_EQ(form.Consequence().LineIndex, 4);
    }
}

} // namespace
} // namespace velumar
