#include "rule_file.h"

#include "marc/utf8.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace velumar_rules {

namespace {

constexpr std::string_view kBinary = "not a rule file (binary data)";

void AppendUtf8(std::string& out, std::uint32_t cp) {
    marc::appendUtf8(out, static_cast<char32_t>(cp));
}

// Rule text holds no control characters but tab, line breaks and form feed.
bool IsTextControl(std::uint32_t cp) {
    return cp >= 0x20 || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f';
}

bool DecodeUtf16(std::string_view bytes, bool littleEndian, std::string& out) {
    if (bytes.size() % 2 != 0)
        return false;
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<std::uint32_t>(littleEndian ? (b << 8) | a : (a << 8) | b);
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 3 >= bytes.size())
                return false;
            const std::uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (!IsTextControl(cp))
            return false;
        AppendUtf8(out, cp);
    }
    return true;
}

// Length of the UTF-8 sequence at i, or 0 when it is not well formed.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    std::uint32_t cp = c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = Utf8Length(s, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// The Windows code page of the client's 8-bit export; the five bytes it
// leaves undefined keep their own value.
std::uint32_t Windows1252(unsigned char c) {
    static constexpr std::array<std::uint16_t, 32> kHigh{
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (c >= 0x80 && c < 0xA0)
        return kHigh[c - 0x80];
    return c;
}

} // namespace

RuleFile ReadRuleFile(const std::string& path) {
    RuleFile file;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        file.error = "is a directory";
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.error = std::strerror(errno);
        return file;
    }
    std::string bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        file.error = "read failed";
        return file;
    }

    std::string_view view = bytes;
    if (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF")) {
        const bool little = view[0] == '\xFF';
        if (!DecodeUtf16(view.substr(2), little, file.text)) {
            file.text.clear();
            file.error = kBinary;
            return file;
        }
        file.ok = true;
        return file;
    }
    if (view.starts_with("\xEF\xBB\xBF"))
        view.remove_prefix(3);
    for (const char c : view) {
        if (!IsTextControl(static_cast<unsigned char>(c))) {
            file.error = kBinary;
            return file;
        }
    }
    if (IsUtf8(view)) {
        file.text.assign(view);
    } else {
        file.text.reserve(view.size() + view.size() / 8);
        for (const char c : view)
            AppendUtf8(file.text, Windows1252(static_cast<unsigned char>(c)));
    }
    file.ok = true;
    return file;
}

} // namespace velumar_rules
