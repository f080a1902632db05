#include "screens/job_summary_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpacerItem>

namespace velumar {

JobSummaryPanel::JobSummaryPanel(int firstColumnLines, QWidget* parent)
    : QGroupBox(QStringLiteral("Job Summary"), parent), layout_(new QGridLayout(this)),
      firstColumnLines_(firstColumnLines) {
    setObjectName(QStringLiteral("fraSummary"));
    layout_->setHorizontalSpacing(8);
    layout_->setVerticalSpacing(2);
    // Below every line: short columns keep their lines at the top.
    layout_->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), MaxLines,
                     0);
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
    int rows[2] = {0, 0}; // lines placed in each column
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const SummaryLine& line = lines[i];
        const Row& row = rows_[static_cast<std::size_t>(i)];
        row.caption->setText(line.caption);
        row.value->setText(line.value);
        row.value->setToolTip(line.value); // the whole value, should it not fit
        if (!line.shown)
            continue;
        const int column = i < firstColumnLines_ ? 0 : 1;
        // Short of room, a value of the second column gives way; captions and
        // the first column's values (names, dates) never do.
        row.value->setSizePolicy(column == 0 ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                                 QSizePolicy::Preferred);
        layout_->addWidget(row.caption, rows[column], column * 2);
        layout_->addWidget(row.value, rows[column], column * 2 + 1);
        ++rows[column];
        row.caption->show();
        row.value->show();
    }
    // The room left goes to the last column of values.
    layout_->setColumnStretch(1, rows[1] > 0 ? 0 : 1);
    layout_->setColumnStretch(3, rows[1] > 0 ? 1 : 0);
}

QList<SummaryLine> JobSummaryPanel::ShownLines() const {
    QList<SummaryLine> lines;
    for (const Row& row : rows_)
        if (!row.caption->isHidden())
            lines.push_back({row.caption->text(), row.value->text()});
    return lines;
}

} // namespace velumar
