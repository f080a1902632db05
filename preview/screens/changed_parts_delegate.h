#pragma once
// Draws a cell whose text has stretches to stand out (the changed parts of a
// changed line) on a stronger shade of the row's colour, in bold.

#include <QColor>
#include <QStyledItemDelegate>

namespace velumar {

class ChangedPartsDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // The stretches of a cell's text: a QVariantList of QPoint (start, length).
    static constexpr int PartsRole = Qt::UserRole + 1;

    explicit ChangedPartsDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void SetStrongColour(const QColor& colour) { strong_ = colour; }
    const QColor& StrongColour() const { return strong_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QColor strong_;
};

} // namespace velumar
