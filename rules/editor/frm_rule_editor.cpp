#include "frm_rule_editor.h"

#include "char_filter_validator.h"
#include "frm_condition_template.h"
#include "frm_consequence_template.h"
#include "help/help_topics.h"
#include "platform/platform_services.h"
#include "rule_clob.h"
#include "rule_component.h"
#include "rule_document.h"
#include "template_inputs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velumar {

namespace ck = rules::condition_kind;
namespace qk = rules::consequence_kind;

namespace {

constexpr char NameChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                             "!#$%&'()*+,-./:;<=>?{}_^`~\\[]@| ";
constexpr int KeyRole = Qt::UserRole;
constexpr int StatusRole = Qt::UserRole + 1;

QTableWidget* lineGrid(const char* name, const QStringList& headings) {
    auto* grid = new QTableWidget;
    grid->setObjectName(QString::fromLatin1(name));
    grid->setColumnCount(static_cast<int>(headings.size()));
    grid->setHorizontalHeaderLabels(headings);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setShowGrid(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return grid;
}

// A copy of the rule to edit, read from its own text.
std::unique_ptr<rules::RuleComponent> workingCopy(const rules::RuleComponent* rule) {
    auto copy = std::make_unique<rules::RuleComponent>();
    if (!rule)
        return copy;
    const std::string text = rule->ToText();
    const auto lines = rules::RuleClob::SplitLines(text);
    copy->Read(lines, rule->Index);
    // Every condition holds together: the editor shows each one after the first joined by AND.
    bool first = true;
    for (auto& condition : copy->Conditions) {
        if (condition.Kind == ck::Comment || condition.Kind == ck::Target)
            continue;
        condition.Conjunction = first ? std::string() : std::string("AND");
        first = false;
    }
    return copy;
}

// Tags of the Add MARC Field lines before the one with this key (all of them for none).
std::vector<std::string> addedFieldTags(const rules::RuleComponent& rule, const QString& key) {
    std::vector<std::string> tags;
    for (const auto& consequence : rule.Consequences) {
        if (FromStd(consequence.Key()) == key)
            break;
        if (consequence.Kind == qk::AddField)
            tags.push_back(consequence.Field);
    }
    return tags;
}

bool isErrorLine(const std::string& errorText, int kind, int commentKind) {
    return !errorText.empty() && kind != commentKind && kind != ck::Target;
}

} // namespace

frmRuleEditor::frmRuleEditor(PlatformServices& platform, const SecurityProfile& profile,
                             int ruleType, QWidget* parent)
    : QDialog(parent), platform_(platform), profile_(profile), ruleType_(ruleType),
      runDialog_(ModalDialogRunner()), rule_(std::make_unique<rules::RuleComponent>()) {
    setObjectName(QStringLiteral("frmRuleEditor"));
    setWindowTitle(QStringLiteral("Edit Rule"));
    setModal(true);
    build();
}

frmRuleEditor::~frmRuleEditor() = default;

QPushButton* frmRuleEditor::button(const char* name, const QString& caption) {
    auto* pushButton = new QPushButton(caption);
    pushButton->setObjectName(QString::fromLatin1(name));
    pushButton->setAutoDefault(false);
    return pushButton;
}

void frmRuleEditor::build() {
    txtName_ = new QLineEdit;
    txtName_->setObjectName(QStringLiteral("txtName"));
    txtName_->setValidator(new CharFilterValidator(QString::fromLatin1(NameChars),
                                                   CharFilterValidator::Mode::Accept, txtName_));
    auto* nameRow = new QHBoxLayout;
    auto* lblName = new QLabel(QStringLiteral("Rule &name:"));
    lblName->setBuddy(txtName_);
    nameRow->addWidget(lblName);
    nameRow->addWidget(txtName_, 1);

    vsfConditions_ = lineGrid("vsfConditions", {QString(), QStringLiteral("When")});
    vsfConditions_->horizontalHeader()->resizeSection(0, 44);
    cmdAddCondition_ = button("cmdAddCondition", QStringLiteral("&Add"));
    cmdEditCondition_ = button("cmdEditCondition", QStringLiteral("&Edit"));
    cmdRemoveCondition_ = button("cmdRemoveCondition", QStringLiteral("&Remove"));
    cmdConditionUp_ = button("cmdConditionUp", QStringLiteral("Up"));
    cmdConditionDown_ = button("cmdConditionDown", QStringLiteral("D&own"));
    connect(cmdAddCondition_, &QPushButton::clicked, this, &frmRuleEditor::AddCondition);
    connect(cmdEditCondition_, &QPushButton::clicked, this, &frmRuleEditor::EditCondition);
    connect(cmdRemoveCondition_, &QPushButton::clicked, this, &frmRuleEditor::RemoveCondition);
    connect(cmdConditionUp_, &QPushButton::clicked, this, [this] { MoveCondition(true); });
    connect(cmdConditionDown_, &QPushButton::clicked, this, [this] { MoveCondition(false); });
    connect(vsfConditions_, &QTableWidget::itemSelectionChanged, this, &frmRuleEditor::setButtons);
    connect(vsfConditions_, &QTableWidget::cellDoubleClicked, this, &frmRuleEditor::EditCondition);

    const auto linePanel = [](const QString& title, QTableWidget* grid,
                              std::initializer_list<QPushButton*> buttons) {
        auto* box = new QGroupBox(title);
        auto* layout = new QHBoxLayout(box);
        layout->addWidget(grid, 1);
        auto* column = new QVBoxLayout;
        for (QPushButton* pushButton : buttons)
            column->addWidget(pushButton);
        column->addStretch(1);
        layout->addLayout(column);
        return box;
    };
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(linePanel(QStringLiteral("Conditions"), vsfConditions_,
                                {cmdAddCondition_, cmdEditCondition_, cmdRemoveCondition_,
                                 cmdConditionUp_, cmdConditionDown_}),
                      1);

    vsfConsequences_ = lineGrid("vsfConsequences", {QStringLiteral("Then")});
    if (ruleType_ == ScanRules) {
        auto* box = new QGroupBox(QStringLiteral("Records found"));
        optInclude_ = new QRadioButton(QStringLiteral("Incl&ude"));
        optInclude_->setObjectName(QStringLiteral("optInclude"));
        optExclude_ = new QRadioButton(QStringLiteral("E&xclude"));
        optExclude_->setObjectName(QStringLiteral("optExclude"));
        auto* group = new QButtonGroup(box);
        group->addButton(optInclude_);
        group->addButton(optExclude_);
        optInclude_->setChecked(true);
        auto* options = new QHBoxLayout(box);
        options->addWidget(optInclude_);
        options->addWidget(optExclude_);
        options->addStretch(1);
        // Kept for the rule's lines, never shown: the options stand for them.
        vsfConsequences_->setParent(this);
        vsfConsequences_->hide();
        layout->addWidget(box);
    } else {
        cmdAddConsequence_ = button("cmdAddConsequence", QStringLiteral("A&dd"));
        cmdEditConsequence_ = button("cmdEditConsequence", QStringLiteral("Edi&t"));
        cmdRemoveConsequence_ = button("cmdRemoveConsequence", QStringLiteral("Re&move"));
        cmdConsequenceUp_ = button("cmdConsequenceUp", QStringLiteral("Up"));
        cmdConsequenceDown_ = button("cmdConsequenceDown", QStringLiteral("Do&wn"));
        connect(cmdAddConsequence_, &QPushButton::clicked, this, &frmRuleEditor::AddConsequence);
        connect(cmdEditConsequence_, &QPushButton::clicked, this, &frmRuleEditor::EditConsequence);
        connect(cmdRemoveConsequence_, &QPushButton::clicked, this,
                &frmRuleEditor::RemoveConsequence);
        connect(cmdConsequenceUp_, &QPushButton::clicked, this, [this] { MoveConsequence(true); });
        connect(cmdConsequenceDown_, &QPushButton::clicked, this,
                [this] { MoveConsequence(false); });
        connect(vsfConsequences_, &QTableWidget::itemSelectionChanged, this,
                &frmRuleEditor::setButtons);
        connect(vsfConsequences_, &QTableWidget::cellDoubleClicked, this,
                &frmRuleEditor::EditConsequence);
        layout->addWidget(linePanel(QStringLiteral("Consequences"), vsfConsequences_,
                                    {cmdAddConsequence_, cmdEditConsequence_, cmdRemoveConsequence_,
                                     cmdConsequenceUp_, cmdConsequenceDown_}),
                          1);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cmdCancel =
        buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmRuleEditor::Confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumSize(600, 460);
    setButtons();
}

void frmRuleEditor::Edit(rules::RuleDocument& document, const rules::RuleComponent* rule) {
    document_ = &document;
    original_ = rule;
    stored_ = nullptr;
    rule_ = workingCopy(rule);
    txtName_->setText(FromStd(rule_->Name));
    if (optInclude_) {
        bool exclude = false;
        for (const auto& consequence : rule_->Consequences)
            if (consequence.Kind == qk::ScanAction)
                exclude = consequence.ScanAction == 1;
        (exclude ? optExclude_ : optInclude_)->setChecked(true);
    }
    fillConditions();
    fillConsequences();
}

void frmRuleEditor::fillConditions(const QString& selectKey) {
    const QSignalBlocker quiet(vsfConditions_);
    vsfConditions_->setRowCount(0);
    for (const auto& condition : rule_->Conditions) {
        const int row = vsfConditions_->rowCount();
        vsfConditions_->insertRow(row);
        auto* conjunction = new QTableWidgetItem(FromStd(condition.Conjunction));
        auto* text = new QTableWidgetItem(FromStd(condition.Text));
        // Each line keeps its status: a target line is changed through its consequence.
        text->setData(KeyRole, FromStd(condition.Key()));
        text->setData(StatusRole, FromStd(condition.ErrorText));
        text->setToolTip(condition.ErrorText.empty() ? FromStd(condition.Text)
                                                     : FromStd(condition.ErrorText));
        if (isErrorLine(condition.ErrorText, condition.Kind, ck::Comment) &&
            errorHighlight_.isValid())
            text->setBackground(errorHighlight_);
        vsfConditions_->setItem(row, 0, conjunction);
        vsfConditions_->setItem(row, 1, text);
    }
    select(*vsfConditions_, selectKey);
    setButtons();
}

void frmRuleEditor::fillConsequences(const QString& selectKey) {
    const QSignalBlocker quiet(vsfConsequences_);
    vsfConsequences_->setRowCount(0);
    for (const auto& consequence : rule_->Consequences) {
        const int row = vsfConsequences_->rowCount();
        vsfConsequences_->insertRow(row);
        auto* text = new QTableWidgetItem(FromStd(consequence.DisplayText));
        text->setData(KeyRole, FromStd(consequence.Key()));
        text->setToolTip(consequence.ErrorText.empty() ? FromStd(consequence.DisplayText)
                                                       : FromStd(consequence.ErrorText));
        if (isErrorLine(consequence.ErrorText, consequence.Kind, qk::Comment) &&
            errorHighlight_.isValid())
            text->setBackground(errorHighlight_);
        vsfConsequences_->setItem(row, 0, text);
    }
    select(*vsfConsequences_, selectKey);
    setButtons();
}

QString frmRuleEditor::selectedKey(const QTableWidget& grid) const {
    const int row = grid.currentRow();
    const int column = grid.columnCount() - 1;
    const QTableWidgetItem* item = row >= 0 ? grid.item(row, column) : nullptr;
    return item && item->isSelected() ? item->data(KeyRole).toString() : QString();
}

void frmRuleEditor::select(QTableWidget& grid, const QString& key) {
    const int column = grid.columnCount() - 1;
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (!key.isEmpty() && grid.item(row, column)->data(KeyRole).toString() == key) {
            grid.setCurrentCell(row, column);
            grid.selectRow(row);
            grid.scrollToItem(grid.item(row, column));
            return;
        }
    }
    grid.clearSelection();
    grid.setCurrentCell(-1, -1);
}

void frmRuleEditor::setButtons() {
    const int conditionRow =
        selectedKey(*vsfConditions_).isEmpty() ? -1 : vsfConditions_->currentRow();
    const QTableWidgetItem* condition =
        conditionRow >= 0 ? vsfConditions_->item(conditionRow, 1) : nullptr;
    // A target line is changed only by editing the consequence it pairs with.
    const bool movable =
        condition && condition->data(StatusRole).toString() != FromStd(rules::kTargetStatus);
    cmdEditCondition_->setEnabled(movable);
    cmdRemoveCondition_->setEnabled(movable);
    cmdConditionUp_->setEnabled(movable && conditionRow > 0);
    cmdConditionDown_->setEnabled(movable && conditionRow + 1 < vsfConditions_->rowCount());
    if (!cmdEditConsequence_)
        return;
    const int consequenceRow =
        selectedKey(*vsfConsequences_).isEmpty() ? -1 : vsfConsequences_->currentRow();
    const bool chosen = consequenceRow >= 0;
    cmdEditConsequence_->setEnabled(chosen);
    cmdRemoveConsequence_->setEnabled(chosen);
    cmdConsequenceUp_->setEnabled(chosen && consequenceRow > 0);
    cmdConsequenceDown_->setEnabled(chosen && consequenceRow + 1 < vsfConsequences_->rowCount());
}

void frmRuleEditor::AddCondition() {
    frmConditionTemplate line(platform_, profile_, this);
    if (runDialog_(line) != QDialog::Accepted)
        return;
    bool joined = false;
    for (const auto& condition : rule_->Conditions)
        joined = joined || (condition.Kind != ck::Comment && condition.Kind != ck::Target);
    const auto& added =
        rule_->AddCondition(line.Condition(), joined && line.Combinator() == QLatin1String("AND"));
    fillConditions(FromStd(added.Key()));
}

void frmRuleEditor::EditCondition() {
    const QString key = selectedKey(*vsfConditions_);
    const rules::RuleCondition* stored = rule_->Conditions.Find(ToStd(key));
    if (!stored || !cmdEditCondition_->isEnabled())
        return;
    frmConditionTemplate line(platform_, profile_, this);
    line.SetCondition(stored->Clone());
    if (runDialog_(line) != QDialog::Accepted)
        return;
    rule_->ReplaceCondition(line.Condition());
    fillConditions(key);
    // A copy into an existing field names its target line's tag.
    fillConsequences(selectedKey(*vsfConsequences_));
}

void frmRuleEditor::RemoveCondition() {
    const QString key = selectedKey(*vsfConditions_);
    if (key.isEmpty() || !cmdRemoveCondition_->isEnabled())
        return;
    rule_->RemoveCondition(ToStd(key));
    fillConditions();
}

void frmRuleEditor::MoveCondition(bool up) {
    const QString key = selectedKey(*vsfConditions_);
    QPushButton* pressed = up ? cmdConditionUp_ : cmdConditionDown_;
    if (key.isEmpty() || !pressed->isEnabled())
        return;
    rule_->MoveCondition(ToStd(key), up);
    fillConditions(key);
}

void frmRuleEditor::AddConsequence() {
    if (!cmdAddConsequence_)
        return;
    frmConsequenceTemplate line(platform_, ruleType_ == DataChangeRules, this);
    line.SetDialogRunner(runDialog_);
    line.SetAddedFieldTags(addedFieldTags(*rule_, QString()));
    if (runDialog_(line) != QDialog::Accepted)
        return;
    rules::RuleConsequence edited = line.Consequence();
    if (auto target = line.TargetLine()) {
        const auto& added = rule_->AddCondition(*target, false);
        edited.TargetRef = added.Key();
        edited.TargetCondition = rule_->Conditions.Find(edited.TargetRef);
    }
    const auto& added = rule_->AddConsequence(std::move(edited));
    fillConditions(selectedKey(*vsfConditions_));
    fillConsequences(FromStd(added.Key()));
}

void frmRuleEditor::EditConsequence() {
    const QString key = selectedKey(*vsfConsequences_);
    const rules::RuleConsequence* stored = rule_->Consequences.Find(ToStd(key));
    if (!stored || !cmdEditConsequence_)
        return;
    frmConsequenceTemplate line(platform_, ruleType_ == DataChangeRules, this);
    line.SetDialogRunner(runDialog_);
    line.SetAddedFieldTags(addedFieldTags(*rule_, key));
    line.SetConsequence(stored->Clone());
    if (runDialog_(line) != QDialog::Accepted)
        return;
    rules::RuleConsequence edited = line.Consequence();
    rules::RuleCondition* pairedTarget =
        edited.TargetRef.empty() ? nullptr : rule_->Conditions.Find(edited.TargetRef);
    if (auto target = line.TargetLine()) {
        if (pairedTarget) {
            target->LineIndex = pairedTarget->LineIndex;
            rule_->ReplaceCondition(*target);
        } else {
            edited.TargetRef = rule_->AddCondition(*target, false).Key();
        }
        edited.TargetCondition = rule_->Conditions.Find(edited.TargetRef);
    } else if (pairedTarget) {
        // No longer a copy into an existing field: its target line goes with it.
        const std::string targetKey = edited.TargetRef;
        edited.TargetRef.clear();
        edited.TargetCondition = nullptr;
        rule_->RemoveCondition(targetKey);
    }
    rule_->ReplaceConsequence(edited);
    fillConditions(selectedKey(*vsfConditions_));
    fillConsequences(key);
}

void frmRuleEditor::RemoveConsequence() {
    const QString key = selectedKey(*vsfConsequences_);
    if (key.isEmpty() || !cmdRemoveConsequence_)
        return;
    // A copy into an existing field takes its target line with it.
    rule_->RemoveConsequence(ToStd(key));
    fillConditions();
    fillConsequences();
}

void frmRuleEditor::MoveConsequence(bool up) {
    const QString key = selectedKey(*vsfConsequences_);
    if (key.isEmpty() || !cmdConsequenceUp_)
        return;
    if (!(up ? cmdConsequenceUp_ : cmdConsequenceDown_)->isEnabled())
        return;
    rule_->MoveConsequence(ToStd(key), up);
    fillConsequences(key);
}

void frmRuleEditor::storeScanAction() {
    rules::RuleConsequence action;
    for (const auto& consequence : rule_->Consequences)
        if (consequence.Kind == qk::ScanAction)
            action = consequence.Clone();
    action.Kind = qk::ScanAction;
    action.ScanAction = optExclude_->isChecked() ? 1 : 0;
    if (action.LineIndex > 0)
        rule_->ReplaceConsequence(action);
    else
        rule_->AddConsequence(std::move(action));
}

void frmRuleEditor::Confirm() {
    if (!document_)
        return;
    rule_->Name = ToStd(txtName_->text());
    if (ruleType_ == DataChangeRules) {
        if (const auto violation = rule_->CheckAddFieldPairs()) {
            // The dialog stays open on the offending line.
            fillConsequences(FromStd(violation->consequence->Key()));
            Message message;
            message.text = FromStd(violation->message);
            message.icon = MessageIcon::Exclamation;
            message.parent = this;
            platform_.ShowMessage(message);
            return;
        }
    }
    if (optInclude_)
        storeScanAction();
    rule_->UpdateSummary();
    rule_->ToLines();
    store();
    accept();
}

void frmRuleEditor::store() {
    rules::RuleDocument& document = *document_;
    if (!original_) {
        stored_ = &document.AddRule(std::move(rule_));
        return;
    }
    // In the place of the rule it was copied from, under the same index.
    const std::string key = original_->Key();
    const auto at = document.Rules.IndexOf(key);
    rule_->Index = original_->Index;
    document.Rules.Remove(key);
    stored_ = &document.Rules.Add(std::move(rule_));
    for (auto i = static_cast<std::ptrdiff_t>(document.Rules.size()) - 1; at >= 0 && i > at; --i)
        document.Rules.Swap(static_cast<std::size_t>(i), static_cast<std::size_t>(i - 1));
    original_ = stored_;
}

void frmRuleEditor::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::HelpContents)) {
        platform_.OpenUrl(HelpTopicUrl(HelpContext));
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velumar
