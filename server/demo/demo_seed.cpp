// The demo operators, owning libraries and locations a new embedded server
// starts with, and the one-time filling of a new store.
#include "auth/operators.h"
#include "auth/password.h"
#include "auth/rights.h"
#include "seed.h"
#include "store/database.h"
#include "store/store.h"

#include <array>
#include <string_view>

namespace orvane::server {

namespace {

struct DemoLocation {
    std::string_view code;
    std::string_view name;
    std::string_view library;
    bool viewer; // also assigned to "viewer"
};

constexpr std::array<std::array<std::string_view, 2>, 3> DemoLibraries{{
    {"MAIN", "Main Library"},
    {"EAST", "East Branch"},
    {"LAW", "Law Library"},
}};

constexpr std::array<DemoLocation, 5> DemoLocations{{
    {"MAIN-STACKS", "Main Stacks", "MAIN", true},
    {"MAIN-REF", "Reference Room", "MAIN", true},
    {"MAIN-RARE", "Rare Books Room", "MAIN", false},
    {"EAST-GEN", "East Branch General Collection", "EAST", false},
    {"LAW-RES", "Law Reserve", "LAW", false},
}};

constexpr std::string_view SupportWebText = "https://help.example.org/velumar/support";

// Marks that seedReferenceData has run, so a store initialised without demo
// operators can be initialised again (for example with --demo) without
// adding the reference data twice.
constexpr std::string_view ReferenceSeededKey = "reference_data_seeded";

// Marks that the demo catalogue was considered: added, or left out because
// the catalogue already held records of its own.
constexpr std::string_view DemoCatalogueKey = "demo_catalogue_seeded";

bool hasSetting(Database& db, std::string_view key) {
    auto st = db.prepare("SELECT 1 FROM settings WHERE key = ?1");
    st.bind(1, key);
    return st.step();
}

void putSetting(Database& db, std::string_view key, std::string_view value) {
    auto st = db.prepare("INSERT INTO settings (key, value) VALUES (?1, ?2) "
                         "ON CONFLICT (key) DO UPDATE SET value = excluded.value");
    st.bind(1, key).bind(2, value).run();
}

} // namespace

void seedDemo(Database& db, const DemoCatalogueSize& catalogue) {
    const auto demo = addOperator(db, "demo", "Demo Operator", hashPassword("demo"));
    grantRights(db, demo, allRightCodes());
    const auto viewer = addOperator(db, "viewer", "Demo Viewer", hashPassword("viewer"));
    grantRights(db, viewer, viewRightCodes());

    for (const auto& [code, name] : DemoLibraries) {
        addLibrary(db, code, name);
        assignLibrary(db, demo, code);
        assignLibrary(db, viewer, code);
    }
    for (const auto& location : DemoLocations) {
        addLocation(db, location.code, location.name, location.library);
        assignLocation(db, demo, location.code);
        if (location.viewer)
            assignLocation(db, viewer, location.code);
    }
    putSetting(db, "support_web_text", SupportWebText);
    seedDemoReference(db);
    seedDemoRuleSets(db);
    seedDemoCatalogue(db, catalogue);
    putSetting(db, DemoCatalogueKey, "1");
}

namespace {

// A demo database made before the demo catalogue came with it: it has the
// demo operator, and no mark that the catalogue was considered. The
// catalogue is added when it is empty; records of the operator's own are
// never mixed with demo ones.
bool completeDemoCatalogue(Database& db, const DemoCatalogueSize& catalogue) {
    if (hasSetting(db, DemoCatalogueKey) || !findOperator(db, "demo"))
        return false;
    auto records = db.prepare("SELECT 1 FROM catalogue_records LIMIT 1");
    const bool empty = !records.step();
    records.reset();
    if (empty)
        seedDemoCatalogue(db, catalogue);
    putSetting(db, DemoCatalogueKey, "1");
    return empty;
}

} // namespace

bool initialiseStore(Store& store, bool demo, const DemoCatalogueSize& catalogue) {
    Database& db = store.db();
    Transaction tx(db);
    if (operatorCount(db) > 0) {
        const bool completed = demo && completeDemoCatalogue(db, catalogue);
        tx.commit();
        return completed;
    }
    bool filled = false;
    if (!hasSetting(db, ReferenceSeededKey)) {
        seedReferenceData(db);
        putSetting(db, ReferenceSeededKey, "1");
        filled = true;
    }
    if (demo) {
        seedDemo(db, catalogue);
        filled = true;
    }
    tx.commit();
    return filled;
}

} // namespace orvane::server
