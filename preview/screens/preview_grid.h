#pragma once
// One side of the compare screen: a row per line, placeholders included, in
// four columns (the mark as a sign, the tag, the indicators, and the rest of
// the line), rows of marked lines in the operator's preview highlight
// colours and the changed parts of changed lines on a stronger shade. The
// rows keep the order of the lines: the grid does not sort.

#include "grid/grid.h"
#include "preview_line.h"

#include <QColor>
#include <array>

namespace velumar {

class ChangedPartsDelegate;
class Preferences;

class PreviewGrid : public Grid {
    Q_OBJECT
public:
    enum Column { MarkColumn = 0, TagColumn, IndicatorColumn, DataColumn };

    explicit PreviewGrid(QWidget* parent = nullptr);

    // The highlight colours and the grid font of the preferences.
    void ApplyPreferences(const Preferences& preferences);
    void Fill(const QList<PreviewLine>& lines);

    // The row colour of a mark; invalid for an unchanged line.
    QColor MarkColour(int mark) const;
    QColor StrongColour() const;
    // The width the column's cells need.
    int ContentWidth(int column) const { return sizeHintForColumn(column); }
    // The sign shown for a mark: "~" changed, "-" deleted, "+" inserted.
    static QString MarkSign(int mark);

private:
    std::array<QColor, 4> colours_;
    ChangedPartsDelegate* delegate_;
};

// Scrolls the two sides together and gives their columns the same widths,
// so that a row of one stays beside the same row of the other.
void PairPreviewGrids(PreviewGrid& before, PreviewGrid& after);
void MatchPreviewColumns(PreviewGrid& before, PreviewGrid& after);

} // namespace velumar
