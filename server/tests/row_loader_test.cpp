// Many rows at once (multi-row INSERTs on SQLite, COPY on PostgreSQL): every
// octet of a text arrives as given, a refused row fails the load with nothing
// of it kept, and the connection goes on afterwards.

#include "store/database.h"
#include "store/store.h"
#include "test_database.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class RowLoading : public ::testing::Test {
protected:
    void SetUp() override {
        store_.emplace(database.location(), Database::DefaultBusyTimeout, database.filesBase());
        db().exec("CREATE TABLE loaded (n BIGINT PRIMARY KEY, t TEXT NOT NULL)");
    }
    Database& db() { return store_->db(); }

    std::vector<std::pair<std::int64_t, std::string>> rows() {
        std::vector<std::pair<std::int64_t, std::string>> out;
        auto st = db().prepare("SELECT n, t FROM loaded ORDER BY n");
        while (st.step())
            out.emplace_back(st.int64(0), st.text(1));
        return out;
    }

    void load(const std::vector<std::pair<std::int64_t, std::string>>& given) {
        const auto loader = db().loadRows("loaded (n, t)", 2);
        for (const auto& [n, t] : given) {
            loader->add(n);
            loader->add(std::string_view(t));
        }
        loader->finish();
    }

    TempDir dir;
    TestDatabase database{dir.path(), "loader.db"};
    std::optional<Store> store_;
};

} // namespace

TEST_F(RowLoading, TextsArriveOctetForOctet) {
    // Each value is what a COPY's text form or a statement's binding could
    // get wrong: its separators, its escape, the ends of lines, no text.
    const std::vector<std::pair<std::int64_t, std::string>> given = {
        {-9223372036854775807LL, "tab\there"},
        {1, "new\nline and \r return"},
        {2, "back\\slash \\N \\t"},
        {3, ""},
        {4, "ünïcödé 漢字 \xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d"},
        {9223372036854775807LL, "last"},
    };
    Transaction tx(db());
    load(given);
    tx.commit();
    EXPECT_EQ(rows(), given);
}

TEST_F(RowLoading, OctetsAndNullsArriveAsGiven) {
    db().exec(std::string("CREATE TABLE kept (n BIGINT PRIMARY KEY, o ") +
              (testingPostgres() ? "BYTEA" : "BLOB") + ", t TEXT)");
    // Every octet value, a record's separators, and nothing at all.
    std::string every;
    for (int c = 0; c < 256; ++c)
        every += static_cast<char>(c);
    const std::vector<std::pair<std::string, std::string>> given = {
        {every, "all octets"}, {"\x1e\x1d\\N\t", "\\N"}, {"", ""}};
    Transaction tx(db());
    const auto loader = db().loadRows("kept (n, o, t)", 3);
    std::int64_t n = 0;
    for (const auto& [octets, text] : given) {
        loader->add(++n);
        loader->addOctets(octets);
        loader->add(std::string_view(text));
    }
    loader->add(++n);
    loader->addNull();
    loader->addNull();
    loader->finish();
    tx.commit();

    auto st = db().prepare("SELECT n, o, t, o IS NULL, t IS NULL FROM kept ORDER BY n");
    for (const auto& [octets, text] : given) {
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.blob(1), octets) << st.int64(0);
        EXPECT_EQ(st.text(2), text) << st.int64(0);
        EXPECT_FALSE(st.int64(3)) << st.int64(0);
    }
    ASSERT_TRUE(st.step());
    EXPECT_TRUE(st.int64(3));
    EXPECT_TRUE(st.int64(4));
    EXPECT_FALSE(st.step());
}

TEST_F(RowLoading, ManyRowsGoInWholeWhateverTheirCount) {
    // More rows than one statement or one send takes, and a remainder.
    for (const std::int64_t count : {0, 1, 63, 64, 65, 1000, 70001}) {
        std::vector<std::pair<std::int64_t, std::string>> given;
        for (std::int64_t n = 0; n < count; ++n)
            given.emplace_back(n, "row " + std::to_string(n) + std::string(20, 'x'));
        Transaction tx(db());
        db().exec("DELETE FROM loaded");
        load(given);
        tx.commit();
        EXPECT_EQ(rows(), given) << count << " rows";
    }
}

TEST_F(RowLoading, RefusedRowFailsTheLoadAndTheConnectionGoesOn) {
    {
        Transaction tx(db());
        load({{1, "kept"}});
        tx.commit();
    }
    {
        Transaction tx(db());
        std::vector<std::pair<std::int64_t, std::string>> given;
        for (std::int64_t n = 2; n < 200; ++n)
            given.emplace_back(n, "new");
        given.emplace_back(1, "twice"); // the key is taken
        EXPECT_THROW(load(given), StoreError);
    } // rolled back
    EXPECT_EQ(rows(), (std::vector<std::pair<std::int64_t, std::string>>{{1, "kept"}}));

    // A load given up half way, some of it sent already, leaves the
    // connection usable.
    {
        Transaction tx(db());
        const auto loader = db().loadRows("loaded (n, t)", 2);
        const std::string text(100, 'a');
        for (std::int64_t n = 100; n < 30'100; ++n) {
            loader->add(n);
            loader->add(std::string_view(text));
        }
    }
    Transaction tx(db());
    load({{6, "after"}});
    tx.commit();
    EXPECT_EQ(rows(),
              (std::vector<std::pair<std::int64_t, std::string>>{{1, "kept"}, {6, "after"}}));
}
