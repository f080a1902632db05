#include "rule_clob.h"

#include "line_text.h"

namespace rules {

RuleClob::RuleClob(std::string text) : text_(std::move(text)) {
    lines_ = SplitLines(text_);
    for (const std::string_view line : lines_) {
        const std::string_view bare = WithoutBreaks(line);
        if (IsRuleLine(bare)) {
            rules_.emplace_back().push_back(line);
        } else if (rules_.empty()) {
            header_.push_back(line);
        } else if (!bare.empty()) {
            rules_.back().push_back(line);
        }
    }
}

std::vector<std::string_view> RuleClob::SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto brk = text.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        // CR LF is one break; a CR on its own is a break of its own.
        const std::size_t end =
            text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n' ? brk + 2 : brk + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string_view RuleClob::WithoutBreaks(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    return line;
}

bool RuleClob::IsRuleLine(std::string_view line) {
    return text::StartsWithNoCase(line, "rule");
}

std::string RuleClob::HeaderText() const {
    std::string out;
    for (const std::string_view line : header_) {
        out.append(line);
        if (line.back() != '\r' && line.back() != '\n')
            out.append("\r\n");
    }
    return out;
}

} // namespace rules
