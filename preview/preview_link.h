#pragma once
// Where a comparison line comes from: lines longer than the comparison takes
// are cut into pieces, and each piece links to the line it belongs to.

namespace velumar {

struct PreviewLink {
    int FileLine = 0;  // from 1, in the order the comparison reads them
    int LineIndex = 0; // the line it belongs to, in the side's lines as shown

    bool operator==(const PreviewLink&) const = default;
};

} // namespace velumar
