#include "common/colour_value.h"

#include <QGuiApplication>
#include <QPalette>

namespace velumar {

namespace {

QPalette::ColorRole roleOf(int systemColour) {
    switch (systemColour) {
    case 5: // window background
        return QPalette::Base;
    case 8: // window text
        return QPalette::Text;
    case 9:  // caption text
    case 18: // button text
        return QPalette::ButtonText;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Dark;
    case 20: // button highlight
        return QPalette::Light;
    case 24: // tooltip background
        return QPalette::ToolTipBase;
    case 23: // tooltip text
        return QPalette::ToolTipText;
    case 15: // button face
    default:
        return QPalette::Button;
    }
}

} // namespace

QColor ColourOf(qint32 value) {
    if (value < 0)
        return QGuiApplication::palette().color(roleOf(value & 0xFF));
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

qint32 ColourValueOf(const QColor& colour) {
    return RgbValue(colour.red(), colour.green(), colour.blue());
}

} // namespace velumar
