#pragma once
// What a new database is filled with.

#include <cstddef>

namespace orvane::server {

class Database;
class Store;

// Reference data every server has (character sets, installed packages).
void seedReferenceData(Database& db);
// Demo reference objects: field order configurations, duplicate detection
// profiles, the rule document header template.
void seedDemoReference(Database& db);
struct DemoCatalogueSize {
    std::size_t bibliographic = 2000; // each with one or two holdings records
    std::size_t authority = 300;      // names, then subject headings
};
// The demo catalogue, generated the same way every time; needs the owning
// libraries and locations for its holdings. The caller holds the transaction.
void seedDemoCatalogue(Database& db, const DemoCatalogueSize& size = {});

// The predefined authority-load rule documents and demo rule documents and
// groups of every rule type. The caller holds the transaction.
void seedDemoRuleSets(Database& db);

// Demo operators ("demo" with every right, "viewer" with view rights),
// owning libraries and locations, seedDemoReference, and the demo catalogue.
void seedDemo(Database& db, const DemoCatalogueSize& catalogue = {});

// Fills a store that has no operators yet: reference data, and the demo
// data when asked. One transaction; a store already filled is left alone.
// Answers true when it filled the store.
bool initialiseStore(Store& store, bool demo, const DemoCatalogueSize& catalogue = {});

} // namespace orvane::server
