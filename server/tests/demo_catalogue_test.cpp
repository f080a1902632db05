// The demo catalogue: the same records every time, holdings linked, and
// control numbers a match job finds.

#include "catalogue/catalogue_search.h"
#include "catalogue_support.h"
#include "demo/seed.h"
#include "marc/record_view.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

std::vector<std::string> allRecords(Database& db) {
    std::vector<std::string> out;
    auto st = db.prepare("SELECT marc FROM catalogue_records ORDER BY record_type, record_id");
    while (st.step())
        out.push_back(st.blob(0));
    return out;
}

class DemoCatalogue : public ::testing::Test {
protected:
    std::unique_ptr<Store> seeded(const std::string& name, DemoCatalogueSize size) {
        auto store = std::make_unique<Store>(dir.file(name));
        initialiseStore(*store, true, size);
        return store;
    }
    TempDir dir;
};

} // namespace

TEST_F(DemoCatalogue, IsTheSameEveryTime) {
    auto a = seeded("a.db", {150, 30});
    auto b = seeded("b.db", {150, 30});
    const auto records = allRecords(a->db());
    EXPECT_EQ(records, allRecords(b->db()));
    EXPECT_EQ(scalar(a->db(), "SELECT count(*) FROM catalogue_records WHERE record_type = 1"), 150);
    EXPECT_EQ(scalar(a->db(), "SELECT count(*) FROM catalogue_records WHERE record_type = 3"), 30);
}

TEST_F(DemoCatalogue, FullSizeHoldsLinkedHoldingsAndFindableControlNumbers) {
    const DemoCatalogueSize size;
    auto store = seeded("full.db", size);
    Database& db = store->db();
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM catalogue_records WHERE record_type = 1"),
              static_cast<std::int64_t>(size.bibliographic));
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM catalogue_records WHERE record_type = 3"),
              static_cast<std::int64_t>(size.authority));
    const auto holdings =
        scalar(db, "SELECT count(*) FROM catalogue_records WHERE record_type = 2");
    EXPECT_GE(holdings, static_cast<std::int64_t>(size.bibliographic));
    // Every holdings record points at a bibliographic record, and sits in a demo location.
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM catalogue_records h JOIN catalogue_records b "
                         "ON b.record_type = 1 AND b.record_id = h.bib_id "
                         "WHERE h.record_type = 2 AND h.location IS NOT NULL "
                         "AND h.owning_library IS NOT NULL"),
              holdings);

    // Each record's 035 finds it, and only it.
    for (const int type : {1, 3}) {
        auto st = db.prepare("SELECT record_id, marc FROM catalogue_records WHERE record_type = ?1 "
                             "AND record_id % 97 = 1");
        st.bind(1, type);
        while (st.step()) {
            const std::string octets = st.blob(1);
            const auto parsed = marc::parseRecord(std::string_view(octets));
            ASSERT_TRUE(parsed.record);
            EXPECT_EQ(parsed.record->characterCoding(), marc::CharacterCoding::Unicode);
            SearchQuery query;
            query.indexCode = type == 1 ? "035A" : "A35A";
            query.key = std::string(*parsed.record->findField("035")->subfield('a'));
            EXPECT_EQ(searchCatalogue(db, query).ids, std::vector<std::int32_t>{st.int32(0)});
        }
    }
}

// A demo database made before the demo catalogue came with it gets the
// catalogue at its next start, once; a catalogue holding records of the
// operator's own, or a database that is not a demo one, is left as it is.
TEST_F(DemoCatalogue, ADemoDatabaseMadeBeforeTheCatalogueGetsItOnceAtItsNextStart) {
    const DemoCatalogueSize size{40, 10};
    const auto records = [](Store& store) {
        return scalar(store.db(), "SELECT count(*) FROM catalogue_records");
    };
    // As such a database was left: demo operators and places, no catalogue,
    // no mark that the catalogue was ever considered.
    const auto aged = [&](const std::string& name) {
        auto store = seeded(name, size);
        store->db().exec("DELETE FROM catalogue_records");
        store->db().exec("DELETE FROM settings WHERE key LIKE 'demo_catalogue%'");
        return store;
    };

    auto old = aged("old.db");
    EXPECT_TRUE(initialiseStore(*old, true, size));
    const auto complete = records(*old);
    EXPECT_EQ(scalar(old->db(), "SELECT count(*) FROM catalogue_records WHERE record_type = 1"),
              40);
    EXPECT_FALSE(initialiseStore(*old, true, size));
    EXPECT_EQ(records(*old), complete);

    auto own = aged("own.db");
    own->db().exec("INSERT INTO catalogue_records (record_type, record_id, marc, created_by, "
                   "updated_by) VALUES (1, 5, 'x', 'me', 'me')");
    EXPECT_FALSE(initialiseStore(*own, true, size));
    EXPECT_EQ(records(*own), 1);
    own->db().exec("DELETE FROM catalogue_records");
    EXPECT_FALSE(initialiseStore(*own, true, size)) << "considered once, then left alone";

    auto plain = std::make_unique<Store>(dir.file("plain.db"));
    ASSERT_TRUE(initialiseStore(*plain, false));
    plain->db().exec("INSERT INTO operators (operator_id, password_hash) VALUES ('admin', 'x')");
    EXPECT_FALSE(initialiseStore(*plain, true, size));
    EXPECT_EQ(records(*plain), 0);
}
