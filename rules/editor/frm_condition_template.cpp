#include "frm_condition_template.h"

#include "control_field_inputs.h"
#include "line_checks.h"
#include "marc_reference_inputs.h"
#include "security/security_profile.h"
#include "template_inputs.h"
#include "template_lists.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velumar {

namespace ck = rules::condition_kind;
namespace op = rules::condition_operator;

namespace {

struct KindEntry {
    const char* text;
    int kind;
};

constexpr KindEntry Kinds[] = {
    {"Create Date", ck::CreateDate},
    {"Created By", ck::CreatedBy},
    {"MARC Control Field Exists", ck::ControlFieldExists},
    {"MARC Control Field Value", ck::ControlFieldValue},
    {"MARC Field Has Any", ck::FieldHasAny},
    {"MARC Field / Subfield Exists", ck::FieldExists},
    {"MARC Field nXX Exists", ck::FieldNxxExists},
    {"MARC Field nnX Exists", ck::FieldNnxExists},
    {"MARC Field Value", ck::FieldValue},
    {"Update Date", ck::UpdateDate},
    {"Updated By", ck::UpdatedBy},
    {"Owning Library", ck::OwningLibrary},
    {"Opac Suppress Flag is", ck::OpacSuppress},
    {"MARC Field Exists And Does Not Have", ck::FieldDoesNotHave},
};

constexpr KindEntry Operators[] = {
    {"Exists", op::None},
    {"Equals", op::Equals},
    {"Does Not Equal", op::DoesNotEqual},
    {"Contains", op::Contains},
    {"Between", op::Between},
    {"Does not Contain", op::DoesNotContain},
    {"Starts With", op::StartsWith},
};

constexpr char DateFormat[] = "yyyyMMdd";

bool isReferenceKind(int kind) {
    return kind == ck::FieldExists || kind == ck::FieldNxxExists || kind == ck::FieldNnxExists ||
           kind == ck::FieldHasAny || kind == ck::FieldValue || kind == ck::FieldDoesNotHave;
}

// The text forms of kind 6 that name no field, or any field, by their operator.
bool comparesAnyField(int operatorNumber) {
    return operatorNumber == op::Contains || operatorNumber == op::DoesNotContain ||
           operatorNumber == op::StartsWith;
}

MarcReferenceParts referencePartsOf(int kind) {
    MarcReferenceParts parts;
    switch (kind) {
    case ck::FieldNxxExists:
    case ck::FieldNnxExists:
        parts.tagCaption = kind == ck::FieldNxxExists ? QStringLiteral("&Field (n of nXX):")
                                                      : QStringLiteral("&Field (nn of nnX):");
        parts.tagLength = kind == ck::FieldNxxExists ? 1 : 2;
        parts.indicators = parts.fieldOccurrence = parts.subfields = false;
        break;
    case ck::FieldHasAny:
    case ck::FieldDoesNotHave:
        parts.subfieldOccurrence = false;
        parts.subfieldCaption = QStringLiteral("&Subfields:");
        break;
    default:
        parts.wildcard = true;
        parts.subfieldCaption = QStringLiteral("&Subfield(s):");
        break;
    }
    return parts;
}

QDate dateOf(const std::string& stored) {
    const QDate date = QDate::fromString(FromStd(stored), QString::fromLatin1(DateFormat));
    return date.isValid() ? date : QDate::currentDate();
}

QDateEdit* dateInput(const char* name) {
    auto* edit = new QDateEdit(QDate::currentDate());
    edit->setObjectName(QString::fromLatin1(name));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return edit;
}

// The libraries between the bars of a stored list, its quotes left out.
QStringList librariesOf(const std::string& stored) {
    QString list = FromStd(stored);
    list.remove(QLatin1Char('"'));
    return list.split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

} // namespace

frmConditionTemplate::frmConditionTemplate(PlatformServices& platform,
                                           const SecurityProfile& profile, QWidget* parent)
    : TemplateDialog(platform, QStringLiteral("frmConditionTemplate"), QStringLiteral("Condition"),
                     HelpContext, parent),
      refField_(new MarcReferenceInputs(QStringLiteral("refField"))),
      ctlControl_(new ControlFieldInputs(QStringLiteral("ctlControl"))) {
    for (const auto& entry : Kinds)
        addKind(QString::fromLatin1(entry.text), entry.kind);

    cboCombinator_ = new QComboBox;
    cboCombinator_->setObjectName(QStringLiteral("cboCombinator"));
    cboCombinator_->addItem(QStringLiteral("AND"));
    inputs()->addWidget(row(QStringLiteral("Co&mbinator:"), cboCombinator_));
    inputs()->addWidget(refField_);
    inputs()->addWidget(ctlControl_);
    buildComparison();
    buildDates();
    txtCataloger_ = MakeValueInput("txtCataloger");
    catalogerRow_ = row(QStringLiteral("&Operator id:"), txtCataloger_);
    inputs()->addWidget(catalogerRow_);
    buildLibraries();
    profile.FillOwningLibraryList(*lstOwningLibraries_);
    buildSuppression();

    watchInputs();
    connect(cboOperator_, &QComboBox::currentIndexChanged, this,
            &frmConditionTemplate::showOperatorValues);
    connect(cboDateRange_, &QComboBox::currentIndexChanged, this,
            [this] { dtpSecondDate_->setEnabled(SelectedItemData(*cboDateRange_) == 2); });
    SetCondition(rules::RuleCondition());
}

QWidget* frmConditionTemplate::row(const QString& caption, QWidget* input) {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption);
    label->setBuddy(input);
    layout->addWidget(label);
    layout->addWidget(input, 1);
    return holder;
}

void frmConditionTemplate::buildComparison() {
    comparison_ = new QWidget;
    auto* layout = new QVBoxLayout(comparison_);
    layout->setContentsMargins(0, 0, 0, 0);
    cboOperator_ = new QComboBox;
    cboOperator_->setObjectName(QStringLiteral("cboOperator"));
    for (const auto& entry : Operators)
        AddListItem(*cboOperator_, QString::fromLatin1(entry.text), entry.kind);
    txtValue1_ = MakeValueInput("txtValue1");
    txtValue2_ = MakeValueInput("txtValue2");
    layout->addWidget(row(QStringLiteral("O&perator:"), cboOperator_));
    value1Row_ = row(QStringLiteral("&Value:"), txtValue1_);
    layout->addWidget(value1Row_);
    value2Row_ = row(QStringLiteral("&And:"), txtValue2_);
    layout->addWidget(value2Row_);
    inputs()->addWidget(comparison_);
}

void frmConditionTemplate::buildDates() {
    dates_ = new QWidget;
    auto* layout = new QHBoxLayout(dates_);
    layout->setContentsMargins(0, 0, 0, 0);
    cboDateRange_ = new QComboBox;
    cboDateRange_->setObjectName(QStringLiteral("cboDateRange"));
    AddListItem(*cboDateRange_, QStringLiteral("Before"), rules::date_range::Before);
    AddListItem(*cboDateRange_, QStringLiteral("After"), rules::date_range::After);
    AddListItem(*cboDateRange_, QStringLiteral("Between"), rules::date_range::Between);
    dtpFirstDate_ = dateInput("dtpFirstDate");
    dtpSecondDate_ = dateInput("dtpSecondDate");
    layout->addWidget(cboDateRange_);
    layout->addWidget(dtpFirstDate_);
    layout->addWidget(new QLabel(QStringLiteral("and")));
    layout->addWidget(dtpSecondDate_);
    layout->addStretch(1);
    inputs()->addWidget(dates_);
}

void frmConditionTemplate::buildLibraries() {
    libraries_ = new QWidget;
    auto* layout = new QVBoxLayout(libraries_);
    layout->setContentsMargins(0, 0, 0, 0);
    optLibraryIn_ = new QRadioButton(QStringLiteral("&In"));
    optLibraryIn_->setObjectName(QStringLiteral("optLibraryIn"));
    auto* optNotIn = new QRadioButton(QStringLiteral("&Not in"));
    optNotIn->setObjectName(QStringLiteral("optLibraryNotIn"));
    auto* group = new QButtonGroup(libraries_);
    group->addButton(optLibraryIn_);
    group->addButton(optNotIn);
    optLibraryIn_->setChecked(true);
    auto* options = new QHBoxLayout;
    options->addWidget(optLibraryIn_);
    options->addWidget(optNotIn);
    options->addStretch(1);
    lstOwningLibraries_ = new QListWidget;
    lstOwningLibraries_->setObjectName(QStringLiteral("lstOwningLibraries"));
    lstOwningLibraries_->setSelectionMode(QAbstractItemView::MultiSelection);
    lstOwningLibraries_->setMaximumHeight(110);
    layout->addLayout(options);
    layout->addWidget(lstOwningLibraries_);
    inputs()->addWidget(libraries_);
}

void frmConditionTemplate::buildSuppression() {
    suppression_ = new QWidget;
    auto* layout = new QHBoxLayout(suppression_);
    layout->setContentsMargins(0, 0, 0, 0);
    optSuppressed_ = new QRadioButton(QStringLiteral("&Suppressed"));
    optSuppressed_->setObjectName(QStringLiteral("optSuppressed"));
    auto* optUnsuppressed = new QRadioButton(QStringLiteral("&Unsuppressed"));
    optUnsuppressed->setObjectName(QStringLiteral("optUnsuppressed"));
    auto* group = new QButtonGroup(suppression_);
    group->addButton(optSuppressed_);
    group->addButton(optUnsuppressed);
    optSuppressed_->setChecked(true);
    layout->addWidget(optSuppressed_);
    layout->addWidget(optUnsuppressed);
    layout->addStretch(1);
    inputs()->addWidget(suppression_);
}

void frmConditionTemplate::SetCondition(const rules::RuleCondition& condition) {
    condition_ = condition;
    const int kind = condition.Kind;
    {
        const Loading loading(*this);
        refField_->Configure(referencePartsOf(kind));
        refField_->SetReference({condition.Field, condition.Indicator1, condition.Indicator2,
                                 condition.FieldOccurrence, condition.Subfields,
                                 condition.SubfieldOccurrence});
        ctlControl_->Configure({false, true, kind != ck::ControlFieldExists});
        ctlControl_->SetReference({condition.ControlField, condition.ControlVariable,
                                   condition.ByteStart, condition.ByteEnd});
        SelectByItemData(*cboOperator_, condition.Operator);
        txtValue1_->setText(FromStd(condition.Value1));
        txtValue2_->setText(FromStd(condition.Value2));
        SelectByItemData(*cboDateRange_, condition.DateRange);
        dtpFirstDate_->setDate(dateOf(condition.FirstDate));
        dtpSecondDate_->setDate(dateOf(condition.SecondDate));
        dtpSecondDate_->setEnabled(condition.DateRange == rules::date_range::Between);
        txtCataloger_->setText(FromStd(condition.Value1));
        if (kind == ck::OwningLibrary) {
            optLibraryIn_->setChecked(condition.OwningLibraryIn);
            findChild<QRadioButton*>(QStringLiteral("optLibraryNotIn"))
                ->setChecked(!condition.OwningLibraryIn);
            const QStringList chosen = librariesOf(condition.OwningLibraries);
            for (int i = 0; i < lstOwningLibraries_->count(); ++i)
                lstOwningLibraries_->item(i)->setSelected(
                    chosen.contains(lstOwningLibraries_->item(i)->text()));
        }
        optSuppressed_->setChecked(kind != ck::OpacSuppress || condition.Suppressed);
        findChild<QRadioButton*>(QStringLiteral("optUnsuppressed"))
            ->setChecked(!optSuppressed_->isChecked());
    }
    SetKind(kind);
}

void frmConditionTemplate::showKind(int kind) {
    const bool controlKind = kind == ck::ControlFieldExists || kind == ck::ControlFieldValue;
    if (isReferenceKind(kind))
        refField_->Configure(referencePartsOf(kind));
    if (controlKind)
        ctlControl_->Configure({false, true, kind == ck::ControlFieldValue});
    refField_->setVisible(isReferenceKind(kind));
    ctlControl_->setVisible(controlKind);
    comparison_->setVisible(kind == ck::FieldValue || kind == ck::ControlFieldValue);
    dates_->setVisible(kind == ck::CreateDate || kind == ck::UpdateDate);
    catalogerRow_->setVisible(kind == ck::CreatedBy || kind == ck::UpdatedBy);
    libraries_->setVisible(kind == ck::OwningLibrary);
    suppression_->setVisible(kind == ck::OpacSuppress);
    showOperatorValues();
}

void frmConditionTemplate::showOperatorValues() {
    const int operatorNumber = SelectedItemData(*cboOperator_);
    value1Row_->setVisible(operatorNumber != op::None);
    value2Row_->setVisible(operatorNumber == op::Between);
}

void frmConditionTemplate::writeInputs() {
    rules::RuleCondition& c = condition_;
    const int kind = Kind();
    if (kind < 0)
        return;
    c.Kind = kind;
    // A line built here is no longer a line read with its error or status.
    c.ErrorText.clear();
    if (isReferenceKind(kind)) {
        const MarcReference reference = refField_->Reference();
        c.Field = reference.field;
        c.Indicator1 = reference.indicator1;
        c.Indicator2 = reference.indicator2;
        c.FieldOccurrence = reference.fieldOccurrence;
        c.Subfields = reference.subfields;
        c.SubfieldOccurrence = reference.subfieldOccurrence;
    }
    if (kind == ck::ControlFieldExists || kind == ck::ControlFieldValue) {
        const ControlReference reference = ctlControl_->Reference();
        c.ControlField = reference.field;
        c.ControlVariable = reference.variable;
        c.ByteStart = reference.byteStart;
        c.ByteEnd = reference.byteEnd;
    }
    if (kind == ck::FieldValue || kind == ck::ControlFieldValue) {
        c.Operator = std::max(0, SelectedItemData(*cboOperator_));
        c.Value1 = c.Operator == op::None ? std::string() : ToStd(txtValue1_->text());
        c.Value2 = c.Operator == op::Between ? ToStd(txtValue2_->text()) : std::string();
    }
    if (kind == ck::CreateDate || kind == ck::UpdateDate) {
        const QString format = QString::fromLatin1(DateFormat);
        c.DateRange = std::max(0, SelectedItemData(*cboDateRange_));
        c.FirstDate = ToStd(dtpFirstDate_->date().toString(format));
        c.SecondDate = c.DateRange == rules::date_range::Between
                           ? ToStd(dtpSecondDate_->date().toString(format))
                           : std::string();
    }
    if (kind == ck::CreatedBy || kind == ck::UpdatedBy)
        c.Value1 = ToStd(txtCataloger_->text());
    if (kind == ck::OwningLibrary) {
        c.OwningLibraryIn = optLibraryIn_->isChecked();
        QStringList chosen;
        for (int i = 0; i < lstOwningLibraries_->count(); ++i)
            if (lstOwningLibraries_->item(i)->isSelected())
                chosen << lstOwningLibraries_->item(i)->text();
        // No library chosen writes no list: the line reads back in error.
        c.OwningLibraries =
            chosen.isEmpty() ? std::string() : ToStd("\"|" + chosen.join('|') + "|\"");
    }
    if (kind == ck::OpacSuppress)
        c.Suppressed = optSuppressed_->isChecked();
}

QStringList frmConditionTemplate::renderedLines() {
    writeInputs();
    rules::RuleCondition written = condition_.Clone();
    written.Render();
    return {FromStd(written.Text)};
}

const rules::RuleCondition& frmConditionTemplate::Condition() {
    writeInputs();
    return condition_;
}

QString frmConditionTemplate::Combinator() const {
    return cboCombinator_->currentText();
}

bool frmConditionTemplate::check() {
    writeInputs();
    const int kind = condition_.Kind;
    const QString field = FromStd(condition_.Field);
    // nXX is tested as n00, nnX as nn0.
    bool tagged = true;
    QString tag = field;
    if (kind == ck::FieldNxxExists)
        tag += QStringLiteral("00");
    else if (kind == ck::FieldNnxExists)
        tag += QStringLiteral("0");
    else if (kind == ck::FieldValue)
        tagged = !comparesAnyField(condition_.Operator);
    else if (kind != ck::FieldExists && kind != ck::FieldHasAny && kind != ck::FieldDoesNotHave)
        tagged = false;
    if (tagged && IsInvalidFieldTag(tag))
        return refuse(QString::fromLatin1(FieldValueMessage));
    rules::RuleCondition written = condition_.Clone();
    written.Render();
    if (const QString error = ReadBackError(written); !error.isEmpty())
        return refuse(error);
    return true;
}

} // namespace velumar
