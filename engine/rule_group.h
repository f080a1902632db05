#pragma once
// A rule set group compiled for running: its documents parsed once, in link
// order, each document's rules by priority (highest first, "n" is 0, ties in
// document order). A group with any line in error does not compile. Once
// compiled it does not change, so one group may serve several runners.

#include <memory>
#include <string>
#include <vector>

namespace rules {
class RuleDocument;
}

namespace engine {

struct CompiledRule;

struct GroupDocument {
    std::string name;
    std::string text;
};

class RuleGroup {
public:
    struct CompileResult {
        std::unique_ptr<RuleGroup> group; // null when it does not compile
        // One line per fault: document, rule and the line's message.
        std::vector<std::string> errors;
    };

    static CompileResult compile(const std::vector<GroupDocument>& documents);
    ~RuleGroup();
    RuleGroup(const RuleGroup&) = delete;
    RuleGroup& operator=(const RuleGroup&) = delete;

    const std::vector<CompiledRule>& rules() const { return rules_; }
    // Rules that read or set what only the catalogue knows (dates, operators,
    // owning library, suppression, export, deletion checks).
    std::vector<std::string> factRules() const;

private:
    RuleGroup();

    std::vector<std::unique_ptr<rules::RuleDocument>> documents_;
    std::vector<CompiledRule> rules_;
};

} // namespace engine
