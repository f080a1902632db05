#include "screens/frm_preview_select.h"

#include "preview.h"
#include "record_set.h"
#include "record_sets.h"
#include "record_type_purpose.h"
#include "rule_sets.h"
#include "screens/frm_preview_compare.h"
#include "screens/named_widget.h"
#include "session/order_configs.h"
#include "session/session_state.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <limits>

namespace velumar {

namespace {

constexpr int DataChangeRules = 2;

// The id of the entry chosen, or -1.
qint32 chosenId(const QComboBox& combo) {
    return combo.currentIndex() < 0 ? -1 : combo.currentData().toInt();
}

void choose(QComboBox& combo, qint32 id) {
    const int at = combo.findData(id);
    combo.setCurrentIndex(at >= 0 ? at : (combo.count() > 0 ? 0 : -1));
}

} // namespace

frmPreview_Select::frmPreview_Select(SessionState& state, QWidget* parent)
    : FunctionScreen(QStringLiteral("frmPreview_Select"), HelpContext, parent), state_(state),
      sets_(state.manager<RecordSets>()), rules_(state.manager<RuleSets>()),
      preview_(state.manager<Preview>()) {
    build();
    registration_ = sets_.Screens().Register([this](qint32 id) { refillRecordSets(id); });
    {
        const QSignalBlocker quiet(cboRecordType_);
        sets_.FillRecordTypeList(*cboRecordType_, PurposePreview);
    }
    // The first entry stands for no field order configuration.
    cboFieldOrderConfig_->addItem(QString(), 0);
    state.orderConfigs().LoadOrderConfigs(*cboFieldOrderConfig_);
    cboFieldOrderConfig_->setCurrentIndex(0);
    RefillLists();
}

void frmPreview_Select::build() {
    cboRecordType_ = Named(new QComboBox, "cboRecordType");
    optSourceRecord_ = Named(new QRadioButton(QStringLiteral("Record &Id:")), "optSource_0");
    optSourceSet_ = Named(new QRadioButton(QStringLiteral("Record &Set:")), "optSource_1");
    fpRecordId_ = Named(new QLineEdit, "fpRecordId");
    fpRecordId_->setValidator(new QIntValidator(0, std::numeric_limits<qint32>::max(), this));
    fpRecordId_->setMaximumWidth(110);
    cboRecordSet_ = Named(new QComboBox, "cboRecordSet");
    cboRuleSet_ = Named(new QComboBox, "cboRuleSet");
    cboFieldOrderConfig_ = Named(new QComboBox, "cboFieldOrderConfig");
    for (QComboBox* combo : {cboRecordType_, cboRecordSet_, cboRuleSet_, cboFieldOrderConfig_})
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboRecordSet_->setMinimumWidth(260);
    cboRuleSet_->setMinimumWidth(260);

    auto* source = Named(new QGroupBox(QStringLiteral("Record Source:")), "fraSource");
    auto* sourceGrid = new QGridLayout(source);
    sourceGrid->addWidget(optSourceRecord_, 0, 0);
    sourceGrid->addWidget(fpRecordId_, 0, 1, Qt::AlignLeft);
    sourceGrid->addWidget(optSourceSet_, 1, 0);
    sourceGrid->addWidget(cboRecordSet_, 1, 1, Qt::AlignLeft);
    sourceGrid->setColumnStretch(1, 1);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Record &Type:"), cboRecordType_);
    form->addRow(source);
    form->addRow(QStringLiteral("&Rule Set Group Name:"), cboRuleSet_);
    form->addRow(QStringLiteral("Field Order Confi&guration:"), cboFieldOrderConfig_);

    cmdPreview_ = Named(new QPushButton(QStringLiteral("&Preview")), "cmdPreview");
    cmdCancel_ = Named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel");
    cmdPreview_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdPreview_);
    buttons->addWidget(cmdCancel_);

    Body()->addLayout(form);
    Body()->addLayout(buttons);
    Body()->addStretch(1);

    QWidget* order[] = {cboRecordType_,       optSourceRecord_, fpRecordId_,
                        optSourceSet_,        cboRecordSet_,    cboRuleSet_,
                        cboFieldOrderConfig_, cmdPreview_,      cmdCancel_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cboRecordType_, &QComboBox::currentIndexChanged, this,
            [this] { refillRecordSets(-1); });
    // Typing an id or picking a set chooses its option.
    connect(fpRecordId_, &QLineEdit::textEdited, this,
            [this] { optSourceRecord_->setChecked(true); });
    connect(cboRecordSet_, &QComboBox::activated, this,
            [this] { optSourceSet_->setChecked(true); });
    connect(fpRecordId_, &QLineEdit::textChanged, this, &frmPreview_Select::setPreviewEnabled);
    for (QComboBox* combo : {cboRecordSet_, cboRuleSet_})
        connect(combo, &QComboBox::currentIndexChanged, this,
                &frmPreview_Select::setPreviewEnabled);
    for (QRadioButton* option : {optSourceRecord_, optSourceSet_})
        connect(option, &QRadioButton::toggled, this, &frmPreview_Select::setPreviewEnabled);
    connect(cmdPreview_, &QPushButton::clicked, this, &frmPreview_Select::PreviewChosen);
    connect(fpRecordId_, &QLineEdit::returnPressed, this, &frmPreview_Select::PreviewChosen);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmPreview_Select::Cancel);
    optSourceRecord_->setChecked(true);
}

int frmPreview_Select::recordType() const {
    return std::max(chosenId(*cboRecordType_), 0);
}

void frmPreview_Select::showEvent(QShowEvent* event) {
    FunctionScreen::showEvent(event);
    // The lists were filled when the screen was made; later showings catch
    // up with sets and groups changed meanwhile.
    if (shownBefore_ && !event->spontaneous())
        RefillLists();
    shownBefore_ = true;
}

void frmPreview_Select::RefillLists(qint32 selectSetId) {
    sets_.LoadRecordSets();
    refillRecordSets(selectSetId);
    const qint32 group = chosenId(*cboRuleSet_);
    rules_.LoadRuleSets(DataChangeRules);
    {
        const QSignalBlocker quiet(cboRuleSet_);
        rules_.FillRuleSetList(DataChangeRules, *cboRuleSet_);
        choose(*cboRuleSet_, group);
    }
    setPreviewEnabled();
}

void frmPreview_Select::refillRecordSets(qint32 selectId) {
    if (selectId == -1)
        selectId = chosenId(*cboRecordSet_);
    {
        const QSignalBlocker quiet(cboRecordSet_);
        sets_.FillRecordSetCombo(*cboRecordSet_, recordType());
        choose(*cboRecordSet_, selectId);
    }
    setPreviewEnabled();
}

void frmPreview_Select::setPreviewEnabled() {
    bool ok = false;
    const qint32 id = fpRecordId_->text().toInt(&ok);
    const bool source =
        optSourceRecord_->isChecked() ? ok && id >= 1 : cboRecordSet_->currentIndex() >= 0;
    cmdPreview_->setEnabled(recordType() != 0 && cboRuleSet_->currentIndex() >= 0 && source);
}

void frmPreview_Select::PreviewChosen() {
    if (!cmdPreview_->isEnabled())
        return;
    const RuleSet* group = rules_.GetRuleSet(DataChangeRules, chosenId(*cboRuleSet_));
    if (!group)
        return;
    const QString order =
        cboFieldOrderConfig_->currentIndex() > 0 ? cboFieldOrderConfig_->currentText() : QString();
    if (optSourceRecord_->isChecked()) {
        preview_.StartRecord(fpRecordId_->text().toInt(), recordType(), *group, order);
    } else {
        const RecordSet* set = sets_.GetRecordSet(chosenId(*cboRecordSet_));
        if (!set)
            return;
        preview_.StartRecordSet(*set, *group, order);
    }
    if (!preview_.Load(0))
        return;
    if (!compare_)
        compare_ = new frmPreviewCompare(state_, this);
    compare_->ShowPreview();
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}

void frmPreview_Select::Cancel() {
    close();
}

} // namespace velumar
