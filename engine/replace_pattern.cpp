#define PCRE2_CODE_UNIT_WIDTH 8
#include "replace_pattern.h"

#include <pcre2.h>

namespace engine {

namespace {

std::string pcreMessage(int code) {
    PCRE2_UCHAR buffer[256];
    const int n = pcre2_get_error_message(code, buffer, sizeof buffer);
    return n < 0 ? "error " + std::to_string(code)
                 : std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

} // namespace

struct ReplacePattern::Compiled {
    pcre2_code* code = nullptr;

    ~Compiled() { pcre2_code_free(code); }
};

ReplacePattern::~ReplacePattern() = default;

std::unique_ptr<ReplacePattern> ReplacePattern::compile(std::string_view search, bool isPattern,
                                                        std::string& error) {
    std::unique_ptr<ReplacePattern> p(new ReplacePattern);
    p->search_.assign(search);
    p->isPattern_ = isPattern;
    if (!isPattern)
        return p;
    const auto build = [&](std::uint32_t options) -> std::unique_ptr<Compiled> {
        int code = 0;
        PCRE2_SIZE offset = 0;
        auto c = std::make_unique<Compiled>();
        c->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(search.data()), search.size(),
                                options, &code, &offset, nullptr);
        if (!c->code) {
            error = "pattern \"" + std::string(search) + "\" does not compile at offset " +
                    std::to_string(offset) + ": " + pcreMessage(code);
            return nullptr;
        }
        pcre2_jit_compile(c->code, PCRE2_JIT_COMPLETE);
        return c;
    };
    p->unicode_ = build(PCRE2_UTF | PCRE2_UCP);
    if (!p->unicode_)
        return nullptr;
    p->bytes_ = build(0);
    if (!p->bytes_)
        return nullptr;
    return p;
}

bool ReplacePattern::replaceAll(std::string& text, std::string_view replacement, bool unicode,
                                std::string& error) const {
    if (!isPattern_) {
        if (search_.empty())
            return true;
        std::string out;
        std::size_t from = 0;
        for (std::size_t at = text.find(search_); at != std::string::npos;
             at = text.find(search_, from)) {
            out.append(text, from, at - from).append(replacement);
            from = at + search_.size();
        }
        if (from == 0)
            return true;
        out.append(text, from, std::string::npos);
        text = std::move(out);
        return true;
    }
    const Compiled* c = unicode ? unicode_.get() : bytes_.get();
    std::string out(text.size() + replacement.size() + 16, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        PCRE2_SIZE length = out.size();
        const int rc = pcre2_substitute(
            c->code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0,
            PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH, nullptr, nullptr,
            reinterpret_cast<PCRE2_SPTR>(replacement.data()), replacement.size(),
            reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        if (rc == PCRE2_ERROR_NOMEMORY) {
            out.resize(length);
            continue;
        }
        if (rc < 0) {
            // A Unicode record whose bytes are not valid UTF-8 is matched byte by byte.
            if (unicode && rc <= PCRE2_ERROR_UTF8_ERR1 && rc >= PCRE2_ERROR_UTF8_ERR21)
                return replaceAll(text, replacement, false, error);
            error = "replacement \"" + std::string(replacement) + "\" failed: " + pcreMessage(rc);
            return false;
        }
        if (rc > 0) {
            out.resize(length);
            text = std::move(out);
        }
        return true;
    }
    error = "replacement \"" + std::string(replacement) + "\" failed: out of room";
    return false;
}

} // namespace engine
