#pragma once
// The one-line-per-field text form cataloguers read and edit:
//
//   =LDR  00714cam\a2200205\a\4500
//   =001  12345
//   =245  10$aTitle :$bsubtitle.
//
// "=", the tag, two blanks, the content. The leader and control fields are
// written whole and data fields as their indicators followed by "$" and code
// and value for each subfield. In the leader, control fields and indicators a
// blank is written "\". A record ends with an empty line.
//
// Bytes that would be misread are escaped: "$" as {dollar}, "{" as {lcub},
// "\" as {bsol} where "\" stands for a blank, and control bytes (below 0x20,
// and 0x7F) as {XX} in hex, e.g. {1E}. The reader also takes {rcub} for "}";
// a brace that starts no known escape is kept as it is. A "$" with no code
// after it (at the end of the line or before another "$") is a delimiter
// without a code. Other bytes are written as they are, in the record's own
// coding, so the text form holds every record byte for byte.

namespace marc {

inline constexpr char MnemonicDelimiter = '$';
inline constexpr char MnemonicBlank = '\\';

} // namespace marc
