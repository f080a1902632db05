#pragma once
// What a new database is filled with.

namespace orvane::server {

class Database;
class Store;

// Reference data every server has (character sets, installed packages).
void seedReferenceData(Database& db);
// Demo reference objects: field order configurations, duplicate detection
// profiles, the rule document header template.
void seedDemoReference(Database& db);
// Demo operators ("demo" with every right, "viewer" with view rights),
// owning libraries and locations; then seedDemoReference.
void seedDemo(Database& db);

// Fills a store that has no operators yet: reference data, and the demo
// data when asked. One transaction; a store already filled is left alone.
// Answers true when it filled the store.
bool initialiseStore(Store& store, bool demo);

} // namespace orvane::server
