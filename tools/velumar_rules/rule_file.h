#pragma once
// Reading a rule file (".dslr") from disk as UTF-8 text. The client exports
// 8-bit text in the Windows code page, or UTF-16 when a character needs it;
// both are accepted, as is UTF-8 with or without a byte order mark.

#include <string>

namespace velumar_rules {

struct RuleFile {
    bool ok = false;
    std::string text;  // UTF-8, when ok
    std::string error; // why it could not be read, when not ok
};

RuleFile ReadRuleFile(const std::string& path);

} // namespace velumar_rules
