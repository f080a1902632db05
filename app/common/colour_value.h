#pragma once
// Colours as the settings keep them: red + 256 × green + 65536 × blue, or,
// with the top bit set (a negative number), the number of a system colour
// that follows the desktop's palette.

#include <QColor>
#include <QtGlobal>

namespace velumar {

constexpr qint32 RgbValue(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

constexpr qint32 SystemColourValue(int number) {
    return static_cast<qint32>(0x80000000u | static_cast<quint32>(number));
}

// The button face: the desktop's usual background of controls.
inline constexpr qint32 ButtonFaceColour = SystemColourValue(15);

// A system colour takes the application palette's matching role.
QColor ColourOf(qint32 value);
// Always a plain colour value, never a system colour.
qint32 ColourValueOf(const QColor& colour);

} // namespace velumar
