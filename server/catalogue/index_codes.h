#pragma once
// The catalogue's search indexes: the code a search names, the kind of
// record it holds, and how its keys are formed.

#include "record_kind.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

enum class KeyForm {
    Words,         // every word a key; a search key's words must all be found
    Phrase,        // the whole folded text one key
    ControlNumber, // case and blanks ignored, punctuation kept: "(ABC) 12345" is "(abc)12345"
    Isbn,          // digits and X, ISBN-10 and ISBN-13 both kept
    Issn,          // eight digits or X
    Lccn,          // the normalised form of the number, prefix kept
};

struct IndexCode {
    std::string_view code;
    // The kind of record it holds; nothing when each kind has its own
    // entries under this code.
    std::optional<RecordKind> kind;
    KeyForm form;
    std::string_view description;
};

std::span<const IndexCode> indexCodes();
const IndexCode* findIndexCode(std::string_view code);
// The index of the 035 $a control numbers of records of `kind`.
std::string_view controlNumberCode(RecordKind kind);

// The codes whose entries a search of `code` looks in: the keywords of
// bibliographic records are their title, author and subject words as well
// as the words kept under "KW" itself.
std::vector<std::string_view> searchedCodes(std::string_view code, RecordKind kind);

// A search key or an indexed value in its index's form; empty when nothing
// of it can be searched. Words keeps the words parted by blanks.
std::string normaliseKey(KeyForm form, std::string_view utf8);

// An ISBN key in its other length (ISBN-10 for one of 978, and back), so
// either form finds the record; nothing when there is no other form.
std::optional<std::string> otherIsbnForm(std::string_view isbnKey);

} // namespace orvane::server
