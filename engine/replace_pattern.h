#pragma once
// The search of a Replace String With String: plain text, or a regular
// expression whose replacement may name its groups as $1, $2 ... Compiled
// once per group and shared by every thread that runs it; a non-Unicode
// record's bytes are matched byte by byte.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

class ReplacePattern {
public:
    // Nothing, and the reason in `error`, when the expression does not compile.
    static std::unique_ptr<ReplacePattern> compile(std::string_view search, bool isPattern,
                                                   std::string& error);
    ~ReplacePattern();
    ReplacePattern(const ReplacePattern&) = delete;
    ReplacePattern& operator=(const ReplacePattern&) = delete;

    // Every match in `text` replaced. False, with the reason, when the
    // replacement cannot be made (a group named that the pattern lacks).
    bool replaceAll(std::string& text, std::string_view replacement, bool unicode,
                    std::string& error) const;

private:
    struct Compiled;
    ReplacePattern() = default;

    std::string search_;
    bool isPattern_ = false;
    std::unique_ptr<Compiled> unicode_;
    std::unique_ptr<Compiled> bytes_;
};

} // namespace engine
