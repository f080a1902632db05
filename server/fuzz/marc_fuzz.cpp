// Fuzz entry over ISO 2709 as clients and files send it: the input is read
// as a file of records (as an import reads it) and as one record (as a
// request carries it). Every record that reads is walked field by field,
// copied into the editable model, written again and read back the same;
// the server's own structure check must agree with the reader, and the
// character conversion a client can ask for must not fail on it.
#include "charsets/iso2709_structure.h"
#include "charsets/marc_charset_converter.h"
#include "marc/iso2709_writer.h"
#include "marc/reader.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Says which check failed, so a crash file replayed names what broke. A
// macro for the line: clang's fuzzer build has no std::source_location.
void failAt(int line) {
    std::fprintf(stderr, "check failed at line %d\n", line);
    std::abort();
}
#define check(ok) ((ok) ? void() : failAt(__LINE__))

// Reads every part of a record the way the catalogue and the engine do.
std::size_t walk(const marc::RecordView& view) {
    std::size_t seen = view.leader().size();
    for (const marc::FieldView field : view) {
        seen += field.tag().size() + field.value().size();
        for (const auto& sub : field.subfields())
            seen += sub.value.size() + (sub.code != 0);
    }
    if (const auto id = view.findField("001"))
        seen += id->value().size();
    return seen;
}

// Written out and read back, the record keeps its fields and the leader
// bytes that are not lengths.
void roundTrip(const marc::RecordView& view) {
    const marc::Record record = marc::Record::fromView(view);
    std::string out;
    if (marc::appendIso2709(record, out))
        return; // too large for ISO 2709 once rebuilt: refused, not written
    const marc::ParseResult again = marc::parseRecord(std::string_view(out));
    check(again.record.has_value());
    const marc::Record back = marc::Record::fromView(*again.record);
    check(back.fields() == record.fields());
    const std::string_view before = record.leader().text();
    const std::string_view after = back.leader().text();
    check(before.substr(5, 7) == after.substr(5, 7) && before.substr(17) == after.substr(17));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    volatile std::size_t seen = 0;

    std::vector<std::string> records;
    marc::Reader reader(input);
    while (const auto view = reader.next()) {
        seen = seen + walk(*view);
        roundTrip(*view);
        records.emplace_back(view->bytes());
    }
    // Read from a stream a few bytes at a time, the same records come.
    std::size_t at = 0;
    marc::Reader streamed(std::make_unique<std::istringstream>(std::string(input)),
                          marc::ReadOptions{false, 64});
    while (const auto view = streamed.next()) {
        check(at < records.size() && view->bytes() == records[at]);
        ++at;
    }
    check(at == records.size());
    marc::Reader strict(input, marc::ReadOptions{true, 64});
    while (strict.next()) {
    }

    const marc::ParseResult one = marc::parseRecord(input);
    if (one.record) {
        seen = seen + walk(*one.record);
        roundTrip(*one.record);
    }
    // The server's check accepts only what the reader reads as one record.
    if (orvane::server::isWellFormedIso2709(input))
        check(one.record.has_value());

    static const orvane::server::MarcCharsetConverter toUnicode("marc8", "utf-8");
    static const orvane::server::MarcCharsetConverter toMarc8("utf-8", "marc8");
    for (const auto* converter : {&toUnicode, &toMarc8}) {
        const orvane::server::MarcConversion converted = converter->convert(input);
        if (converted)
            check(orvane::server::isWellFormedIso2709(converted.record));
    }
    return 0;
}
