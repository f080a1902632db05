#include "screens/job_summary_panel.h"

#include <QGridLayout>
#include <QLabel>

namespace velumar {

JobSummaryPanel::JobSummaryPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Job Summary"), parent), layout_(new QGridLayout(this)) {
    setObjectName(QStringLiteral("fraSummary"));
    layout_->setHorizontalSpacing(8);
    layout_->setVerticalSpacing(2);
    layout_->setColumnStretch(1, 1);
    layout_->setColumnStretch(3, 1);
    layout_->setColumnMinimumWidth(2, 0);
}

void JobSummaryPanel::SetLines(const QList<SummaryLine>& lines) {
    while (rows_.size() < static_cast<std::size_t>(lines.size())) {
        auto* caption = new QLabel(this);
        auto* value = new QLabel(this);
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        rows_.push_back({caption, value});
    }
    for (const Row& row : rows_) {
        layout_->removeWidget(row.caption);
        layout_->removeWidget(row.value);
        row.caption->hide();
        row.value->hide();
    }
    int shown = 0;
    for (const SummaryLine& line : lines)
        shown += line.shown ? 1 : 0;
    // Left column first, then the right: the lines read down, as a list does.
    const int perColumn = (shown + 1) / 2;
    int at = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const SummaryLine& line = lines[i];
        const Row& row = rows_[static_cast<std::size_t>(i)];
        row.caption->setText(line.caption);
        row.value->setText(line.value);
        if (!line.shown)
            continue;
        const int column = at < perColumn ? 0 : 2;
        const int gridRow = at < perColumn ? at : at - perColumn;
        layout_->addWidget(row.caption, gridRow, column);
        layout_->addWidget(row.value, gridRow, column + 1);
        row.caption->show();
        row.value->show();
        ++at;
    }
}

QList<SummaryLine> JobSummaryPanel::ShownLines() const {
    QList<SummaryLine> lines;
    for (const Row& row : rows_)
        if (!row.caption->isHidden())
            lines.push_back({row.caption->text(), row.value->text()});
    return lines;
}

} // namespace velumar
