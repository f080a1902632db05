#pragma once
// The functions the main window offers, by group: what the navigation bar
// and the Functions menu show, the menu entry of each, the right that keeps
// it, and the picture it carries.

#include <QString>
#include <vector>

namespace velumar {

class SecurityProfile;

enum class NavigationGlyph { Stack, List, Search, Document, Pencil, Eye, Play, Clock, Gear, Link };

// Kept when the operator's profile says so; null: never kept.
using KeptWhen = bool (*)(const SecurityProfile&);

struct NavigationItem {
    QString caption;
    QString key;
    QString menuName;
    // What the menu entry passes as the item caption (usually the caption).
    QString menuCaption;
    KeptWhen kept;
    NavigationGlyph glyph;
};

struct NavigationGroup {
    QString caption;
    QString key;
    QString menuName;
    KeptWhen kept;
    NavigationGlyph glyph;
    std::vector<NavigationItem> items;
};

const std::vector<NavigationGroup>& NavigationTable();

} // namespace velumar
