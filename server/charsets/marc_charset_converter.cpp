#include "marc_charset_converter.h"

#include "iso2709_structure.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>
#include <yaz/marcdisp.h>
#include <yaz/wrbuf.h>
#include <yaz/yaz-iconv.h>

namespace orvane::server {

namespace {

constexpr const char* Utf8 = "utf-8";

struct IconvClose {
    void operator()(yaz_iconv_t cd) const { yaz_iconv_close(cd); }
};
struct MarcDestroy {
    void operator()(yaz_marc_t mt) const { yaz_marc_destroy(mt); }
};
struct BufferDestroy {
    void operator()(WRBUF b) const { wrbuf_destroy(b); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<yaz_iconv_t>, IconvClose>;
using Marc = std::unique_ptr<std::remove_pointer_t<yaz_marc_t>, MarcDestroy>;
using Buffer = std::unique_ptr<std::remove_pointer_t<WRBUF>, BufferDestroy>;

Iconv openIconv(const std::string& to, const std::string& from) {
    return Iconv(yaz_iconv_open(to.c_str(), from.c_str()));
}

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool isUnicode(std::string_view coding) {
    return sameName(coding, "utf-8") || sameName(coding, "utf8");
}
bool isMarc8(std::string_view coding) {
    return sameName(coding, "marc8");
}
bool sameCoding(std::string_view a, std::string_view b) {
    return sameName(a, b) || (isUnicode(a) && isUnicode(b));
}

// MARC-8 keeps a letter and its combining marks apart, and so does YAZ's
// plain MARC-8 decoder, which is what Unicode MARC records expect. Other
// 8-bit codings want the composed letter, which YAZ's composing decoder gives.
std::string decoderName(const std::string& from, const std::string& to) {
    return isMarc8(from) && !isUnicode(to) ? "marc8s" : from;
}

// Characters MARC-8 lacks are written as &#xXXXX; references (MARC 21's
// lossless convention) rather than dropped.
std::string encoderName(const std::string& to) {
    return isMarc8(to) ? "marc8lossless" : to;
}

// All of a text through a converter, flushed, which leaves the converter in
// its initial state; nothing when an octet or character does not convert.
std::optional<std::string> convertText(yaz_iconv_t cd, std::string_view text) {
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data()); // YAZ only reads it
    std::size_t inLeft = text.size();
    std::size_t used = 0;
    bool flushing = false;
    for (;;) {
        char* outAt = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t r = flushing ? yaz_iconv(cd, nullptr, nullptr, &outAt, &outLeft)
                                       : yaz_iconv(cd, &in, &inLeft, &outAt, &outLeft);
        used = static_cast<std::size_t>(outAt - out.data());
        if (r == static_cast<std::size_t>(-1)) {
            if (yaz_iconv_error(cd) != YAZ_ICONV_E2BIG)
                return std::nullopt;
            out.resize(out.size() * 2);
        } else if (flushing) {
            break;
        } else {
            flushing = true;
        }
    }
    out.resize(used);
    return out;
}

// YAZ's writer cuts a subfield short at the first octet its converter
// refuses, and says nothing; so each field is tried here first.
bool fieldsConvert(yaz_iconv_t cd, const std::vector<std::string_view>& fields) {
    return std::ranges::all_of(fields,
                               [cd](std::string_view f) { return convertText(cd, f).has_value(); });
}

// Reads one record, converting its text with cd (none: as it is), sets
// leader 09 and writes it again; YAZ's writer recomputes every length and
// address. The record's layout was checked as MARC 21's, which fixes the
// indicator and subfield code lengths (leader 10, 11) and the entry map (20
// to 23): YAZ is given those, since it reads the directory and the fields
// as the leader says, and other values there make it read something else.
std::optional<std::string> rewrite(std::string_view given, yaz_iconv_t cd, char leader09) {
    std::string record(given);
    record.replace(10, 2, "22");
    record.replace(20, 4, "4500");
    Marc mt(yaz_marc_create());
    yaz_marc_iconv(mt.get(), cd);
    const int size = static_cast<int>(record.size());
    if (yaz_marc_read_iso2709(mt.get(), record.data(), size) != size)
        return std::nullopt;
    const char flag[] = {leader09, '\0'};
    yaz_marc_modify_leader(mt.get(), 9, flag);
    Buffer out(wrbuf_alloc());
    if (yaz_marc_write_iso2709(mt.get(), out.get()) != 0)
        return std::nullopt;
    return std::string(wrbuf_buf(out.get()), wrbuf_len(out.get()));
}

// Whether a record in an 8-bit coding kept every character of its UTF-8
// form (YAZ's Latin-1 coder drops what it cannot write). Each field is
// compared in lossless MARC-8, whose coder decomposes letters alike however
// they came, so composing a letter with its mark counts as no loss.
bool keepsText(std::string_view utf8Record, std::string_view converted, const std::string& to) {
    const auto before = iso2709FieldData(utf8Record);
    const auto after = iso2709FieldData(converted);
    if (!before || !after || before->size() != after->size())
        return false;
    const Iconv decode = openIconv(Utf8, to);
    const Iconv normal = openIconv("marc8lossless", Utf8);
    for (std::size_t i = 0; i < before->size(); ++i) {
        const auto back = convertText(decode.get(), (*after)[i]);
        if (!back || convertText(normal.get(), (*before)[i]) != convertText(normal.get(), *back))
            return false;
    }
    return true;
}

MarcConversion failure(MarcConversionError error) {
    return {error, {}};
}

// A converted record must still be one MARC 21 record with every field of
// the one given; anything YAZ read otherwise is refused, not answered.
MarcConversion success(std::optional<std::string> record, std::size_t fields) {
    if (!record)
        return failure(MarcConversionError::Undecodable);
    const auto written = iso2709FieldData(*record);
    if (!written || written->size() != fields)
        return failure(MarcConversionError::Undecodable);
    return {MarcConversionError::None, std::move(*record)};
}

} // namespace

MarcCharsetConverter::MarcCharsetConverter(std::string from, std::string to)
    : from_(std::move(from)), to_(std::move(to)), ready_(opens(from_) && opens(to_)) {}

bool MarcCharsetConverter::opens(std::string_view encoding) {
    const std::string name(encoding);
    return openIconv(Utf8, name) && openIconv(encoderName(name), Utf8);
}

MarcConversion MarcCharsetConverter::convert(std::string_view record) const {
    if (!ready_)
        return failure(MarcConversionError::UnknownCoding);
    const auto fields = iso2709FieldData(record);
    const Iconv decode = openIconv(Utf8, decoderName(from_, to_));
    if (!fields || !fieldsConvert(decode.get(), *fields))
        return failure(MarcConversionError::Undecodable);

    const char leader09 = isUnicode(to_) ? 'a' : ' ';
    if (sameCoding(from_, to_))
        return success(rewrite(record, nullptr, leader09), fields->size());

    // Through UTF-8: YAZ converts between UTF-8 and each coding, not between any two.
    auto utf8 =
        isUnicode(from_) ? std::optional<std::string>(record) : rewrite(record, decode.get(), 'a');
    if (!utf8 || isUnicode(to_))
        return success(std::move(utf8), fields->size());
    const Iconv encode = openIconv(encoderName(to_), Utf8);
    auto converted = rewrite(*utf8, encode.get(), leader09);
    if (converted && !isMarc8(to_) && !keepsText(*utf8, *converted, to_))
        return failure(MarcConversionError::Unrepresentable);
    return success(std::move(converted), fields->size());
}

} // namespace orvane::server
