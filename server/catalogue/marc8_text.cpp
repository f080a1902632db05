#include "marc8_text.h"

#include <yaz/yaz-iconv.h>

namespace orvane::server {

struct Marc8Text::Decoder {
    yaz_iconv_t cd = yaz_iconv_open("utf-8", "marc8");
    ~Decoder() {
        if (cd)
            yaz_iconv_close(cd);
    }
};

Marc8Text::Marc8Text() : decoder_(std::make_unique<Decoder>()) {}

Marc8Text::~Marc8Text() = default;

namespace {

std::string asciiOnly(std::string_view text) {
    std::string out;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x80 && c != '\x1B')
            out += c;
    return out;
}

} // namespace

std::string Marc8Text::toUtf8(std::string_view marc8) {
    bool plain = true;
    for (char c : marc8)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\x1B') {
            plain = false;
            break;
        }
    if (plain || !decoder_->cd)
        return plain ? std::string(marc8) : asciiOnly(marc8);

    std::string out(marc8.size() * 3 + 16, '\0');
    char* in = const_cast<char*>(marc8.data()); // YAZ only reads it
    std::size_t inLeft = marc8.size();
    char* at = out.data();
    std::size_t outLeft = out.size();
    // A value decodes on its own: escapes do not carry over from the last one.
    yaz_iconv(decoder_->cd, nullptr, nullptr, nullptr, nullptr);
    const bool ok =
        yaz_iconv(decoder_->cd, &in, &inLeft, &at, &outLeft) != static_cast<size_t>(-1) &&
        yaz_iconv(decoder_->cd, nullptr, nullptr, &at, &outLeft) != static_cast<size_t>(-1);
    if (!ok) {
        yaz_iconv(decoder_->cd, nullptr, nullptr, nullptr, nullptr);
        return asciiOnly(marc8);
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return out;
}

} // namespace orvane::server
