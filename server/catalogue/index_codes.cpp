#include "index_codes.h"

#include "text_fold.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace orvane::server {

namespace {

using enum KeyForm;

constexpr std::array<IndexCode, 12> Codes{{
    {"035A", RecordKind::Bibliographic, ControlNumber, "035 $a of bibliographic records"},
    {"A35A", RecordKind::Authority, ControlNumber, "035 $a of authority records"},
    {"H35A", RecordKind::Holdings, ControlNumber, "035 $a of holdings records"},
    {"HB", RecordKind::Holdings, ControlNumber, "the bibliographic record id in 004"},
    {"KW", std::nullopt, Words, "keywords of the headings, titles and notes"},
    {"TI", RecordKind::Bibliographic, Words, "title words"},
    {"AU", RecordKind::Bibliographic, Words, "author words"},
    {"SU", RecordKind::Bibliographic, Words, "subject words"},
    {"ISBN", RecordKind::Bibliographic, Isbn, "ISBN, 020 $a"},
    {"ISSN", RecordKind::Bibliographic, Issn, "ISSN, 022 $a"},
    {"LCCN", std::nullopt, Lccn, "LC control number, 010 $a"},
    {"AH", RecordKind::Authority, Phrase, "authority headings, 1XX and 4XX"},
}};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The first run of ISBN or ISSN characters, hyphens and blanks inside it dropped.
std::string leadingNumber(std::string_view value) {
    std::string out;
    std::size_t at = 0;
    while (at < value.size() && value[at] == ' ')
        ++at;
    for (; at < value.size(); ++at) {
        const char c = value[at];
        if (isDigit(c))
            out += c;
        else if (c == 'x' || c == 'X')
            out += 'X';
        else if (c != '-')
            break;
    }
    return out;
}

std::string isbn(std::string_view value) {
    std::string digits = leadingNumber(value);
    const bool shapeOk =
        (digits.size() == 10 && std::all_of(digits.begin(), digits.end() - 1, isDigit)) ||
        (digits.size() == 13 && std::all_of(digits.begin(), digits.end(), isDigit));
    return shapeOk ? digits : std::string();
}

std::string issn(std::string_view value) {
    std::string digits = leadingNumber(value);
    return digits.size() == 8 && std::all_of(digits.begin(), digits.end() - 1, isDigit)
               ? digits
               : std::string();
}

// Blanks gone, anything from "/" on gone, and a hyphenated serial number
// padded to six digits: "n 79-21164" is "n79021164".
std::string lccn(std::string_view value) {
    std::string out;
    for (char c : value.substr(0, value.find('/')))
        if (c != ' ')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (const auto hyphen = out.find('-'); hyphen != std::string::npos) {
        std::string serial = out.substr(hyphen + 1);
        if (!serial.empty() && serial.size() < 6 &&
            std::all_of(serial.begin(), serial.end(), isDigit))
            serial.insert(0, 6 - serial.size(), '0');
        out = out.substr(0, hyphen) + serial;
    }
    return out;
}

std::string controlNumber(std::string_view value) {
    std::string out;
    for (char c : value)
        if (c != ' ' && c != '\t')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::span<const IndexCode> indexCodes() {
    return Codes;
}

std::string_view controlNumberCode(RecordKind kind) {
    return kind == RecordKind::Bibliographic ? "035A"
           : kind == RecordKind::Authority   ? "A35A"
                                             : "H35A";
}

const IndexCode* findIndexCode(std::string_view code) {
    for (const auto& index : Codes)
        if (index.code == code)
            return &index;
    return nullptr;
}

std::vector<std::string_view> searchedCodes(std::string_view code, RecordKind kind) {
    if (code == "KW" && kind == RecordKind::Bibliographic)
        return {"KW", "TI", "AU", "SU"};
    return {code};
}

std::string normaliseKey(KeyForm form, std::string_view utf8) {
    switch (form) {
    case Words:
    case Phrase:
        return foldText(utf8);
    case ControlNumber:
        return controlNumber(utf8);
    case Isbn:
        return isbn(utf8);
    case Issn:
        return issn(utf8);
    case Lccn:
        return lccn(utf8);
    }
    return {};
}

std::optional<std::string> otherIsbnForm(std::string_view key) {
    if (key.size() == 10) {
        std::string out = "978" + std::string(key.substr(0, 9));
        int sum = 0;
        for (std::size_t i = 0; i < 12; ++i)
            sum += (out[i] - '0') * (i % 2 ? 3 : 1);
        out += static_cast<char>('0' + (10 - sum % 10) % 10);
        return out;
    }
    if (key.size() == 13 && key.starts_with("978")) {
        std::string out(key.substr(3, 9));
        int sum = 0;
        for (std::size_t i = 0; i < 9; ++i)
            sum += (out[i] - '0') * static_cast<int>(10 - i);
        const int check = (11 - sum % 11) % 11;
        out += check == 10 ? 'X' : static_cast<char>('0' + check);
        return out;
    }
    return std::nullopt;
}

} // namespace orvane::server
