#pragma once
// One line of a previewed record: the leader or a field in the
// one-line-per-field text form ("=245  10$aTitle$cAuthor"), with the mark the
// comparison gave it. A placeholder is an empty line standing opposite a line
// that only the other side has, so that both sides keep the same length.

#include <QList>
#include <QString>

namespace velumar {

enum PreviewMark : int {
    MarkUnchanged = 0,
    MarkChanged = 1,
    MarkDeleted = 2,
    MarkInserted = 3,
};

// A stretch of a line's text, in characters.
struct PreviewSpan {
    int Start = 0;
    int Length = 0;

    bool operator==(const PreviewSpan&) const = default;
};

// "=", the tag and two blanks come before a line's content; the tag begins at 1.
inline constexpr int LineTagStart = 1;
inline constexpr int LineTagLength = 3;
inline constexpr int LineContentStart = 6;

struct PreviewLine {
    QString Text; // empty for a placeholder
    QString Tag;  // "LDR", "001", "245", ...; empty for a placeholder
    // Among the record's fields of this tag, from 1; 0 for a placeholder.
    int Occurrence = 0;
    int Mark = MarkUnchanged;
    // In a changed line, the parts the other side does not have: a changed
    // subfield or indicator pair, or changed positions of a control field.
    QList<PreviewSpan> ChangedParts;

    bool IsPlaceholder() const { return Tag.isEmpty(); }
    // The leader and control fields have no indicators or subfields.
    bool IsControl() const {
        return Tag == QLatin1String("LDR") || Tag.startsWith(QLatin1String("00"));
    }
};

} // namespace velumar
