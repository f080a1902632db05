#pragma once
// The server's log: one timestamped line per event, to stderr or a file.
// Never given passwords or tokens.

#include <fstream>
#include <mutex>
#include <string>
#include <string_view>

namespace orvane::server {

class Log {
public:
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

} // namespace orvane::server
