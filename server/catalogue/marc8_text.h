#pragma once
// MARC-8 text of a record (leader 09 not "a") as UTF-8, for indexing. One
// decoder is reused for every value; it is not shared between threads.

#include <memory>
#include <string>
#include <string_view>

namespace orvane::server {

class Marc8Text {
public:
    Marc8Text();
    ~Marc8Text();
    Marc8Text(const Marc8Text&) = delete;
    Marc8Text& operator=(const Marc8Text&) = delete;

    // The value as UTF-8. A value that does not decode keeps its ASCII
    // bytes only, so a damaged record is still found by its plain words.
    std::string toUtf8(std::string_view marc8);

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder_;
};

} // namespace orvane::server
