#include "main_window/navigation_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace velumar {

namespace {

// Pictograms are drawn on a 32 by 32 grid and scaled to the pixmap.
void drawGlyph(QPainter& p, NavigationGlyph glyph) {
    const QPen line(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case NavigationGlyph::Stack:
        p.drawRoundedRect(QRectF(11, 7, 13, 10), 1.5, 1.5);
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawRoundedRect(QRectF(9, 11, 13, 10), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(7, 15, 13, 10), 1.5, 1.5);
        break;
    case NavigationGlyph::List:
        for (int i = 0; i < 3; ++i) {
            const double y = 10 + i * 6;
            p.drawPoint(QPointF(9, y));
            p.drawLine(QPointF(13, y), QPointF(24, y));
        }
        break;
    case NavigationGlyph::Search:
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawEllipse(QPointF(14, 14), 6, 6);
        p.drawLine(QPointF(18.5, 18.5), QPointF(24, 24));
        break;
    case NavigationGlyph::Document: {
        QPainterPath page;
        page.moveTo(9, 6);
        page.lineTo(19, 6);
        page.lineTo(24, 11);
        page.lineTo(24, 26);
        page.lineTo(9, 26);
        page.closeSubpath();
        p.drawPath(page);
        p.drawLine(QPointF(12, 15), QPointF(21, 15));
        p.drawLine(QPointF(12, 19), QPointF(21, 19));
        p.drawLine(QPointF(12, 23), QPointF(18, 23));
        break;
    }
    case NavigationGlyph::Pencil: {
        QPainterPath pencil;
        pencil.moveTo(8, 24);
        pencil.lineTo(9.5, 19);
        pencil.lineTo(20, 8.5);
        pencil.lineTo(23.5, 12);
        pencil.lineTo(13, 22.5);
        pencil.closeSubpath();
        p.drawPath(pencil);
        p.drawLine(QPointF(17.5, 11), QPointF(21, 14.5));
        break;
    }
    case NavigationGlyph::Eye: {
        QPainterPath eye;
        eye.moveTo(6, 16);
        eye.quadTo(16, 5, 26, 16);
        eye.quadTo(16, 27, 6, 16);
        p.drawPath(eye);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 16), 3.2, 3.2);
        break;
    }
    case NavigationGlyph::Play: {
        p.setBrush(Qt::white);
        QPainterPath play;
        play.moveTo(12, 8.5);
        play.lineTo(24, 16);
        play.lineTo(12, 23.5);
        play.closeSubpath();
        p.drawPath(play);
        break;
    }
    case NavigationGlyph::Clock:
        p.drawEllipse(QPointF(16, 16), 9, 9);
        p.drawLine(QPointF(16, 16), QPointF(16, 10));
        p.drawLine(QPointF(16, 16), QPointF(20, 18));
        break;
    case NavigationGlyph::Gear: {
        p.save();
        p.translate(16, 16);
        for (int i = 0; i < 8; ++i) {
            p.drawLine(QPointF(0, -7.5), QPointF(0, -10));
            p.rotate(45);
        }
        p.restore();
        p.drawEllipse(QPointF(16, 16), 6.5, 6.5);
        p.drawEllipse(QPointF(16, 16), 2.2, 2.2);
        break;
    }
    case NavigationGlyph::Link:
        p.drawRoundedRect(QRectF(6, 12.5, 12, 7), 3.5, 3.5);
        p.drawRoundedRect(QRectF(14, 12.5, 12, 7), 3.5, 3.5);
        break;
    }
}

QPixmap tilePixmap(NavigationGlyph glyph, const QColor& tile, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient shade(0, 0, 0, 32);
    shade.setColorAt(0, tile.lighter(118));
    shade.setColorAt(1, tile.darker(112));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    drawGlyph(p, glyph);
    return pixmap;
}

} // namespace

QIcon NavigationIcon(NavigationGlyph glyph, const QColor& tile) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(tilePixmap(glyph, tile, size));
    return icon;
}

QColor GroupColour(int groupIndex) {
    static const std::array<QColor, 5> colours{
        QColor(0x2f, 0x6f, 0xb5), // record sets
        QColor(0x7a, 0x4f, 0xb0), // rules
        QColor(0x1f, 0x8f, 0x86), // preview
        QColor(0xd0, 0x7a, 0x1f), // jobs
        QColor(0xb2, 0x3b, 0x4e), // authority loading
    };
    return colours[static_cast<std::size_t>(groupIndex) % colours.size()];
}

} // namespace velumar
