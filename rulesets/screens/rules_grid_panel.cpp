#include "rules_grid_panel.h"

#include "common/colour_value.h"
#include "frm_rule_editor.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "preferences/preferences.h"
#include "rule_document.h"
#include "security/security_profile.h"
#include "session/session_state.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace velumar {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// A line the model could not read; comments and target lines carry a status, not an error.
bool unreadable(const rules::RuleComponent& rule) {
    for (const auto& condition : rule.Conditions)
        if (condition.HasError() && condition.Kind != rules::condition_kind::Comment &&
            condition.Kind != rules::condition_kind::Target)
            return true;
    for (const auto& consequence : rule.Consequences)
        if (consequence.HasError() && consequence.Kind != rules::consequence_kind::Comment)
            return true;
    return false;
}

} // namespace

RulesGridPanel::RulesGridPanel(SessionState& state, int ruleType, QWidget* parent)
    : QWidget(parent), state_(state), ruleType_(ruleType), runDialog_(ModalDialogRunner()),
      vsfRules_(new Grid) {
    vsfRules_->setObjectName(QStringLiteral("vsfRules"));
    vsfRules_->SetHeadings({QStringLiteral("Rule"), QStringLiteral("When")});
    vsfRules_->horizontalHeader()->resizeSection(0, 150);
    // The order of the rules is the order they run in: not sorted here.
    vsfRules_->horizontalHeader()->setSectionsClickable(false);
    const auto button = [](const char* name, const QString& caption) {
        auto* pushButton = new QPushButton(caption);
        pushButton->setObjectName(QString::fromLatin1(name));
        return pushButton;
    };
    cmdAddRule_ = button("cmdAddRule", QStringLiteral("&Add Rule"));
    cmdEditRule_ = button("cmdEditRule", QStringLiteral("Edit &Rule"));
    cmdRemoveRule_ = button("cmdRemoveRule", QStringLiteral("Re&move Rule"));
    cmdUp_ = button("cmdUp", QStringLiteral("&Up"));
    cmdDown_ = button("cmdDown", QStringLiteral("Do&wn"));
    connect(cmdAddRule_, &QPushButton::clicked, this, &RulesGridPanel::AddRule);
    connect(cmdEditRule_, &QPushButton::clicked, this, &RulesGridPanel::EditRule);
    connect(cmdRemoveRule_, &QPushButton::clicked, this, &RulesGridPanel::RemoveRule);
    connect(cmdUp_, &QPushButton::clicked, this, [this] { MoveRule(true); });
    connect(cmdDown_, &QPushButton::clicked, this, [this] { MoveRule(false); });
    connect(vsfRules_, &QTableWidget::itemSelectionChanged, this, &RulesGridPanel::setButtons);
    connect(vsfRules_, &QTableWidget::cellDoubleClicked, this, &RulesGridPanel::EditRule);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* pushButton : {cmdAddRule_, cmdEditRule_, cmdRemoveRule_, cmdUp_, cmdDown_})
        buttons->addWidget(pushButton);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(vsfRules_, 1);
    layout->addLayout(buttons);
    setButtons();
}

void RulesGridPanel::SetDocument(rules::RuleDocument* document) {
    document_ = document;
    fill();
}

qint32 RulesGridPanel::selectedIndex() const {
    const GridSelection selection = GetGridSelection(*vsfRules_);
    return selection.row < 0 ? -1 : selection.rowData;
}

void RulesGridPanel::fill(qint32 selectIndex) {
    {
        const QSignalBlocker quiet(vsfRules_);
        vsfRules_->ClearRows();
        if (document_)
            for (const auto& rule : document_->Rules)
                vsfRules_->AddRow({text(rule.Name), text(rule.Summary)}, rule.Index);
        SelectGridRow(*vsfRules_, -1, selectIndex);
    }
    RedrawHighlighting();
    setButtons();
}

void RulesGridPanel::RedrawHighlighting() {
    const QColor colour = ColourOf(state_.preferences().RulesHighlightNotImplemented());
    for (int row = 0; row < vsfRules_->rowCount(); ++row) {
        const auto* rule =
            document_ ? document_->Rules.Find(std::to_string(vsfRules_->RowData(row))) : nullptr;
        const bool highlighted = rule && unreadable(*rule);
        for (int column = 0; column < vsfRules_->columnCount(); ++column)
            vsfRules_->item(row, column)->setBackground(highlighted ? QBrush(colour) : QBrush());
    }
}

void RulesGridPanel::setButtons() {
    const int row = GetGridSelection(*vsfRules_).row;
    const bool chosen = document_ && row >= 0;
    cmdAddRule_->setEnabled(document_ != nullptr);
    cmdEditRule_->setEnabled(chosen);
    cmdRemoveRule_->setEnabled(chosen);
    cmdUp_->setEnabled(chosen && row > 0);
    cmdDown_->setEnabled(chosen && row + 1 < vsfRules_->rowCount());
}

void RulesGridPanel::runEditor(bool existing) {
    const auto* rule = existing ? document_->Rules.Find(std::to_string(selectedIndex())) : nullptr;
    if (existing && !rule)
        return;
    frmRuleEditor editor(state_.platform(), state_.securityProfile(), ruleType_, this);
    editor.SetErrorHighlight(ColourOf(state_.preferences().RulesHighlightNotImplemented()));
    editor.Edit(*document_, rule);
    if (runDialog_(editor) == QDialog::Accepted && editor.StoredRule())
        fill(editor.StoredRule()->Index);
}

void RulesGridPanel::AddRule() {
    if (cmdAddRule_->isEnabled())
        runEditor(false);
}

void RulesGridPanel::EditRule() {
    if (cmdEditRule_->isEnabled())
        runEditor(true);
}

void RulesGridPanel::RemoveRule() {
    if (!cmdRemoveRule_->isEnabled())
        return;
    document_->Rules.Remove(std::to_string(selectedIndex()));
    fill();
}

void RulesGridPanel::MoveRule(bool up) {
    if (!(up ? cmdUp_ : cmdDown_)->isEnabled())
        return;
    const qint32 index = selectedIndex();
    const auto at = document_->Rules.IndexOf(std::to_string(index));
    document_->Rules.Swap(static_cast<std::size_t>(at),
                          static_cast<std::size_t>(up ? at - 1 : at + 1));
    fill(index);
}

} // namespace velumar
