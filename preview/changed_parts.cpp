#include "changed_parts.h"

#include "preview_line.h"

#include <QString>
#include <dtl/dtl.hpp>
#include <vector>

namespace velumar {

namespace {

// One comparable part of a line: its place in the text and its folded text.
struct Part {
    QString key;
    int start = 0;
    int length = 0;

    bool operator==(const Part& other) const { return key == other.key; }
};

// A data field: the indicators, then each subfield from its "$".
std::vector<Part> subfieldParts(const QString& text) {
    std::vector<Part> parts;
    int start = LineContentStart;
    while (start < text.size()) {
        int end = text.indexOf(QLatin1Char('$'), start + 1);
        if (start == LineContentStart && text.at(start) != QLatin1Char('$'))
            end = text.indexOf(QLatin1Char('$'), start);
        if (end < 0)
            end = static_cast<int>(text.size());
        const QString piece = text.mid(start, end - start);
        parts.push_back({piece.toCaseFolded(), start, end - start});
        start = end;
    }
    return parts;
}

// The leader and control fields: each position.
std::vector<Part> positionParts(const QString& text) {
    std::vector<Part> parts;
    for (int at = LineContentStart; at < text.size(); ++at)
        parts.push_back({QString(text.at(at)).toCaseFolded(), at, 1});
    return parts;
}

void addSpan(QList<PreviewSpan>& spans, int start, int length) {
    // Neighbouring positions make one stretch.
    if (!spans.isEmpty() && spans.back().Start + spans.back().Length == start)
        spans.back().Length += length;
    else
        spans.push_back({start, length});
}

} // namespace

void MarkChangedParts(PreviewLine& before, PreviewLine& after) {
    before.ChangedParts.clear();
    after.ChangedParts.clear();
    if (before.Tag.compare(after.Tag, Qt::CaseInsensitive) != 0) {
        before.ChangedParts.push_back({LineTagStart, LineTagLength});
        after.ChangedParts.push_back({LineTagStart, LineTagLength});
    }
    const bool byPosition = before.IsControl() && after.IsControl();
    const std::vector<Part> was =
        byPosition ? positionParts(before.Text) : subfieldParts(before.Text);
    const std::vector<Part> is = byPosition ? positionParts(after.Text) : subfieldParts(after.Text);

    dtl::Diff<Part> diff(was, is);
    diff.compose();
    for (const auto& [part, info] : diff.getSes().getSequence()) {
        if (info.type == dtl::SES_DELETE) {
            const Part& p = was[static_cast<std::size_t>(info.beforeIdx - 1)];
            addSpan(before.ChangedParts, p.start, p.length);
        } else if (info.type == dtl::SES_ADD) {
            const Part& p = is[static_cast<std::size_t>(info.afterIdx - 1)];
            addSpan(after.ChangedParts, p.start, p.length);
        }
    }
}

} // namespace velumar
