#include "screens/preview_grid.h"

#include "common/colour_value.h"
#include "preferences/preferences.h"
#include "screens/changed_parts_delegate.h"

#include <QHeaderView>
#include <QPoint>
#include <QScrollBar>

namespace velumar {

namespace {

// Where a line's text falls into the tag, indicator and data columns.
struct Columns {
    int indicatorStart = LineContentStart;
    int dataStart = LineContentStart;
};

Columns columnsOf(const PreviewLine& line) {
    Columns at;
    if (line.IsControl())
        return at;
    const auto dollar = line.Text.indexOf(QLatin1Char('$'), LineContentStart);
    at.dataStart = dollar < 0 ? static_cast<int>(line.Text.size()) : static_cast<int>(dollar);
    return at;
}

// The changed parts that fall in [from, to), as the cell's own positions.
QVariantList partsWithin(const QList<PreviewSpan>& parts, int from, int to) {
    QVariantList out;
    for (const PreviewSpan& part : parts) {
        const int start = std::max(part.Start, from);
        const int end = std::min(part.Start + part.Length, to);
        if (end > start)
            out.push_back(QPoint(start - from, end - start));
    }
    return out;
}

} // namespace

PreviewGrid::PreviewGrid(QWidget* parent)
    : Grid(parent), delegate_(new ChangedPartsDelegate(this)) {
    SetHeadings({QString(), QStringLiteral("Tag"), QStringLiteral("Ind"), QStringLiteral("Data")});
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    setAlternatingRowColors(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(delegate_);
}

void PreviewGrid::ApplyPreferences(const Preferences& preferences) {
    colours_[MarkChanged] = ColourOf(preferences.PreviewHighlightChanged());
    colours_[MarkDeleted] = ColourOf(preferences.PreviewHighlightDeleted());
    colours_[MarkInserted] = ColourOf(preferences.PreviewHighlightInserted());
    delegate_->SetStrongColour(colours_[MarkChanged].darker(130));
    preferences.SetGridFont(*this, true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

QColor PreviewGrid::MarkColour(int mark) const {
    return mark > MarkUnchanged && mark <= MarkInserted ? colours_[static_cast<std::size_t>(mark)]
                                                        : QColor();
}

QColor PreviewGrid::StrongColour() const {
    return delegate_->StrongColour();
}

QString PreviewGrid::MarkSign(int mark) {
    switch (mark) {
    case MarkChanged:
        return QStringLiteral("~");
    case MarkDeleted:
        return QStringLiteral("-");
    case MarkInserted:
        return QStringLiteral("+");
    default:
        return {};
    }
}

void PreviewGrid::Fill(const QList<PreviewLine>& lines) {
    setUpdatesEnabled(false);
    ClearRows();
    setRowCount(static_cast<int>(lines.size()));
    for (int row = 0; row < lines.size(); ++row) {
        const PreviewLine& line = lines[row];
        const Columns at = columnsOf(line);
        const auto text = static_cast<int>(line.Text.size());
        const QString cells[] = {
            MarkSign(line.Mark), line.Tag,
            line.IsPlaceholder()
                ? QString()
                : line.Text.mid(at.indicatorStart, at.dataStart - at.indicatorStart),
            line.IsPlaceholder() ? QString() : line.Text.mid(at.dataStart)};
        const QVariantList parts[] = {
            {},
            partsWithin(line.ChangedParts, LineTagStart, LineTagStart + LineTagLength),
            partsWithin(line.ChangedParts, at.indicatorStart, at.dataStart),
            partsWithin(line.ChangedParts, at.dataStart, text)};
        const QColor colour = MarkColour(line.Mark);
        for (int column = 0; column < columnCount(); ++column) {
            auto* cell = new QTableWidgetItem(cells[column]);
            if (colour.isValid())
                cell->setBackground(colour);
            if (!parts[column].isEmpty())
                cell->setData(ChangedPartsDelegate::PartsRole, parts[column]);
            setItem(row, column, cell);
        }
        // A line too long for the screen reads whole in its tip.
        if (line.Text.size() > 100)
            item(row, DataColumn)->setToolTip(line.Text);
        SetRowData(row, row);
    }
    // Nothing chosen: a selected row would hide its mark's colour.
    setCurrentItem(nullptr);
    clearSelection();
    setUpdatesEnabled(true);
}

void PairPreviewGrids(PreviewGrid& before, PreviewGrid& after) {
    for (auto [from, to] : {std::pair{&before, &after}, std::pair{&after, &before}}) {
        QObject::connect(from->verticalScrollBar(), &QScrollBar::valueChanged,
                         to->verticalScrollBar(), &QScrollBar::setValue);
        QObject::connect(from->horizontalScrollBar(), &QScrollBar::valueChanged,
                         to->horizontalScrollBar(), &QScrollBar::setValue);
        QObject::connect(from, &QTableWidget::currentCellChanged, to, [to](int row) {
            if (row >= 0 && row < to->rowCount() && to->currentRow() != row)
                to->selectRow(row);
        });
    }
}

void MatchPreviewColumns(PreviewGrid& before, PreviewGrid& after) {
    int used = 0;
    for (int column = 0; column < before.columnCount(); ++column) {
        int width = std::max(before.ContentWidth(column), after.ContentWidth(column));
        width = std::max(width, before.horizontalHeader()->sectionSizeHint(column));
        // The data column takes at least the room the others leave.
        if (column == PreviewGrid::DataColumn)
            width = std::max(
                width, std::min(before.viewport()->width(), after.viewport()->width()) - used);
        before.setColumnWidth(column, width);
        after.setColumnWidth(column, width);
        used += width;
    }
}

} // namespace velumar
