#include "log.h"

#include <chrono>
#include <ctime>
#include <iostream>

namespace orvane::server {

void Log::toFile(const std::string& path) {
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
    out.append(text);
    out.push_back('\n');
    std::lock_guard lock(mutex_);
    if (file_.is_open())
        file_ << out << std::flush;
    else
        std::cerr << out;
}

} // namespace orvane::server
