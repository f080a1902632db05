#pragma once
// Converts ISO 2709 records from one character coding to another with YAZ.
// Codings are named as YAZ opens them ("utf-8", "marc8", "ISO-8859-2",
// ...). Knows nothing of the wire, so the server and the tools share it.

#include <string>
#include <string_view>

namespace orvane::server {

enum class MarcConversionError {
    None,
    UnknownCoding,   // YAZ cannot open one of the codings
    Undecodable,     // not one well-formed record, or its text is not in the source coding
    Unrepresentable, // the target coding lacks a character the record holds
};

struct MarcConversion {
    MarcConversionError error = MarcConversionError::None;
    std::string record; // the converted record; empty on error

    explicit operator bool() const { return error == MarcConversionError::None; }
};

class MarcCharsetConverter {
public:
    MarcCharsetConverter(std::string from, std::string to);

    // False when YAZ cannot open one of the codings; convert() then refuses.
    bool ready() const { return ready_; }

    // Rewrites one record in the target coding: lengths, base address and
    // directory recomputed, leader 09 'a' for Unicode and blank otherwise.
    // The record is read in the source coding whatever its leader 09 says.
    MarcConversion convert(std::string_view record) const;

    // True when YAZ converts records in this coding to and from UTF-8.
    static bool opens(std::string_view encoding);

private:
    std::string from_;
    std::string to_;
    bool ready_;
};

} // namespace orvane::server
