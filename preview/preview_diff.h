#pragma once
// One block of the comparison: comparison lines that differ between before
// and after, each with its number, between two runs of equal lines.

#include <QList>
#include <QString>

namespace velumar {

struct NumberedLine {
    int Number = 0; // the comparison line's number on its side, from 1
    QString Text;

    bool operator==(const NumberedLine&) const = default;
};

struct PreviewDiff {
    QList<NumberedLine> BeforeLines;
    QList<NumberedLine> AfterLines;

    bool operator==(const PreviewDiff&) const = default;
};

} // namespace velumar
