// The demo catalogue: bibliographic records with their holdings, and the
// name and subject authority records they use, made up from word lists by
// a seeded generator, so every new demo database holds the same records.
// Bibliographic and authority records carry 035s from a made-up source
// ("(VDEMO)...") that match jobs can find.
#include "catalogue/record_writer.h"
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "seed.h"
#include "store/database.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::server {

namespace {

using namespace std::string_view_literals;

// splitmix64: small, fast, and the same sequence on every platform.
class Generator {
public:
    explicit Generator(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    template <typename List> auto pick(const List& list) { return list[below(list.size())]; }

private:
    std::uint64_t state_;
};

constexpr std::array Surnames{
    "Halvorsen"sv, "Dubreuil"sv, "Müllerová"sv, "Åberg"sv,     "Castañeda"sv,
    "Øvergaard"sv, "Łazarek"sv,  "Ferreira"sv,  "Okonkwo"sv,   "Tanabe"sv,
    "Whitcombe"sv, "Ibáñez"sv,   "Kowalczyk"sv, "Lindqvist"sv, "Moreau"sv,
    "Petrović"sv,  "Çelikkol"sv, "Nguyễn"sv,    "Brennagh"sv,  "Zähringer"sv,
};
constexpr std::array Forenames{
    "Ingrid"sv, "Émile"sv,  "Jürgen"sv, "Zofia"sv,   "Mateo"sv, "Agnès"sv,
    "Tomás"sv,  "Hélène"sv, "Sven"sv,   "Aiko"sv,    "Chidi"sv, "Margit"sv,
    "Renée"sv,  "Björn"sv,  "Lucía"sv,  "Dariusz"sv, "Oona"sv,  "Søren"sv,
};
constexpr std::array Places{
    "Provence"sv, "Bohemia"sv,  "Tromsø"sv,       "Sevilla"sv,    "Kraków"sv,
    "Zürich"sv,   "Vestmark"sv, "Île-de-Sorel"sv, "Mährenfeld"sv, "Castellón del Río"sv,
};
// Each theme: an English title noun, a French one, a German one, and its subject heading.
struct Theme {
    std::string_view english, french, german, heading;
};
constexpr std::array<Theme, 10> Themes{{
    {"rivers", "rivières", "Flüsse", "Rivers"},
    {"railways", "chemins de fer", "Eisenbahnen", "Railroads"},
    {"manuscripts", "manuscrits", "Handschriften", "Manuscripts, Medieval"},
    {"glaciers", "glaciers", "Gletscher", "Glaciers"},
    {"cathedrals", "cathédrales", "Kathedralen", "Cathedrals"},
    {"markets", "marchés", "Märkte", "Markets"},
    {"weavers", "tisserands", "Weber", "Weaving"},
    {"observatories", "observatoires", "Sternwarten", "Astronomical observatories"},
    {"harbours", "ports", "Häfen", "Harbors"},
    {"orchards", "vergers", "Obstgärten", "Orchards"},
}};
constexpr std::array Adjectives{"Forgotten"sv, "Northern"sv, "Early"sv, "Hidden"sv,
                                "Coastal"sv,   "Medieval"sv, "Quiet"sv, "Changing"sv};
constexpr std::array Publishers{"Harrow & Lane"sv, "Éditions du Parvis"sv, "Verlag Kessling"sv,
                                "Ediciones Aljibe"sv, "Northgate Press"sv};
constexpr std::array Cities{"London"sv, "Paris"sv, "Leipzig"sv, "Madrid"sv, "Toronto"sv};

constexpr std::string_view DemoSource = "(VDEMO)";

marc::Field data(std::string_view tag, char i1, char i2,
                 std::initializer_list<std::pair<char, std::string>> subfields) {
    std::vector<marc::Subfield> list;
    for (const auto& [code, value] : subfields)
        list.push_back({code, value});
    return marc::Field::data(tag, i1, i2, std::move(list));
}

// Joins without temporaries (and without a false overlap warning of some
// compilers about "literal" + std::string).
std::string cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const std::string_view part : parts)
        out.append(part);
    return out;
}

std::string digits(std::uint64_t value, std::size_t width) {
    std::string text = std::to_string(value);
    return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
}

// A 978 ISBN with its check digit.
std::string isbn13(Generator& random) {
    std::string isbn = cat({"978", digits(random.next() % 1000000000ULL, 9)});
    int sum = 0;
    for (std::size_t i = 0; i < 12; ++i)
        sum += (isbn[i] - '0') * (i % 2 ? 3 : 1);
    return isbn + static_cast<char>('0' + (10 - sum % 10) % 10);
}

struct Name {
    std::string heading; // "Surname, Forename,"
    std::string dates;   // "1921-1988"
};

class CatalogueMaker {
public:
    CatalogueMaker(Database& db, const DemoCatalogueSize& size)
        : writer_(db, "demo"), size_(size), random_(0x5EED0F0CA7A1065ULL) {
        auto st = db.prepare("SELECT l.code, COALESCE(o.code, '') FROM locations l "
                             "LEFT JOIN owning_libraries o ON o.id = l.library ORDER BY l.id");
        while (st.step())
            shelves_.emplace_back(st.text(1), st.text(0));
    }

    void make() {
        names();
        authorities();
        bibliographic();
    }

private:
    void names() {
        const std::size_t wanted =
            std::min(size_.authority * 4 / 5, Surnames.size() * Forenames.size());
        for (std::size_t k = 0; k < std::max<std::size_t>(wanted, 1); ++k) {
            const std::size_t born = 1880 + random_.below(100);
            names_.push_back(
                {cat({Surnames[k % Surnames.size()], ", ",
                      Forenames[(k / Surnames.size()) % Forenames.size()], ","}),
                 cat({std::to_string(born), "-", std::to_string(born + 40 + random_.below(45))})});
        }
    }

    void authorities() {
        std::int32_t id = 0;
        for (const Name& name : names_) {
            marc::Record record = authorityShell(++id);
            record.appendField(data("100", '1', ' ', {{'a', name.heading}, {'d', name.dates}}));
            // A source citation, as name authority records carry.
            record.appendField(
                data("670", ' ', ' ', {{'a', cat({"Demo source file, ", name.dates})}}));
            save(record, RecordKind::Authority);
        }
        for (std::size_t k = 0; id < static_cast<std::int32_t>(size_.authority); ++k) {
            const Theme& theme = Themes[k % Themes.size()];
            marc::Record record = authorityShell(++id);
            if (k < Themes.size())
                record.appendField(data("150", ' ', ' ', {{'a', std::string(theme.heading)}}));
            else
                record.appendField(
                    data("150", ' ', ' ',
                         {{'a', std::string(theme.heading)},
                          {'z', std::string(Places[(k / Themes.size()) % Places.size()])}}));
            // Every other see reference keeps the local thesaurus's link in $9,
            // which the demo reconcile removes.
            if (k % 2 == 0)
                record.appendField(data("450", ' ', ' ',
                                        {{'a', std::string(theme.english)}, {'9', "dthes"}}));
            else
                record.appendField(data("450", ' ', ' ', {{'a', std::string(theme.english)}}));
            save(record, RecordKind::Authority);
        }
    }

    marc::Record authorityShell(std::int32_t id) {
        marc::Record record(*marc::Leader::fromText("00000nz  a2200000n  4500"));
        record.appendField(marc::Field::control("001", std::to_string(id)));
        record.appendField(
            marc::Field::control("003", std::string(DefaultControlNumberIdentifier)));
        record.appendField(marc::Field::control("005", "20250101120000.0"));
        record.appendField(marc::Field::control("008", "250101n| azannaabn          |a aaa      "));
        record.appendField(data("035", ' ', ' ', {{'a', cat({DemoSource, "n", digits(id, 7)})}}));
        record.appendField(data("040", ' ', ' ', {{'a', "VDEMO"}, {'b', "eng"}, {'c', "VDEMO"}}));
        return record;
    }

    void bibliographic() {
        std::int32_t holdings = 0;
        for (std::size_t i = 1; i <= size_.bibliographic; ++i) {
            const auto id = static_cast<std::int32_t>(i);
            save(bibRecord(id), RecordKind::Bibliographic);
            const std::size_t copies = 1 + random_.below(2);
            for (std::size_t c = 0; c < copies && !shelves_.empty(); ++c)
                save(holdingsRecord(++holdings, id), RecordKind::Holdings);
        }
    }

    marc::Record bibRecord(std::int32_t id) {
        const Theme& theme = random_.pick(Themes);
        const std::string place(random_.pick(Places));
        const std::size_t language = random_.below(4);
        const std::size_t year = 1950 + random_.below(75);
        const Name& author = names_[random_.below(names_.size())];
        static constexpr std::array Languages{"eng"sv, "fre"sv, "ger"sv, "spa"sv};

        std::string title;
        std::string subtitle;
        switch (language) {
        case 1:
            title = cat({"Études sur les ", theme.french, " de ", place});
            subtitle = "histoire et mémoire";
            break;
        case 2:
            title = cat({"Über die ", theme.german, " von ", place});
            subtitle = "eine Einführung";
            break;
        case 3:
            title = cat({"Los ", theme.english, " de ", place});
            subtitle = "crónica de un siglo";
            break;
        default:
            title = std::string(random_.pick(Adjectives)) + " " + std::string(theme.english) +
                    " of " + place;
            subtitle = "a survey";
            break;
        }

        marc::Record record;
        record.appendField(marc::Field::control("001", std::to_string(id)));
        record.appendField(
            marc::Field::control("003", std::string(DefaultControlNumberIdentifier)));
        record.appendField(marc::Field::control("005", "20250101120000.0"));
        record.appendField(
            marc::Field::control("008", cat({"250101s", std::to_string(year), "    xx ",
                                             std::string(17, ' '), Languages[language], " d"})));
        record.appendField(data("020", ' ', ' ', {{'a', isbn13(random_)}}));
        record.appendField(
            data("035", ' ', ' ', {{'a', std::string(DemoSource) + digits(1000000 + id, 7)}}));
        record.appendField(data("040", ' ', ' ', {{'a', "VDEMO"}, {'b', "eng"}, {'c', "VDEMO"}}));
        // Some records hold what the demo rule documents act on, chosen by id
        // so that the generated sequence, and every other record, stay the same.
        const bool titleEntry = id % 26 == 0;
        if (id % 11 == 0)
            record.appendField(data("050", ' ', '4', {{'a', "KJC" + std::to_string(id % 900 + 100)}}));
        if (!titleEntry)
            record.appendField(
                data("100", '1', ' ', {{'a', author.heading}, {'d', author.dates + "."}}));
        if (titleEntry)
            record.appendField(data("240", '1', '0', {{'a', title}}));
        record.appendField(data(
            "245", titleEntry ? '0' : '1', '0',
            {{'a', title + " :"}, {'b', subtitle + " /"}, {'c', cat({"by ", author.heading})}}));
        const std::size_t publisher = random_.below(Publishers.size());
        record.appendField(data("264", ' ', '1',
                                {{'a', std::string(Cities[publisher]) + " :"},
                                 {'b', std::string(Publishers[publisher]) + ","},
                                 {'c', std::to_string(year) + "."}}));
        record.appendField(
            data("300", ' ', ' ',
                 {{'a', std::to_string(80 + random_.below(400)) + " pages ;"}, {'c', "24 cm"}}));
        record.appendField(
            data("650", ' ', '0', {{'a', std::string(theme.heading)}, {'z', place + "."}}));
        if (random_.below(3) == 0) {
            const Name& editor = names_[random_.below(names_.size())];
            record.appendField(
                data("700", '1', ' ',
                     {{'a', editor.heading}, {'d', editor.dates + "."}, {'e', "editor."}}));
        }
        if (id % 5 == 0)
            record.appendField(data("590", ' ', ' ', {{'a', "Local copy note."}}));
        if (id % 7 == 0)
            record.appendField(data("856", '4', '0',
                                    {{'u', "https://demo.invalid/records/" + std::to_string(id)}}));
        if (id % 6 == 0)
            record.appendField(data("949", ' ', ' ', {{'a', "Shelved in the demo stacks"}}));
        return record;
    }

    marc::Record holdingsRecord(std::int32_t id, std::int32_t bib) {
        marc::Record record(*marc::Leader::fromText("00000nx  a2200000un 4500"));
        record.appendField(marc::Field::control("001", std::to_string(id)));
        record.appendField(
            marc::Field::control("003", std::string(DefaultControlNumberIdentifier)));
        record.appendField(marc::Field::control("004", std::to_string(bib)));
        record.appendField(marc::Field::control("005", "20250101120000.0"));
        const auto& [library, location] = shelves_[random_.below(shelves_.size())];
        record.appendField(
            data("852", '0', ' ',
                 {{'a', library},
                  {'b', location},
                  {'h', cat({"QH", std::to_string(1 + random_.below(999))})},
                  {'i', cat({".", std::string(1, static_cast<char>('A' + random_.below(26)))}) +
                            std::to_string(10 + random_.below(90))}}));
        if (id % 17 == 0) {
            // Withdrawn copies, for the demo rule that suppresses them.
            auto& shelf = record.fields().back();
            shelf.addSubfield('z', "Withdrawn");
        }
        return record;
    }

    void save(const marc::Record& record, RecordKind kind) {
        buffer_.clear();
        if (auto why = marc::appendIso2709(record, buffer_))
            throw RecordRejected(cat({"demo record: ", *why}));
        writer_.save(buffer_, kind);
    }

    RecordWriter writer_;
    DemoCatalogueSize size_;
    Generator random_;
    std::vector<Name> names_;
    std::vector<std::pair<std::string, std::string>> shelves_; // library code, location code
    std::string buffer_;
};

} // namespace

void seedDemoCatalogue(Database& db, const DemoCatalogueSize& size) {
    CatalogueMaker(db, size).make();
}

} // namespace orvane::server
