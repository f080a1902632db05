#include "rule_generator.h"

#include <array>
#include <string_view>
#include <vector>

namespace engine::fuzz {

namespace {

class Choices {
public:
    explicit Choices(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool more() const { return at_ < bytes_.size(); }
    std::size_t pick(std::size_t n) { return more() ? bytes_[at_++] % n : 0; }
    template <std::size_t N> std::string from(const std::array<std::string_view, N>& items) {
        return std::string(items[pick(N)]);
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

using Words = std::array<std::string_view, 8>;

constexpr Words kTags = {"245", "650", "100", "020", "9XX", "6XX", "651", "590"};
constexpr Words kNewTags = {"246", "590", "700", "740", "500", "035", "690", "999"};
constexpr Words kControl = {"001", "005", "008", "LDR", "003", "007", "001", "008"};
constexpr Words kDataTags = {"245", "650", "100", "020", "651", "655", "260", "590"};
constexpr Words kCodes = {"a", "b", "c", "v", "x", "2", "*", "z"};
constexpr Words kValues = {"Fiction.", "x", "Comic", "2000", "The", "é", "Chabon, Michael.", " "};
constexpr Words kIndicators = {"#", " ", "0", "1", "4", "7", "#", "#"};
constexpr Words kOccurrences = {"", "[\"0\"]", "[\"99\"]", "[\"3\"]", "", "", "[\"1\"]", ""};
constexpr Words kPatterns = {"^(\\w+)", "[aeiou]", "\\d+", "(.)(.)", "\\s+$", "a|b", ".*", "é"};
constexpr Words kReplacements = {"$1", "", "X", "$2$1", "--", "${1}z", "é", " "};
constexpr Words kPriorities = {"n", "1", "-2", "10", "n", "0", "5", "n"};

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string reference(Choices& c, bool withSubfield) {
    std::string text = quoted(c.from(kTags));
    if (c.pick(3) == 0)
        text += "(" + quoted(c.from(kIndicators)) + "," + quoted(c.from(kIndicators)) + ")";
    text += c.from(kOccurrences);
    if (withSubfield)
        text += "." + quoted(c.from(kCodes)) + c.from(kOccurrences);
    return text;
}

std::string condition(Choices& c) {
    switch (c.pick(12)) {
    case 0:
        return "MARC is " + reference(c, c.pick(2));
    case 1:
        return "MARC is \"" + std::string(1, "0125679"[c.pick(7)]) + "\"XX";
    case 2:
        return "MARC.control is " + quoted(c.from(kControl));
    case 3:
        return "MARC." + quoted(c.from(kTags)) + " has any " + quoted(c.from(kCodes));
    case 4:
        return "MARC." + quoted(c.from(kTags)) + " does not have any " + quoted(c.from(kCodes));
    case 5: {
        constexpr Words ops = {"equals", "does not equal", "starts with", "equals",
                               "does not equal", "equals", "starts with", "equals"};
        std::string line = "MARC." + reference(c, true) + " " + c.from(ops) + " " +
                           quoted(c.from(kValues));
        if (c.pick(3) == 0)
            line += " from MARC.\"650\"";
        return line;
    }
    case 6:
        return "MARC with subfield " + reference(c, true) +
               (c.pick(2) ? " contains " : " does not contain ") + quoted(c.from(kValues));
    case 7:
        return "MARC contains " + quoted(c.from(kValues));
    case 8:
        return "MARC.control." + quoted(c.from(kControl)) + "(\"" + std::to_string(c.pick(40)) +
               "\",\"" + std::to_string(c.pick(45)) + "\") equals " + quoted(c.from(kValues));
    case 9:
        return "MARC range " + reference(c, true) + " between " + quoted(c.from(kValues)) +
               " and " + quoted(c.from(kValues));
    case 10:
        return c.pick(2) ? "Created before \"20200101\"" : "MARC.opacsuppress is unsuppressed";
    default:
        return "# a comment";
    }
}

std::string replaceGroup(Choices& c, const std::string& variable) {
    const bool control = c.pick(3) == 0;
    const std::string code = c.from(kCodes);
    const std::string field = control ? "control." + quoted(c.from(kControl))
                                      : quoted(c.from(kDataTags)) + "." +
                                            quoted(code == "*" ? "a" : code);
    std::string middle;
    if (c.pick(2))
        middle = "replace string by position (TEMP" + variable + "," + quoted(c.from(kValues)) +
                 ",\"" + std::to_string(c.pick(50)) + "\")";
    else
        middle = "replace string by string (TEMP" + variable + "," +
                 quoted((c.pick(2) ? "\\\\\\\\Q" : "") + c.from(kPatterns)) + "," +
                 quoted(c.from(kReplacements)) + ")";
    return "set TEMP" + variable + " to MARC." + field + "\r\n    " + middle +
           "\r\n    set MARC." + field + " to TEMP" + variable;
}

std::string consequence(Choices& c, std::vector<std::string>& targets) {
    const std::string newTag = c.from(kNewTags);
    switch (c.pick(16)) {
    case 0: {
        const std::string tag = c.from(kControl);
        return "remove MARC.control." + quoted(tag == "LDR" ? "005" : tag);
    }
    case 1:
        return "remove MARC." + quoted(c.from(kTags)) +
               (c.pick(2) ? " subfield " + quoted(c.from(kCodes)) : "");
    case 2: {
        const std::string code = c.from(kCodes);
        return "set MARC." + quoted(c.from(kDataTags)) + "." + quoted(code == "*" ? "a" : code) +
               " to " + quoted(c.from(kValues));
    }
    case 3:
        return "copy MARC " + quoted(c.from(kTags)) + "." + quoted("a") + " to new " +
               quoted(newTag) + "." + quoted(c.pick(2) ? "b" : "a");
    case 4: {
        const std::string tag = c.from(kControl);
        return "copy MARC " + quoted(tag == "LDR" ? "001" : tag) + " to new " + quoted(newTag) +
               " all";
    }
    case 5: {
        const std::string target = c.from(kDataTags);
        targets.push_back(target);
        return "copy MARC " + quoted(c.from(kTags)) + (c.pick(2) ? "" : ".\"a\"") +
               " to existing " + quoted(target + "t") + (c.pick(2) ? " all" : "");
    }
    case 6:
        return "Set MARC subfield " + quoted(c.from(kTags)) + " \"a\" to " + quoted("q");
    case 7:
        return "Set MARC field " + quoted(c.from(kDataTags)) + "  to " + quoted(newTag);
    case 8: {
        const std::string indicator = c.from(kIndicators);
        return "Set MARC indicator " + quoted(c.from(kTags)) + " " + quoted(c.pick(2) ? "1" : "2") +
               " to " + quoted(indicator == "#" ? "0" : indicator);
    }
    case 9: {
        const std::string tag = c.from(kControl);
        return "create MARC.control." + quoted(tag == "LDR" ? "006" : tag) + " with " +
               quoted(c.from(kValues));
    }
    case 10:
        return "create MARC." + quoted(newTag) + "(\" \",\"0\")\r\n    create MARC." +
               quoted(newTag) + " subfield \"a\" with " +
               (c.pick(2) ? quoted(c.from(kValues)) : "MARC.\"245\".\"a\"");
    case 11:
        return "create MARC." + quoted(c.from(kDataTags)) + ".\"z\" with " +
               quoted(c.from(kValues)) + (c.pick(2) ? " after \"a\"[\"0\"]" : " before \"c\"[\"99\"]");
    case 12: {
        constexpr Words dispositions = {"CHANGED", "DELETE",    "SUPPRESS", "UNSUPPRESSALL",
                                        "ERROR",   "DELETEALL", "CHANGED",  "SUPPRESSALL"};
        return c.from(dispositions);
    }
    case 13:
        return replaceGroup(c, "\"" + std::to_string(1 + c.pick(3)) + "\"");
    case 14:
        return c.pick(2) ? "Change owning library" : "Set OK to Export";
    default:
        return c.pick(2) ? "INCLUDE" : "EXCLUDE";
    }
}

} // namespace

std::string generateDocument(std::span<const std::uint8_t> bytes) {
    Choices c(bytes);
    std::string text;
    for (int r = 0; c.more() && r < 6; ++r) {
        std::string conditions;
        std::string consequences;
        std::vector<std::string> targets;
        const std::size_t nConditions = 1 + c.pick(3);
        for (std::size_t i = 0; i < nConditions; ++i)
            conditions += "    " + condition(c) + "\r\n";
        const std::size_t nConsequences = 1 + c.pick(4);
        for (std::size_t i = 0; i < nConsequences; ++i)
            consequences += "    " + consequence(c, targets) + "\r\n";
        for (const std::string& target : targets)
            conditions += "    TARGET MARC is " + quoted(target) + "\r\n";
        text += "rule \"r" + std::to_string(r) + "\"\r\n#priority " +
                c.from(kPriorities) + "\r\n  when\r\n" + conditions + "  then\r\n" +
                consequences + "end\r\n\r\n";
    }
    return text;
}

} // namespace engine::fuzz
