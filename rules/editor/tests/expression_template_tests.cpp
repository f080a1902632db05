// The MARC expression template: its two kinds, the expression each writes,
// an existing expression read into the inputs, and its own tag message.
#include "editor_fixture.h"
#include "frm_expression_template.h"

#include <functional>

namespace velumar {
namespace {

using testing::child;
using testing::choose;
using testing::type;

class ExpressionTemplate : public testing::EditorTest {};

TEST_F(ExpressionTemplate, WritesTheExpressionOfEachKindAndReadsOneBack) {
    frmExpressionTemplate form(platform);
    auto* kinds = child<QComboBox>(form, {"cboKind"});
    EXPECT_EQ(testing::texts(*kinds), (QStringList{"MARC Control Value", "MARC Value"}));
    EXPECT_EQ(testing::itemData(*kinds), (QList<int>{16, 13}));
    // An empty expression is a MARC Value to fill in.
    EXPECT_EQ(form.Kind(), 13);

    struct Case {
        const char* text; // read into the template first
        std::function<void(QDialog&)> fill;
        const char* expression; // what OK keeps
    };
    const Case cases[] = {
        {"",
         [](QDialog& d) {
             type(d, {"refField", "txtField"}, "650");
             choose(d, {"refField", "cboFieldOccurrence"}, "Last");
             type(d, {"refField", "txtSubfields"}, "a");
         },
         R"(MARC."650"["99"]."a")"},
        {R"(MARC.control."008".date1)", [](QDialog&) {}, R"(MARC.control."008"("7","11"))"},
        {R"(MARC."245"("1","#")."c")", [](QDialog&) {}, R"(MARC."245"("1","#")."c")"},
        {R"(MARC."245")",
         [](QDialog& d) {
             dynamic_cast<frmExpressionTemplate&>(d).SetKind(16);
             choose(d, {"ctlControl", "cboControlField"}, "LDR");
             choose(d, {"ctlControl", "cboControlVariable"}, "MaterialType");
         },
         R"(MARC.control."LDR"("6","8"))"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        frmExpressionTemplate one(platform);
        one.SetExpression(QString::fromUtf8(c.text));
        c.fill(one);
        EXPECT_EQ(one.LineText(), QString::fromUtf8(c.expression));
        one.Confirm();
        EXPECT_EQ(one.result(), QDialog::Accepted);
        EXPECT_EQ(one.Expression(), QString::fromUtf8(c.expression));
    }
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(ExpressionTemplate, ATagOutsideTheRangeIsRefusedInItsOwnWords) {
    for (const char* tag : {"005", "", "09"}) {
        SCOPED_TRACE(tag);
        platform.Clear();
        frmExpressionTemplate form(platform);
        type(form, {"refField", "txtField"}, tag);
        form.Confirm();
        EXPECT_NE(form.result(), QDialog::Accepted);
        EXPECT_EQ(platform.Texts(), QStringList{"Field value must from 010 to 999."});
        EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
    }
    // The control value names no field tag.
    platform.Clear();
    frmExpressionTemplate form(platform);
    form.SetKind(16);
    form.Confirm();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Expression(), R"(MARC.control."LDR")");
}

} // namespace
} // namespace velumar
