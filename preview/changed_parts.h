#pragma once
// Within a pair of lines marked changed, the parts each has that the other
// lacks, so that the one changed subfield stands out from its line: a data
// field is compared subfield by subfield (the indicators as one part), the
// leader and control fields position by position, without regard to case.

namespace velumar {

struct PreviewLine;

// Fills ChangedParts of both lines.
void MarkChangedParts(PreviewLine& before, PreviewLine& after);

} // namespace velumar
