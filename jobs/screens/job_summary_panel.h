#pragma once
// The frame "Job Summary": caption and value lines in two columns, only the
// lines the job's type shows, packed without gaps.

#include "job_summary.h"

#include <QGroupBox>
#include <vector>

class QGridLayout;
class QLabel;

namespace velumar {

class JobSummaryPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit JobSummaryPanel(QWidget* parent = nullptr);

    // Replaces the lines; hidden lines take no place.
    void SetLines(const QList<SummaryLine>& lines);
    // What the panel shows, read back from its labels.
    QList<SummaryLine> ShownLines() const;

private:
    struct Row {
        QLabel* caption;
        QLabel* value;
    };

    QGridLayout* layout_;
    std::vector<Row> rows_;
};

} // namespace velumar
