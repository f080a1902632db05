#pragma once
// The server's log: one timestamped line per event, to stderr or a file.
// Never given passwords or tokens.

#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <cstddef>

namespace orvane::server {

class Log {
public:
    // A line longer than this is cut, saying how much was left out.
    static constexpr std::size_t MaxLineOctets = 2000;

    Log() = default; // stderr until toFile()
    // Appends to this file from now on.
    void toFile(const std::string& path);
    void line(std::string_view text);
    // Silences the log (tests that provoke errors on purpose).
    void mute(bool muted) { muted_ = muted; }

private:
    std::mutex mutex_;
    std::ofstream file_;
    bool muted_ = false;
};

// Text a client sent, for a log line: in quotes, cut to `max` octets.
std::string logQuoted(std::string_view text, std::size_t max = 100);

} // namespace orvane::server
