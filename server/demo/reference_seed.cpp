// The reference data every server has (character sets, installed
// packages) and the demo reference objects (field order configurations,
// duplicate detection profiles, the rule document header).
#include "seed.h"
#include "store/database.h"

#include <array>
#include <string_view>

namespace orvane::server {

namespace {

struct Charset {
    std::string_view code;
    std::string_view name;
    std::string_view encoding; // as YAZ opens it
};

// In the order the client lists them: Unicode first, then MARC-8 and
// Latin-1, then the other codings records arrive in.
constexpr std::array<Charset, 12> Charsets{{
    {"A", "Unicode (UTF-8)", "utf-8"},
    {"M8", "MARC-8", "marc8"},
    {"L1", "ISO 8859-1 (Latin-1)", "ISO-8859-1"},
    {"L2", "ISO 8859-2 (Latin-2, Central European)", "ISO-8859-2"},
    {"L9", "ISO 8859-15 (Latin-9)", "ISO-8859-15"},
    {"CY", "ISO 8859-5 (Cyrillic)", "ISO-8859-5"},
    {"GR", "ISO 8859-7 (Greek)", "ISO-8859-7"},
    {"T6", "ISO 6937 (Latin with non-spacing diacritics)", "ISO_6937"},
    {"W0", "Windows-1250 (Central European)", "CP1250"},
    {"W1", "Windows-1251 (Cyrillic)", "CP1251"},
    {"W2", "Windows-1252 (Western European)", "CP1252"},
    {"KR", "KOI8-R (Russian)", "KOI8-R"},
}};

constexpr std::array<std::string_view, 1> Packages{{"MFHD Keyword Search"}};

struct FieldOrder {
    std::string_view name;
    std::string_view tags;
};

constexpr std::array<FieldOrder, 3> FieldOrders{{
    {"Standard bibliographic order",
     "001,003,005,006,007,008,010,015,016,020,022,024,028,035,040,041,042,043,050,055,060,"
     "082,084,086,090,100,110,111,130,240,243,245,246,247,250,255,260,264,300,310,321,336,"
     "337,338,340,362,490,500,501,502,504,505,506,510,520,521,530,533,534,538,540,545,546,"
     "550,555,561,580,583,586,588,590,600,610,611,630,648,650,651,653,655,700,710,711,720,"
     "730,740,760,762,765,767,770,772,773,775,776,777,780,785,787,800,810,811,830,850,852,"
     "856,880"},
    // Blocks: every field of a block, in tag order, before the next block.
    {"Tag order", "0XX,1XX,2XX,3XX,4XX,5XX,6XX,7XX,8XX,9XX"},
    {"Holdings order", "001,003,004,005,007,008,014,035,040,066,561,562,563,583,843,845,852,"
                       "853,854,855,856,863,864,865,866,867,868,876,877,878"},
}};

struct DupeProfile {
    std::string_view code;
    std::string_view name;
};

constexpr std::array<DupeProfile, 5> DupeProfiles{{
    {"TITLE", "Title, main entry and date (245 $a, 1XX $a, 260/264 $c)"},
    {"HEADING", "Authority heading (1XX)"},
    {"ISBN", "ISBN (020 $a)"},
    {"LCCN", "LC control number (010 $a)"},
    {"CTRLNO", "System control number (035 $a)"},
}};

// Comment lines ("#") that open every new rule document.
constexpr std::string_view RuleDocHeader = "# Rule document\r\n"
                                           "# Created with Velumar\r\n"
                                           "#\r\n";

} // namespace

void seedReferenceData(Database& db) {
    auto charset =
        db.prepare("INSERT INTO charsets (position, code, name, encoding) VALUES (?1, ?2, ?3, ?4)");
    int position = 0;
    for (const auto& c : Charsets) {
        charset.bind(1, ++position).bind(2, c.code).bind(3, c.name).bind(4, c.encoding).run();
        charset.reset();
    }
    auto package = db.prepare("INSERT INTO packages (name) VALUES (?1)");
    for (const auto name : Packages) {
        package.bind(1, name).run();
        package.reset();
    }
}

void seedDemoReference(Database& db) {
    auto order = db.prepare("INSERT INTO field_order_configs (name, tags) VALUES (?1, ?2)");
    for (const auto& o : FieldOrders) {
        order.bind(1, o.name).bind(2, o.tags).run();
        order.reset();
    }
    auto profile = db.prepare("INSERT INTO dupe_profiles (code, name) VALUES (?1, ?2)");
    for (const auto& p : DupeProfiles) {
        profile.bind(1, p.code).bind(2, p.name).run();
        profile.reset();
    }
    db.prepare("INSERT INTO settings (key, value) VALUES ('rule_doc_header', ?1) "
               "ON CONFLICT (key) DO UPDATE SET value = excluded.value")
        .bind(1, RuleDocHeader)
        .run();
}

} // namespace orvane::server
