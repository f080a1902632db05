#include "marc/mnemonic_writer.h"

#include "marc/record.h"
#include "marc/record_view.h"

#include <array>
#include <cstring>
#include <string_view>

namespace marc {

namespace {

enum Class : unsigned char { Plain, Dollar, Brace, Backslash, Blank, Control, Delimiter };
using Table = std::array<unsigned char, 256>;

// Bytes each class adds to the one it replaces.
constexpr std::array<std::size_t, 7> extraBytes = {0, 7, 5, 5, 0, 3, 0};

// Subfield values and codes: blanks and backslashes are plain there.
constexpr Table valueClasses = [] {
    Table table{};
    for (int c = 0; c < 0x20; ++c)
        table[static_cast<std::size_t>(c)] = Control;
    table[0x7F] = Control;
    table['$'] = Dollar;
    table['{'] = Brace;
    return table;
}();

// A data field's octets after its indicators, where each delimiter becomes "$".
constexpr Table subfieldClasses = [] {
    Table table = valueClasses;
    table[static_cast<unsigned char>(SubfieldDelimiter)] = Delimiter;
    return table;
}();

// The leader, control fields and indicators, where "\" stands for a blank.
constexpr Table blankClasses = [] {
    Table table = valueClasses;
    table['\\'] = Backslash;
    table[' '] = Blank;
    return table;
}();

std::size_t escapedLength(std::string_view bytes, const Table& table) {
    std::size_t n = bytes.size();
    for (char c : bytes)
        n += extraBytes[table[static_cast<unsigned char>(c)]];
    return n;
}

char* put(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

char* putEscape(char* at, unsigned char byte, unsigned char kind) {
    static constexpr char hex[] = "0123456789ABCDEF";
    switch (kind) {
    case Dollar:
        return put(at, "{dollar}");
    case Brace:
        return put(at, "{lcub}");
    case Backslash:
        return put(at, "{bsol}");
    case Blank:
        *at = MnemonicBlank;
        return at + 1;
    case Delimiter:
        *at = MnemonicDelimiter;
        return at + 1;
    default:
        at[0] = '{';
        at[1] = hex[byte >> 4];
        at[2] = hex[byte & 0xF];
        at[3] = '}';
        return at + 4;
    }
}

char* putEscaped(char* at, std::string_view bytes, const Table& table) {
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const unsigned char kind = table[byte];
        if (kind == Plain) [[likely]]
            *at++ = c;
        else
            at = putEscape(at, byte, kind);
    }
    return at;
}

// A data field's subfields: each delimiter becomes "$".
struct SubfieldBytes {
    static constexpr const Table& table = subfieldClasses;
    static constexpr unsigned char swapFrom = static_cast<unsigned char>(SubfieldDelimiter);
    static constexpr char swapTo = MnemonicDelimiter;
    static unsigned char needsEscape(unsigned char c) {
        return static_cast<unsigned char>((c < 0x1F) | (c == '$') | (c == '{') | (c == 0x7F));
    }
};

// The leader, control fields and indicators: each blank becomes "\".
struct BlankBytes {
    static constexpr const Table& table = blankClasses;
    static constexpr unsigned char swapFrom = ' ';
    static constexpr char swapTo = MnemonicBlank;
    static unsigned char needsEscape(unsigned char c) {
        return static_cast<unsigned char>((c < 0x20) | (c == '$') | (c == '{') | (c == '\\') |
                                          (c == 0x7F));
    }
};

// Writes `bytes` as Kind says. Escapes are rare, so one branch-free pass, a
// plain loop the compiler turns into vector code, copies the bytes, swaps the
// one byte that changes and notes any byte that needs an escape; only then is
// the run written again byte by byte.
template <typename Kind> char* putRun(char* at, std::string_view bytes) {
    const std::size_t n = bytes.size();
    const char* in = bytes.data();
    unsigned char escapes = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        escapes |= Kind::needsEscape(c);
        at[i] = c == Kind::swapFrom ? Kind::swapTo : in[i];
    }
    if (escapes != 0)
        return putEscaped(at, bytes, Kind::table);
    return at + n;
}

void appendEscaped(std::string& out, std::string_view bytes, const Table& table) {
    const std::size_t begin = out.size();
    out.resize(begin + escapedLength(bytes, table));
    putEscaped(out.data() + begin, bytes, table);
}

// No byte is written as more than eight ("{dollar}").
constexpr std::size_t MaxEscapedLength = 8;

// "=", the tag and two blanks.
char* putTag(char* at, std::string_view tag) {
    *at++ = '=';
    if (valueClasses[static_cast<unsigned char>(tag[0])] == Plain &&
        valueClasses[static_cast<unsigned char>(tag[1])] == Plain &&
        valueClasses[static_cast<unsigned char>(tag[2])] == Plain)
        at = put(at, tag);
    else
        at = putEscaped(at, tag, valueClasses);
    return put(at, "  ");
}

// A data field's indicators and subfields. When the indicators need no escape,
// as good as always, the field is one run written by the subfield rules and its
// blank indicators are then turned into "\".
char* putDataField(char* at, std::string_view data, std::size_t indicators) {
    for (std::size_t i = 0; i < indicators; ++i) {
        if (BlankBytes::needsEscape(static_cast<unsigned char>(data[i]))) {
            at = putRun<BlankBytes>(at, data.substr(0, indicators));
            return putRun<SubfieldBytes>(at, data.substr(indicators));
        }
    }
    char* const start = at;
    at = putRun<SubfieldBytes>(at, data);
    for (std::size_t i = 0; i < indicators; ++i)
        if (start[i] == ' ')
            start[i] = MnemonicBlank;
    return at;
}

char* putLine(char* at, const FieldView& field) {
    at = putTag(at, field.tag());
    if (field.isControl())
        at = putRun<BlankBytes>(at, field.value());
    else
        at = putDataField(at, field.data(), field.indicators().size());
    *at++ = '\n';
    return at;
}

} // namespace

void appendMnemonic(const RecordView& record, std::string& out) {
    // Written in one piece into scratch room for the worst case, then appended:
    // cheaper than many small appends, a pass to measure, or clearing the room.
    const std::size_t perLine = 1 + TagLength * MaxEscapedLength + 2 + 1;
    const std::size_t room =
        perLine * (record.fieldCount() + 1) + record.bytes().size() * MaxEscapedLength + 1;
    thread_local std::string scratch;
    if (scratch.size() < room)
        scratch.resize(room);
    char* const start = scratch.data();
    char* at = putRun<BlankBytes>(putTag(start, "LDR"), record.leader());
    *at++ = '\n';
    for (const FieldView field : record)
        at = putLine(at, field);
    *at++ = '\n';
    out.append(start, static_cast<std::size_t>(at - start));
}

void appendMnemonic(const Record& record, std::string& out) {
    out += "=LDR  ";
    appendEscaped(out, record.leader().text(), blankClasses);
    out += '\n';
    for (const Field& field : record.fields()) {
        out += '=';
        appendEscaped(out, field.tag(), valueClasses);
        out += "  ";
        if (field.isControl()) {
            appendEscaped(out, field.value(), blankClasses);
        } else {
            appendEscaped(out, field.indicators(), blankClasses);
            for (const Subfield& subfield : field.subfields()) {
                out += MnemonicDelimiter;
                if (subfield.code == NoSubfieldCode)
                    continue;
                appendEscaped(out, std::string_view(&subfield.code, 1), valueClasses);
                appendEscaped(out, subfield.value, valueClasses);
            }
        }
        out += '\n';
    }
    out += '\n';
}

} // namespace marc
