#include "frm_consequence_template.h"

#include "control_field_inputs.h"
#include "copy_target_inputs.h"
#include "frm_expression_template.h"
#include "line_checks.h"
#include "marc_reference_inputs.h"
#include "replace_string_inputs.h"
#include "subfield_placement_inputs.h"
#include "template_inputs.h"
#include "template_lists.h"
#include "value_source_inputs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace velumar {

namespace qk = rules::consequence_kind;

namespace {

struct Entry {
    const char* text;
    int data;
};

constexpr Entry Kinds[] = {
    {"Add MARC Control Field", qk::AddControlField},
    {"Add MARC Field", qk::AddField},
    {"Add MARC Subfield", qk::AddSubfield},
    {"Copy MARC Field / Subfield", qk::Copy},
    {"Copy MARC Field / Subfield (deprecated)", qk::CopyDeprecated},
    {"Record Disposition", qk::RecordDisposition},
    {"Remove MARC Control Field", qk::RemoveControlField},
    {"Remove MARC Field / Subfield", qk::RemoveField},
    {"Replace String At Position", qk::ReplaceAtPosition},
    {"Replace String With String", qk::ReplaceWithString},
    {"Set Subfield To Value", qk::SetSubfield},
    {"Change MARC", qk::ChangeMarc},
    {"Change Owning Library", qk::ChangeOwningLibrary},
    {"Export Option", qk::ExportOption},
};

constexpr Entry Dispositions[] = {
    {"CHANGED", 0},     {"DELETE", 1},     {"DELETEALL", 2},     {"SUPPRESS", 3},
    {"SUPPRESSALL", 4}, {"UNSUPPRESS", 5}, {"UNSUPPRESSALL", 6}, {"ERROR", 7},
};

constexpr Entry ExportOptions[] = {
    {"No", rules::export_option::Unset},
    {"Yes", rules::export_option::Set},
    {"Yes, and change date", rules::export_option::ChangeDate},
};

constexpr Entry IndicatorNumbers[] = {{" ", 0}, {"1", 1}, {"2", 2}};

bool usesReference(int kind) {
    return kind == qk::RemoveField || kind == qk::SetSubfield || kind == qk::Copy ||
           kind == qk::CopyDeprecated || kind == qk::ChangeMarc || kind == qk::AddField ||
           kind == qk::AddSubfield;
}

MarcReferenceParts referencePartsOf(int kind) {
    MarcReferenceParts parts;
    parts.fieldOccurrence = parts.subfieldOccurrence = false;
    parts.severalSubfields = false;
    parts.indicators = kind == qk::AddField || kind == qk::AddSubfield;
    parts.subfields = kind != qk::AddField;
    parts.wildcard = kind == qk::RemoveField;
    if (kind == qk::Copy || kind == qk::CopyDeprecated) {
        parts.tagCaption = QStringLiteral("&From field:");
        parts.subfieldCaption = QStringLiteral("&Subfield (empty: all):");
    }
    return parts;
}

} // namespace

frmConsequenceTemplate::frmConsequenceTemplate(PlatformServices& platform, bool dispositionEnabled,
                                               QWidget* parent)
    : TemplateDialog(platform, QStringLiteral("frmConsequenceTemplate"),
                     QStringLiteral("Consequence"), HelpContext, parent),
      runDialog_(ModalDialogRunner()),
      refField_(new MarcReferenceInputs(QStringLiteral("refField"))),
      ctlControl_(new ControlFieldInputs(QStringLiteral("ctlControl"))),
      txtNewValue_(MakeValueInput("txtNewValue")), valSource_(new ValueSourceInputs),
      plcSubfield_(new SubfieldPlacementInputs), cpyTarget_(new CopyTargetInputs),
      rplString_(new ReplaceStringInputs) {
    for (const auto& entry : Kinds)
        if (dispositionEnabled || entry.data != qk::RecordDisposition)
            addKind(QString::fromLatin1(entry.text), entry.data);

    ctlControl_->Configure({false, false, false});
    newValueRow_ = row(QStringLiteral("&Value:"), txtNewValue_);
    cboDisposition_ = list("cboDisposition");
    for (const auto& entry : Dispositions)
        AddListItem(*cboDisposition_, QString::fromLatin1(entry.text), entry.data);
    dispositionRow_ = row(QStringLiteral("&Disposition:"), cboDisposition_);
    cboExportOption_ = list("cboExportOption");
    for (const auto& entry : ExportOptions)
        AddListItem(*cboExportOption_, QString::fromLatin1(entry.text), entry.data);
    exportRow_ = row(QStringLiteral("OK to e&xport:"), cboExportOption_);

    inputs()->addWidget(refField_);
    inputs()->addWidget(ctlControl_);
    inputs()->addWidget(newValueRow_);
    inputs()->addWidget(valSource_);
    inputs()->addWidget(plcSubfield_);
    inputs()->addWidget(cpyTarget_);
    buildChangeMarc();
    inputs()->addWidget(rplString_);
    inputs()->addWidget(dispositionRow_);
    inputs()->addWidget(exportRow_);

    watchInputs();
    connect(valSource_->ExpressionButton(), &QPushButton::clicked, this,
            &frmConsequenceTemplate::EditExpression);
    SetConsequence(rules::RuleConsequence());
}

QWidget* frmConsequenceTemplate::row(const QString& caption, QWidget* input) {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption);
    label->setBuddy(input);
    layout->addWidget(label);
    layout->addWidget(input, 1);
    return holder;
}

QComboBox* frmConsequenceTemplate::list(const char* name) {
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    return combo;
}

void frmConsequenceTemplate::buildChangeMarc() {
    changeMarc_ = new QWidget;
    txtTargetSubfield_ = MakeSubfieldInput("txtTargetSubfield", false, false);
    cboIndicatorNumber_ = list("cboIndicatorNumber");
    for (const auto& entry : IndicatorNumbers)
        AddListItem(*cboIndicatorNumber_, QString::fromLatin1(entry.text), entry.data);
    txtNewIndicator_ = MakeIndicatorInput("txtNewIndicator");
    txtTargetField_ = MakeTagInput("txtTargetField");
    auto* grid = new QGridLayout(changeMarc_);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto add = [grid](int line, const QString& caption, QWidget* input) {
        auto* label = new QLabel(caption);
        label->setBuddy(input);
        grid->addWidget(label, line, 0);
        grid->addWidget(input, line, 1, Qt::AlignLeft);
    };
    add(0, QStringLiteral("New subfield &code:"), txtTargetSubfield_);
    add(1, QStringLiteral("Or i&ndicator:"), cboIndicatorNumber_);
    add(2, QStringLiteral("New indicator v&alue:"), txtNewIndicator_);
    add(3, QStringLiteral("Or new field &tag:"), txtTargetField_);
    grid->setColumnStretch(2, 1);
    inputs()->addWidget(changeMarc_);
    connect(txtTargetSubfield_, &QLineEdit::textChanged, this,
            &frmConsequenceTemplate::enableChangeMarc);
    connect(cboIndicatorNumber_, &QComboBox::currentIndexChanged, this,
            &frmConsequenceTemplate::enableChangeMarc);
}

void frmConsequenceTemplate::enableChangeMarc() {
    // The model writes a subfield change first, then an indicator, then a field tag.
    const bool subfield = !txtTargetSubfield_->text().isEmpty();
    const bool indicator = !subfield && SelectedItemData(*cboIndicatorNumber_) > 0;
    cboIndicatorNumber_->setEnabled(!subfield);
    txtNewIndicator_->setEnabled(indicator);
    txtTargetField_->setEnabled(!subfield && !indicator);
}

void frmConsequenceTemplate::SetConsequence(const rules::RuleConsequence& consequence) {
    consequence_ = consequence;
    targetLine_ =
        consequence.TargetCondition ? consequence.TargetCondition->Clone() : rules::RuleCondition();
    targetLine_.Kind = rules::condition_kind::Target;
    {
        const Loading loading(*this);
        loadInputs(consequence);
    }
    SetKind(consequence.Kind);
}

void frmConsequenceTemplate::loadInputs(const rules::RuleConsequence& c) {
    refField_->Configure(referencePartsOf(c.Kind));
    refField_->SetReference({c.Field, c.Indicator1, c.Indicator2, -1, c.Subfield, -1});
    ctlControl_->SetReference({c.ControlField, {}, -1, -1});
    txtNewValue_->setText(FromStd(c.Value));
    valSource_->SetSource({c.Value, c.Expression, c.VariableNumber});
    plcSubfield_->SetPlacement({c.OrderKeyword, c.OrderSubfield, c.OrderOccurrence});
    cpyTarget_->Configure(c.Kind == qk::CopyDeprecated);
    if (c.Kind == qk::Copy && c.ToExisting == 1) {
        cpyTarget_->SetTarget(true,
                              {targetLine_.Field, targetLine_.Indicator1, targetLine_.Indicator2,
                               targetLine_.FieldOccurrence, targetLine_.Subfields,
                               targetLine_.SubfieldOccurrence},
                              targetLine_.TargetHasAny);
    } else {
        MarcReference target;
        target.field = c.TargetField;
        target.subfields = c.TargetSubfield;
        if (c.Kind == qk::CopyDeprecated) {
            target.indicator1 = c.Indicator1;
            target.indicator2 = c.Indicator2;
        }
        cpyTarget_->SetTarget(false, target, false);
    }
    ReplaceString replace;
    replace.variableNumber = c.VariableNumber;
    replace.controlField = c.ControlField;
    replace.field = c.Field;
    replace.subfield = c.Subfield;
    replace.search = c.SearchString;
    replace.replacement = c.ReplaceString;
    replace.position = c.Position;
    replace.pattern = c.IsPattern;
    rplString_->Configure(c.Kind != qk::ReplaceWithString);
    rplString_->SetReplace(replace);
    txtTargetSubfield_->setText(c.Kind == qk::ChangeMarc ? ShownSubfields(c.TargetSubfield, false)
                                                         : QString());
    SelectByItemData(*cboIndicatorNumber_, c.Kind == qk::ChangeMarc ? c.IndicatorNumber : 0);
    txtNewIndicator_->setText(
        c.Kind == qk::ChangeMarc && c.IndicatorNumber > 0 ? FromStd(c.Indicator1) : QString());
    txtTargetField_->setText(c.Kind == qk::ChangeMarc ? FromStd(c.TargetField) : QString());
    enableChangeMarc();
    SelectByItemData(*cboDisposition_, c.Disposition);
    // "No" is chosen at first.
    SelectByItemData(*cboExportOption_,
                     c.ExportOption > 0 ? c.ExportOption : rules::export_option::Unset);
}

void frmConsequenceTemplate::showKind(int kind) {
    if (usesReference(kind))
        refField_->Configure(referencePartsOf(kind));
    if (kind == qk::Copy || kind == qk::CopyDeprecated)
        cpyTarget_->Configure(kind == qk::CopyDeprecated);
    if (kind == qk::ReplaceAtPosition || kind == qk::ReplaceWithString)
        rplString_->Configure(kind == qk::ReplaceAtPosition);
    refField_->setVisible(usesReference(kind));
    ctlControl_->setVisible(kind == qk::RemoveControlField || kind == qk::AddControlField);
    newValueRow_->setVisible(kind == qk::SetSubfield || kind == qk::AddControlField);
    valSource_->setVisible(kind == qk::AddSubfield);
    plcSubfield_->setVisible(kind == qk::AddSubfield);
    cpyTarget_->setVisible(kind == qk::Copy || kind == qk::CopyDeprecated);
    changeMarc_->setVisible(kind == qk::ChangeMarc);
    rplString_->setVisible(kind == qk::ReplaceAtPosition || kind == qk::ReplaceWithString);
    dispositionRow_->setVisible(kind == qk::RecordDisposition);
    exportRow_->setVisible(kind == qk::ExportOption);
}

bool frmConsequenceTemplate::copiesToExisting() const {
    return consequence_.Kind == qk::Copy && consequence_.ToExisting == 1;
}

void frmConsequenceTemplate::writeInputs() {
    rules::RuleConsequence& c = consequence_;
    const int kind = Kind();
    if (kind < 0)
        return;
    c.Kind = kind;
    // A line built here is no longer a line read with its error or status.
    c.ErrorText.clear();
    if (usesReference(kind)) {
        const MarcReference reference = refField_->Reference();
        c.Field = reference.field;
        c.Subfield = reference.subfields;
        c.Indicator1 = reference.indicator1;
        c.Indicator2 = reference.indicator2;
        c.FieldOccurrence = c.SubfieldOccurrence = rules::kNoOccurrence;
        c.ControlField.clear();
    }
    switch (kind) {
    case qk::RemoveControlField:
    case qk::AddControlField:
        c.ControlField = ctlControl_->Reference().field;
        c.Value = kind == qk::AddControlField ? ToStd(txtNewValue_->text()) : std::string();
        break;
    case qk::SetSubfield:
        c.Value = ToStd(txtNewValue_->text());
        c.VariableNumber = 0;
        c.Expression.clear();
        break;
    case qk::AddSubfield: {
        const ValueSource source = valSource_->Source();
        c.Value = source.value;
        c.Expression = source.expression;
        c.VariableNumber = source.variableNumber;
        const SubfieldPlacement placement = plcSubfield_->Placement();
        c.OrderKeyword = placement.keyword;
        c.OrderSubfield = placement.subfield;
        c.OrderOccurrence = placement.occurrence;
        c.OrderOccurrenceIndex =
            placement.occurrence.empty() ? rules::kNoOccurrence : std::stoi(placement.occurrence);
        break;
    }
    case qk::Copy:
    case qk::CopyDeprecated: {
        const MarcReference target = cpyTarget_->Target();
        c.ToExisting = cpyTarget_->Existing() ? 1 : 0;
        c.TargetField = target.field;
        c.TargetSubfield = c.ToExisting ? std::string() : target.subfields;
        if (kind == qk::CopyDeprecated) {
            c.Indicator1 = target.indicator1;
            c.Indicator2 = target.indicator2;
        }
        if (c.ToExisting) {
            targetLine_.Field = target.field;
            targetLine_.Indicator1 = target.indicator1;
            targetLine_.Indicator2 = target.indicator2;
            targetLine_.FieldOccurrence = target.fieldOccurrence;
            targetLine_.Subfields = target.subfields;
            targetLine_.SubfieldOccurrence = target.subfieldOccurrence;
            targetLine_.TargetHasAny = cpyTarget_->HasAny();
        }
        break;
    }
    case qk::ChangeMarc:
        writeChangeMarc();
        break;
    case qk::ReplaceAtPosition:
    case qk::ReplaceWithString: {
        const ReplaceString replace = rplString_->Replace();
        c.VariableNumber = replace.variableNumber;
        c.ControlField = replace.controlField;
        c.Field = replace.field;
        c.Subfield = replace.subfield;
        c.SearchString = replace.search;
        c.ReplaceString = replace.replacement;
        c.Position = replace.position;
        c.IsPattern = replace.pattern;
        break;
    }
    case qk::RecordDisposition:
        c.Disposition = std::max(0, SelectedItemData(*cboDisposition_));
        break;
    case qk::ChangeOwningLibrary:
        c.ChangeOwningLibrary = true;
        // The export option goes on a line of its own.
        c.ExportOption = 0;
        break;
    case qk::ExportOption:
        c.ExportOption = SelectedItemData(*cboExportOption_);
        break;
    default:
        break;
    }
}

void frmConsequenceTemplate::writeChangeMarc() {
    rules::RuleConsequence& c = consequence_;
    c.TargetSubfield = ToStd(txtTargetSubfield_->text());
    c.IndicatorNumber =
        c.TargetSubfield.empty() ? std::max(0, SelectedItemData(*cboIndicatorNumber_)) : 0;
    c.Indicator1 = c.IndicatorNumber > 0 ? ToStd(txtNewIndicator_->text()) : std::string("#");
    c.Indicator2.assign(1, '#');
    c.TargetField = c.TargetSubfield.empty() && c.IndicatorNumber < 1
                        ? ToStd(txtTargetField_->text().toUpper())
                        : std::string();
}

QStringList frmConsequenceTemplate::renderedLines() {
    writeInputs();
    rules::RuleConsequence written = consequence_.Clone();
    // Rendered apart from the rule: nothing here may touch its lines.
    written.Rule = nullptr;
    const bool forNewField = std::find(addedFieldTags_.begin(), addedFieldTags_.end(),
                                       written.Field) != addedFieldTags_.end();
    if (written.Kind == qk::AddSubfield)
        written.SetForNewField(forNewField);
    QStringList lines;
    rules::RuleCondition target = targetLine_.Clone();
    if (copiesToExisting()) {
        written.TargetCondition = &target;
        written.Render();
        // The target line goes among the conditions.
        lines << FromStd(target.Text);
    } else {
        written.TargetCondition = nullptr;
        written.TargetRef.clear();
        written.Render();
    }
    for (const auto& line : written.Lines)
        lines << FromStd(line);
    return lines;
}

const rules::RuleConsequence& frmConsequenceTemplate::Consequence() {
    writeInputs();
    return consequence_;
}

std::optional<rules::RuleCondition> frmConsequenceTemplate::TargetLine() {
    writeInputs();
    if (!copiesToExisting())
        return std::nullopt;
    return targetLine_;
}

void frmConsequenceTemplate::EditExpression() {
    frmExpressionTemplate expression(platform(), this);
    expression.SetExpression(valSource_->ExpressionText());
    if (runDialog_(expression) == QDialog::Accepted)
        valSource_->SetExpression(expression.Expression());
}

bool frmConsequenceTemplate::check() {
    writeInputs();
    const rules::RuleConsequence& c = consequence_;
    const QString field = FromStd(c.Field);
    bool tagged = false;
    bool patternAllowed = false;
    switch (c.Kind) {
    case qk::RemoveField:
    case qk::AddSubfield:
    case qk::ChangeMarc:
        tagged = patternAllowed = true;
        break;
    case qk::SetSubfield:
    case qk::AddField:
        tagged = true;
        break;
    case qk::ReplaceAtPosition:
    case qk::ReplaceWithString:
        tagged = c.ControlField.empty();
        break;
    default:
        break;
    }
    if (tagged && IsInvalidFieldTag(field) && !(patternAllowed && IsTagPattern(field)))
        return refuse(QString::fromLatin1(FieldValueMessage));
    if (copiesToExisting()) {
        if (IsInvalidFieldTag(FromStd(targetLine_.Field)))
            return refuse(QString::fromLatin1(FieldValueMessage));
        // The copy reads back only against its rule's target line: the target line is checked.
        rules::RuleCondition target = targetLine_.Clone();
        target.Render();
        rules::RuleCondition read;
        read.ParseLine(target.Text, 0);
        return read.ErrorText == rules::kTargetStatus || refuse(FromStd(read.ErrorText));
    }
    rules::RuleConsequence written = c.Clone();
    written.Rule = nullptr;
    written.TargetRef.clear();
    written.Render();
    if (const QString error = ReadBackError(written); !error.isEmpty())
        return refuse(error);
    return true;
}

} // namespace velumar
