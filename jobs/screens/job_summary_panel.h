#pragma once
// The frame "Job Summary": caption and value lines, only the lines the job's
// type shows, packed without gaps; the first lines in a column of their
// own, the rest in a second column beside them.

#include "job_summary.h"

#include <QGroupBox>
#include <vector>

class QGridLayout;
class QLabel;

namespace velumar {

class JobSummaryPanel : public QGroupBox {
    Q_OBJECT
public:
    // `firstColumnLines`: how many of the lines go in the first column.
    explicit JobSummaryPanel(int firstColumnLines, QWidget* parent = nullptr);

    // Replaces the lines; hidden lines take no place.
    void SetLines(const QList<SummaryLine>& lines);
    // What the panel shows, read back from its labels.
    QList<SummaryLine> ShownLines() const;

private:
    static constexpr int MaxLines = 32;

    struct Row {
        QLabel* caption;
        QLabel* value;
    };

    QGridLayout* layout_;
    int firstColumnLines_;
    std::vector<Row> rows_;
};

} // namespace velumar
