#include "preview_comparison.h"

#include "changed_parts.h"

#include <dtl/dtl.hpp>
#include <utility>
#include <vector>

namespace velumar {

namespace {

// The leader's positions 00-04 and 12-16 are computed by the writer.
constexpr int LengthAt = LineContentStart;
constexpr int BaseAddressAt = LineContentStart + 12;
constexpr int NumberWidth = 5;
constexpr int MaskedUpTo = BaseAddressAt + NumberWidth;

// One comparison line.
struct Piece {
    QString compared; // the text the diff compares, case aside
    int ordinal = 0;  // 0 for a line's first piece, so no piece can pass for another's start

    bool operator==(const Piece& other) const {
        return ordinal == other.ordinal &&
               QString::compare(compared, other.compared, Qt::CaseInsensitive) == 0;
    }
};

QString comparedText(const PreviewLine& line) {
    QString text = line.Text;
    // Only where no escape before them moves the positions along.
    if (line.Tag == QLatin1String("LDR") && text.size() >= MaskedUpTo &&
        !text.left(MaskedUpTo).contains(QLatin1Char('{'))) {
        text.replace(LengthAt, NumberWidth, QStringLiteral("#####"));
        text.replace(BaseAddressAt, NumberWidth, QStringLiteral("#####"));
    }
    return text;
}

bool sameText(const PreviewLine& a, const PreviewLine& b) {
    return QString::compare(comparedText(a), comparedText(b), Qt::CaseInsensitive) == 0;
}

// One side's lines and the comparison lines cut from them.
struct Side {
    QList<PreviewLine> lines;
    std::vector<Piece> pieces;
    QList<QString> pieceTexts; // as shown, for the blocks
    QList<int> lineOfPiece;
    QList<int> firstPiece; // per line
    QList<int> pieceCount; // per line
    QList<int> shownAt;    // per line: its place once placeholders are in
};

Side cut(QList<PreviewLine> lines) {
    Side side;
    side.lines = std::move(lines);
    for (int index = 0; index < side.lines.size(); ++index) {
        const QString& text = side.lines[index].Text;
        const QString compared = comparedText(side.lines[index]);
        const int count =
            text.size() > ComparisonLineLength
                ? static_cast<int>((text.size() + ComparisonLineLength - 1) / ComparisonLineLength)
                : 1;
        side.firstPiece.push_back(static_cast<int>(side.pieces.size()));
        side.pieceCount.push_back(count);
        for (int k = 0; k < count; ++k) {
            side.pieces.push_back(
                {compared.mid(k * ComparisonLineLength, ComparisonLineLength), k});
            side.pieceTexts.push_back(text.mid(k * ComparisonLineLength, ComparisonLineLength));
            side.lineOfPiece.push_back(index);
        }
    }
    side.shownAt.fill(-1, side.lines.size());
    return side;
}

// Puts the lines side by side, placeholders opposite lines of one side only.
class Aligner {
public:
    Aligner(Side& before, Side& after, PreviewComparison& out)
        : before_(before), after_(after), out_(out) {}

    void pair(int b, int a, int mark) {
        PreviewLine was = before_.lines[b];
        PreviewLine is = after_.lines[a];
        was.Mark = is.Mark = mark;
        if (mark == MarkChanged)
            MarkChangedParts(was, is);
        before_.shownAt[b] = static_cast<int>(out_.Before.size());
        after_.shownAt[a] = static_cast<int>(out_.After.size());
        out_.Before.push_back(std::move(was));
        out_.After.push_back(std::move(is));
    }
    void deleted(int b) {
        before_.shownAt[b] = static_cast<int>(out_.Before.size());
        out_.Before.push_back(before_.lines[b]);
        out_.Before.back().Mark = MarkDeleted;
        out_.After.push_back(PreviewLine());
    }
    void inserted(int a) {
        after_.shownAt[a] = static_cast<int>(out_.After.size());
        out_.After.push_back(after_.lines[a]);
        out_.After.back().Mark = MarkInserted;
        out_.Before.push_back(PreviewLine());
    }

    // The lines between two pairs of equal lines: before [b, bEnd), after
    // [a, aEnd). Lines of one tag are lined up first, so that a changed field
    // pairs with itself and the fields around it count as removed or added.
    void gap(int b, int bEnd, int a, int aEnd) {
        std::vector<QString> was;
        std::vector<QString> is;
        for (int i = b; i < bEnd; ++i)
            was.push_back(before_.lines[i].Tag.toCaseFolded());
        for (int i = a; i < aEnd; ++i)
            is.push_back(after_.lines[i].Tag.toCaseFolded());
        dtl::Diff<QString> tags(was, is);
        tags.compose();
        int runBefore = b;
        int runAfter = a;
        for (const auto& [tag, info] : tags.getSes().getSequence()) {
            if (info.type != dtl::SES_COMMON)
                continue;
            const int atBefore = b + static_cast<int>(info.beforeIdx) - 1;
            const int atAfter = a + static_cast<int>(info.afterIdx) - 1;
            block(runBefore, atBefore, runAfter, atAfter);
            pair(atBefore, atAfter,
                 sameText(before_.lines[atBefore], after_.lines[atAfter]) ? MarkUnchanged
                                                                          : MarkChanged);
            runBefore = atBefore + 1;
            runAfter = atAfter + 1;
        }
        block(runBefore, bEnd, runAfter, aEnd);
    }

    // A block of lines that differ: one side only, removed or added; as
    // many on each side, paired in order; otherwise walked in order, taking a
    // surplus line where its tag sorts before the other side's.
    void block(int b, int bEnd, int a, int aEnd) {
        const bool walk = (bEnd - b) != (aEnd - a);
        while (b < bEnd || a < aEnd) {
            if (b == bEnd) {
                inserted(a++);
                continue;
            }
            if (a == aEnd) {
                deleted(b++);
                continue;
            }
            const PreviewLine& was = before_.lines[b];
            const PreviewLine& is = after_.lines[a];
            if (sameText(was, is)) {
                pair(b++, a++, MarkUnchanged);
                continue;
            }
            const int surplus = (bEnd - b) - (aEnd - a);
            const int order = QString::compare(was.Text, is.Text, Qt::CaseInsensitive);
            if (walk && surplus > 0 && order < 0)
                deleted(b++);
            else if (walk && surplus < 0 && order > 0)
                inserted(a++);
            else
                pair(b++, a++, MarkChanged);
        }
    }

private:
    Side& before_;
    Side& after_;
    PreviewComparison& out_;
};

QList<PreviewLink> linksOf(const Side& side) {
    QList<PreviewLink> links;
    links.reserve(static_cast<qsizetype>(side.pieces.size()));
    for (int piece = 0; piece < side.lineOfPiece.size(); ++piece)
        links.push_back({piece + 1, side.shownAt[side.lineOfPiece[piece]]});
    return links;
}

} // namespace

PreviewComparison ComparePreviewLines(QList<PreviewLine> before, QList<PreviewLine> after) {
    Side was = cut(std::move(before));
    Side is = cut(std::move(after));
    PreviewComparison out;

    dtl::Diff<Piece> diff(was.pieces, is.pieces);
    diff.compose();
    // The after piece each before piece is equal to; -1 for none.
    std::vector<int> partner(was.pieces.size(), -1);
    PreviewDiff block;
    auto closeBlock = [&] {
        if (!block.BeforeLines.isEmpty() || !block.AfterLines.isEmpty())
            out.Differences.push_back(std::exchange(block, PreviewDiff()));
    };
    for (const auto& [piece, info] : diff.getSes().getSequence()) {
        const auto b = static_cast<int>(info.beforeIdx);
        const auto a = static_cast<int>(info.afterIdx);
        if (info.type == dtl::SES_COMMON) {
            partner[static_cast<std::size_t>(b - 1)] = a - 1;
            closeBlock();
        } else if (info.type == dtl::SES_DELETE) {
            block.BeforeLines.push_back({b, was.pieceTexts[b - 1]});
        } else {
            block.AfterLines.push_back({a, is.pieceTexts[a - 1]});
        }
    }
    closeBlock();

    // Lines are equal when every piece of one is equal to the same piece of
    // the other; everything between two pairs of equal lines differs.
    Aligner aligner(was, is, out);
    int nextBefore = 0;
    int nextAfter = 0;
    for (int b = 0; b < was.lines.size(); ++b) {
        const int first = was.firstPiece[b];
        const int partnerPiece = partner[static_cast<std::size_t>(first)];
        if (partnerPiece < 0)
            continue;
        const int a = is.lineOfPiece[partnerPiece];
        if (is.firstPiece[a] != partnerPiece || is.pieceCount[a] != was.pieceCount[b])
            continue;
        bool whole = true;
        for (int k = 1; k < was.pieceCount[b] && whole; ++k)
            whole = partner[static_cast<std::size_t>(first + k)] == partnerPiece + k;
        if (!whole)
            continue;
        aligner.gap(nextBefore, b, nextAfter, a);
        aligner.pair(b, a, MarkUnchanged);
        nextBefore = b + 1;
        nextAfter = a + 1;
    }
    aligner.gap(nextBefore, static_cast<int>(was.lines.size()), nextAfter,
                static_cast<int>(is.lines.size()));

    out.BeforeLinks = linksOf(was);
    out.AfterLinks = linksOf(is);
    return out;
}

} // namespace velumar
