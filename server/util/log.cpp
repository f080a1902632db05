#include "log.h"

#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace orvane::server {

namespace {

// Appends `text` with every control character written as an escape, so no
// text can end a line, start one, or hide behind a NUL or a terminal code.
void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char Hex[] = "0123456789abcdef";
    for (const char c : text) {
        const auto octet = static_cast<unsigned char>(c);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (octet < 0x20 || octet == 0x7f) {
            out += "\\x";
            out += Hex[octet >> 4];
            out += Hex[octet & 0xf];
        } else
            out += c;
    }
}

std::string cut(std::string_view text, std::size_t max) {
    if (text.size() <= max)
        return std::string(text);
    return std::string(text.substr(0, max)) + " ... (" + std::to_string(text.size() - max) +
           " octets more)";
}

} // namespace

std::string logQuoted(std::string_view text, std::size_t max) {
    const std::string_view kept = text.substr(0, max);
    std::string out = "\"" + std::string(kept) + "\"";
    if (text.size() > max)
        out += " ... (" + std::to_string(text.size() - max) + " octets more)";
    return out;
}

void Log::toFile(const std::string& path) {
    // Made private when new: it names operators and their addresses.
    if (const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); fd >= 0)
        ::close(fd);
    std::lock_guard lock(mutex_);
    file_.open(path, std::ios::app);
}

void Log::line(std::string_view text) {
    if (muted_)
        return;
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &tm);
    std::string out = stamp;
    appendEscaped(out, cut(text, MaxLineOctets));
    out.push_back('\n');
    std::lock_guard lock(mutex_);
    if (file_.is_open())
        file_ << out << std::flush;
    else
        std::cerr << out;
}

} // namespace orvane::server
