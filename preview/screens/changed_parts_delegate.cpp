#include "screens/changed_parts_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QPoint>

namespace velumar {

namespace {

struct Run {
    QString text;
    bool strong = false;
};

// The cell's text cut where its stretches begin and end.
QList<Run> runsOf(const QString& text, const QVariantList& parts) {
    QList<Run> runs;
    int at = 0;
    for (const QVariant& value : parts) {
        const QPoint part = value.toPoint();
        const int start = std::clamp(part.x(), at, static_cast<int>(text.size()));
        const int end = std::clamp(part.x() + part.y(), start, static_cast<int>(text.size()));
        if (start > at)
            runs.push_back({text.mid(at, start - at), false});
        if (end > start)
            runs.push_back({text.mid(start, end - start), true});
        at = end;
    }
    if (at < text.size())
        runs.push_back({text.mid(at), false});
    return runs;
}

int textMargin(const QStyleOptionViewItem& option) {
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

} // namespace

void ChangedPartsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QVariantList parts = index.data(PartsRole).toList();
    // A selected row shows as selected; the stretches are for reading, not choosing.
    if (parts.isEmpty() || option.state.testFlag(QStyle::State_Selected)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    painter->save();
    const QVariant background = index.data(Qt::BackgroundRole);
    if (background.isValid())
        painter->fillRect(opt.rect, background.value<QBrush>());
    QFont bold = opt.font;
    bold.setBold(true);
    int x = opt.rect.left() + textMargin(opt);
    for (const Run& run : runsOf(opt.text, parts)) {
        const QFont& font = run.strong ? bold : opt.font;
        const int width = QFontMetrics(font).horizontalAdvance(run.text);
        const QRect box(x, opt.rect.top(), width, opt.rect.height());
        if (run.strong)
            painter->fillRect(box.adjusted(0, 1, 0, -1), strong_);
        painter->setFont(font);
        painter->setPen(opt.palette.color(QPalette::Text));
        painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, run.text);
        x += width;
    }
    painter->restore();
}

QSize ChangedPartsDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QVariantList parts = index.data(PartsRole).toList();
    if (parts.isEmpty())
        return size;
    QFont bold = option.font;
    bold.setBold(true);
    int width = 2 * textMargin(option);
    for (const Run& run : runsOf(index.data(Qt::DisplayRole).toString(), parts))
        width += QFontMetrics(run.strong ? bold : option.font).horizontalAdvance(run.text);
    size.setWidth(std::max(size.width(), width));
    return size;
}

} // namespace velumar
