#pragma once
// The pictures of the navigation: a rounded tile in the group's colour with
// a white pictogram, drawn here so the program carries no image files.

#include "main_window/navigation_table.h"

#include <QColor>
#include <QIcon>

namespace velumar {

QIcon NavigationIcon(NavigationGlyph glyph, const QColor& tile);

// The tile colour of each group, by the group's position in the table.
QColor GroupColour(int groupIndex);

} // namespace velumar
