#include "marc/mnemonic_reader.h"

#include "marc/detail/digits.h"
#include "marc/mnemonic.h"

#include <string>

namespace marc {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads the byte at `at`, undoing an escape; returns where the next byte begins.
std::size_t readByte(std::string_view s, std::size_t at, bool blanksAsBackslash, char& out) {
    const char c = s[at];
    if (c == MnemonicBlank && blanksAsBackslash) {
        out = ' ';
        return at + 1;
    }
    if (c == '{') {
        const std::string_view rest = s.substr(at + 1);
        const std::size_t close = rest.find('}');
        if (close != std::string_view::npos) {
            const std::string_view name = rest.substr(0, close);
            const std::size_t next = at + close + 2;
            if (name == "dollar") {
                out = '$';
                return next;
            }
            if (name == "lcub") {
                out = '{';
                return next;
            }
            if (name == "rcub") {
                out = '}';
                return next;
            }
            if (name == "bsol") {
                out = '\\';
                return next;
            }
            if (name.size() == 2 && hexValue(name[0]) >= 0 && hexValue(name[1]) >= 0) {
                out = static_cast<char>(hexValue(name[0]) * 16 + hexValue(name[1]));
                return next;
            }
        }
    }
    out = c;
    return at + 1;
}

std::string unescape(std::string_view s, bool blanksAsBackslash) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t at = 0; at < s.size();) {
        char c;
        at = readByte(s, at, blanksAsBackslash, c);
        out += c;
    }
    return out;
}

bool isLeaderLine(std::string_view line) {
    return line.substr(0, 4) == "=LDR";
}

} // namespace

MnemonicReader::MnemonicReader(std::string_view text, ReadOptions options)
    : text_(text), options_(options) {}

std::string_view MnemonicReader::currentLine() const {
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos)
        end = text_.size();
    std::string_view line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

void MnemonicReader::advanceLine() {
    const std::size_t end = text_.find('\n', pos_);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    ++line_;
}

std::optional<std::string> MnemonicReader::readLine(std::string_view line, Record& record,
                                                    bool& haveLeader) const {
    if (line.empty() || line[0] != '=')
        return "a line of the text form begins with \"=\" and a tag: " +
               detail::quoted(line.substr(0, 20));
    std::string tag;
    std::size_t at = 1;
    while (tag.size() < 3 && at < line.size()) {
        char c;
        at = readByte(line, at, false, c);
        tag += c;
    }
    if (tag.size() < 3)
        return "the tag " + detail::quoted(tag) + " has fewer than three bytes";
    while (at < line.size() && line[at] == ' ')
        ++at;
    const std::string_view content = line.substr(at);

    if (tag == "LDR") {
        const std::string leader = unescape(content, true);
        const auto parsed = Leader::fromText(leader);
        if (!parsed)
            return "the leader has " + std::to_string(leader.size()) + " bytes, not 24";
        record.leader() = *parsed;
        haveLeader = true;
        return std::nullopt;
    }
    if (!haveLeader)
        return "the record does not begin with =LDR";
    if (isControlTag(tag)) {
        record.appendField(Field::control(tag, unescape(content, true)));
        return std::nullopt;
    }
    std::size_t dollar = content.find(MnemonicDelimiter);
    Field field = Field::data(tag, unescape(content.substr(0, dollar), true));
    while (dollar != std::string_view::npos) {
        const std::size_t begin = dollar + 1;
        dollar = content.find(MnemonicDelimiter, begin);
        const std::string_view piece = content.substr(
            begin, dollar == std::string_view::npos ? std::string_view::npos : dollar - begin);
        if (piece.empty()) {
            field.subfields().push_back({NoSubfieldCode, {}});
            continue;
        }
        char code;
        const std::size_t valueAt = readByte(piece, 0, false, code);
        field.subfields().push_back({code, unescape(piece.substr(valueAt), false)});
    }
    record.appendField(std::move(field));
    return std::nullopt;
}

std::optional<Record> MnemonicReader::next() {
    issues_.clear();
    while (!stopped_) {
        while (pos_ < text_.size() && currentLine().empty())
            advanceLine();
        if (pos_ >= text_.size())
            return std::nullopt;

        const std::size_t recordOffset = pos_;
        Record record;
        bool haveLeader = false;
        bool failed = false;
        while (pos_ < text_.size()) {
            const std::string_view line = currentLine();
            if (line.empty() || (pos_ != recordOffset && isLeaderLine(line)))
                break;
            const std::size_t lineOffset = pos_;
            const std::size_t lineNumber = line_;
            advanceLine();
            if (failed)
                continue;
            if (auto reason = readLine(line, record, haveLeader)) {
                failed = true;
                issues_.push_back({Severity::Error, IssueKind::BadMnemonicLine, recordOffset,
                                   lineOffset, 0, lineNumber, std::move(*reason)});
            }
        }
        if (!failed) {
            ++records_;
            return record;
        }
        issues_.back().length = pos_ - recordOffset;
        ++errors_;
        if (options_.strict)
            stopped_ = true;
    }
    return std::nullopt;
}

} // namespace marc
