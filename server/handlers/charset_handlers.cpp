// Character sets: the list the client offers, and the conversion of one
// MARC record between two of them.
#include "charsets/marc_charset_converter.h"
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "dispatch/text_limits.h"
#include "protocol/octets.h"
#include "register.h"
#include "store/database.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvane::server {

namespace {

// CONVERTMARCCHARSET's own statuses, beside InvalidValue (8) for a code that
// is not in the table, a coding YAZ cannot open, or "MR" that is not octets.
constexpr std::int32_t RecordUndecodable = 10;     // not one record, or not in the source coding
constexpr std::int32_t RecordUnrepresentable = 11; // the target coding lacks a character

void listCharsets(RequestContext& ctx) {
    auto st = ctx.db().prepare("SELECT id, code, name FROM charsets ORDER BY position");
    while (st.step()) {
        ctx.reply("CSID", static_cast<std::int32_t>(st.int64(0)));
        ctx.reply("CSC", st.text(1));
        ctx.reply("CSN", st.text(2));
    }
}

std::optional<std::string> encodingOf(Database& db, const std::string& code) {
    auto st = db.prepare("SELECT encoding FROM charsets WHERE code = ?1");
    st.bind(1, code);
    if (!st.step())
        return std::nullopt;
    return st.text(0);
}

std::int32_t statusOf(MarcConversionError error) {
    switch (error) {
    case MarcConversionError::None:
        return wire::status::Ok;
    case MarcConversionError::UnknownCoding:
        return wire::status::InvalidValue;
    case MarcConversionError::Undecodable:
        return RecordUndecodable;
    case MarcConversionError::Unrepresentable:
        return RecordUnrepresentable;
    }
    return wire::status::ServerError;
}

// On any refusal "MR" goes back exactly as it came, so the client keeps its record.
void convertRecord(RequestContext& ctx) {
    const std::string sent = ctx.text("MR");
    const auto refuse = [&](std::int32_t status) {
        ctx.setStatus(status);
        ctx.reply("MR", sent);
    };
    const auto from = encodingOf(ctx.db(), ctx.text("CSI"));
    const auto to = encodingOf(ctx.db(), ctx.text("CSO"));
    const auto octets = wire::textToOctets(sent);
    if (!from || !to || !octets)
        return refuse(wire::status::InvalidValue);

    auto result = MarcCharsetConverter(*from, *to).convert(*octets);
    if (!result)
        return refuse(statusOf(result.error));
    ctx.reply("MR", wire::octetsToText(result.record));
}

} // namespace

void registerCharsetHandlers(Dispatcher& dispatcher) {
    dispatcher.add({"GETCHARSETS", {}, {}, listCharsets});
    dispatcher.add({"CONVERTMARCCHARSET",
                    {},
                    {{"CSI", wire::Kind::Text, true, text_limits::Code},
                     {"CSO", wire::Kind::Text, true, text_limits::Code},
                     {"MR", wire::Kind::Text, true, text_limits::RecordText}},
                    convertRecord});
}

} // namespace orvane::server
