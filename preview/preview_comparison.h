#pragma once
// Compares the lines of a record before and after the rules. Each side's
// lines become comparison lines (a line of 111 characters or more is cut into
// pieces of 110, each linked to its line), a line diff over them, without
// regard to case, gives the blocks that differ, and each block marks its lines
// changed, deleted or inserted, with empty placeholders opposite lines that
// only one side has, so that both sides end the same length and line n of one
// belongs with line n of the other. Within a stretch of lines that differ,
// lines of one tag are lined up first, so that a changed field is paired with
// itself rather than with its neighbour.
//
// The leader's record length and base address follow from the rest of the
// record, so a leader that differs only there is not a change.

#include "preview_diff.h"
#include "preview_line.h"
#include "preview_link.h"

#include <QList>

namespace velumar {

inline constexpr int ComparisonLineLength = 110;

struct PreviewComparison {
    QList<PreviewLine> Before; // marked, placeholders in place
    QList<PreviewLine> After;
    QList<PreviewLink> BeforeLinks; // to the lines above, placeholders counted
    QList<PreviewLink> AfterLinks;
    QList<PreviewDiff> Differences;
};

PreviewComparison ComparePreviewLines(QList<PreviewLine> before, QList<PreviewLine> after);

} // namespace velumar
