#include "text_fold.h"

#include "marc/utf8.h"

#include <cstdint>

namespace orvane::server {

namespace {

// Base letters of U+00C0 to U+00FF: '*' for the letters that fold to two,
// a blank for the signs among them.
constexpr std::string_view Latin1 =
    "aaaaaa*ceeeeiiiidnooooo ouuuuy**aaaaaa*ceeeeiiiidnooooo ouuuuy*y";
// Base letters of U+0100 to U+017F (Latin Extended-A); '*' for the ligatures.
constexpr std::string_view ExtendedA =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii**jjkkkll"
    "llllllllnnnnnnnnnoooooo**rrrrrrssssssssttttttuuuuuuuuuuuuwwyyy"
    "zzzzzzs";
static_assert(Latin1.size() == 64);
static_assert(ExtendedA.size() == 128);

constexpr char32_t Separator = U' ';
constexpr char32_t Dropped = 0xFFFFFFFF;

// The next code point; invalid bytes read as a separator, one at a time.
char32_t decode(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) {
        ++at;
        return Separator;
    }
    char32_t cp = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return Separator;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    at += length;
    return cp;
}

void encode(char32_t cp, std::string& out) {
    marc::appendUtf8(out, cp);
}

bool inRange(char32_t cp, char32_t first, char32_t last) {
    return cp >= first && cp <= last;
}

// Marks that sit on a letter (and the romanisation's modifier letters for
// alif and ayn): dropped without parting the word.
bool isMark(char32_t cp) {
    return inRange(cp, 0x0300, 0x036F) || inRange(cp, 0x02B0, 0x02FF) ||
           inRange(cp, 0x1AB0, 0x1AFF) || inRange(cp, 0x1DC0, 0x1DFF) ||
           inRange(cp, 0x20D0, 0x20FF) || inRange(cp, 0xFE20, 0xFE2F) ||
           inRange(cp, 0x0591, 0x05BD) || cp == 0x05BF || cp == 0x05C1 || cp == 0x05C2 ||
           cp == 0x05C4 || cp == 0x05C5 || cp == 0x05C7 || cp == 0x200C || cp == 0x200D;
}

bool isSeparator(char32_t cp) {
    if (cp < 0x80)
        return !((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9'));
    return inRange(cp, 0x80, 0xBF) || cp == 0xD7 || cp == 0xF7 || inRange(cp, 0x2000, 0x206F) ||
           inRange(cp, 0x3000, 0x303F) || cp == 0x05BE || cp == 0x05C0 || cp == 0x05C3 ||
           cp == 0x05C6 || cp == 0x0964 || cp == 0x0965 || inRange(cp, 0xFF00, 0xFF0F);
}

// Appends the folded form of one letter; answers false for a code point
// that is kept as it is.
bool appendLatin(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp);
        return true;
    }
    if (inRange(cp, 0xC0, 0xFF)) {
        switch (cp) {
        case 0xC6:
        case 0xE6:
            out += "ae";
            return true;
        case 0xDE:
        case 0xFE:
            out += "th";
            return true;
        case 0xDF:
            out += "ss";
            return true;
        default:
            out += Latin1[cp - 0xC0];
            return true;
        }
    }
    if (inRange(cp, 0x100, 0x17F)) {
        switch (cp) {
        case 0x132:
        case 0x133:
            out += "ij";
            return true;
        case 0x152:
        case 0x153:
            out += "oe";
            return true;
        default:
            out += ExtendedA[cp - 0x100];
            return true;
        }
    }
    // Vietnamese, pinyin tone letters and the comma-below letters.
    struct Run {
        char32_t first, last;
        char base;
    };
    static constexpr Run Runs[] = {
        {0x1A0, 0x1A1, 'o'},   {0x1AF, 0x1B0, 'u'},   {0x1CD, 0x1CE, 'a'},   {0x1CF, 0x1D0, 'i'},
        {0x1D1, 0x1D2, 'o'},   {0x1D3, 0x1DC, 'u'},   {0x218, 0x219, 's'},   {0x21A, 0x21B, 't'},
        {0x1EA0, 0x1EB7, 'a'}, {0x1EB8, 0x1EC7, 'e'}, {0x1EC8, 0x1ECB, 'i'}, {0x1ECC, 0x1EE3, 'o'},
        {0x1EE4, 0x1EF1, 'u'}, {0x1EF2, 0x1EF9, 'y'},
    };
    for (const Run& run : Runs)
        if (inRange(cp, run.first, run.last)) {
            out += run.base;
            return true;
        }
    return false;
}

// Greek and Cyrillic capitals to small letters.
char32_t lower(char32_t cp) {
    if (inRange(cp, 0x391, 0x3A9) || inRange(cp, 0x410, 0x42F))
        return cp + 0x20;
    if (inRange(cp, 0x400, 0x40F))
        return cp + 0x50;
    return cp;
}

char32_t classify(char32_t cp) {
    if (isMark(cp))
        return Dropped;
    if (isSeparator(cp))
        return Separator;
    return cp;
}

} // namespace

void appendFolded(std::string_view utf8, std::string& out) {
    bool blank = !out.empty() && out.back() != ' ';
    std::size_t at = 0;
    while (at < utf8.size()) {
        const char32_t cp = classify(decode(utf8, at));
        if (cp == Dropped)
            continue;
        if (cp == Separator) {
            blank = !out.empty();
            continue;
        }
        if (blank && !out.empty() && out.back() != ' ')
            out += ' ';
        blank = false;
        if (!appendLatin(cp, out))
            encode(lower(cp), out);
    }
}

std::string foldText(std::string_view utf8) {
    std::string out;
    appendFolded(utf8, out);
    return out;
}

std::vector<std::string_view> wordsOf(std::string_view folded) {
    std::vector<std::string_view> words;
    while (!folded.empty()) {
        const auto space = folded.find(' ');
        if (space != 0)
            words.push_back(folded.substr(0, space));
        if (space == std::string_view::npos)
            break;
        folded.remove_prefix(space + 1);
    }
    return words;
}

} // namespace orvane::server
