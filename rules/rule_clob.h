#pragma once
// Splits a document text into lines, the header, and the lines of each rule.

#include <string>
#include <string_view>
#include <vector>

namespace rules {

class RuleClob {
public:
    explicit RuleClob(std::string text);
    // Lines are views into the text held here.
    RuleClob(const RuleClob&) = delete;
    RuleClob& operator=(const RuleClob&) = delete;

    const std::string& Text() const { return text_; }
    // Every line with its line break: CR LF, CR or LF.
    const std::vector<std::string_view>& Lines() const { return lines_; }
    // The lines before the first rule line.
    const std::vector<std::string_view>& HeaderLines() const { return header_; }
    // Each rule's lines, from its rule line on, empty lines dropped.
    const std::vector<std::vector<std::string_view>>& RuleLines() const { return rules_; }

    // The header lines joined, each ending in a line break (CR LF when it had none).
    std::string HeaderText() const;

    static std::vector<std::string_view> SplitLines(std::string_view text);
    static std::string_view WithoutBreaks(std::string_view line);
    static bool IsRuleLine(std::string_view line);

private:
    std::string text_;
    std::vector<std::string_view> lines_;
    std::vector<std::string_view> header_;
    std::vector<std::vector<std::string_view>> rules_;
};

} // namespace rules
