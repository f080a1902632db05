// Each record keeps the list of its index entries, and its entries go by
// that list: when it is saved again, when a job changes it, when only its
// links change, when its row is deleted, and on a database migrated from
// the index kept twice. PostgreSQL keeps the entries as lists of record ids
// by key; many records of one key stay found through loads and changes.

#include "catalogue/catalogue_import.h"
#include "catalogue/catalogue_reindex.h"
#include "catalogue/catalogue_search.h"
#include "catalogue/index_sql.h"
#include "catalogue/index_writer.h"
#include "catalogue/record_writer.h"
#include "catalogue_support.h"
#include "marc/record_view.h"
#include "postgres_cluster.h"
#include "store/migrations.h"
#include "test_database.h"

#include <fstream>
#include <numeric>
#include <thread>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class IndexList : public CatalogueStore {
protected:
    // The record's entries as the index holds them and as its list names
    // them, each "code key", sorted.
    std::pair<std::vector<std::string>, std::vector<std::string>> entriesOf(std::int32_t id) {
        std::pair<std::vector<std::string>, std::vector<std::string>> out;
        out.first = heldOf(id);
        auto listed = db().prepare(
            testingPostgres()
                ? "SELECT (e ->> 0) || ' ' || (e ->> 1) FROM catalogue_records, "
                  "json_array_elements(CAST(index_entries AS json)) e WHERE record_type = 1 AND "
                  "record_id = ?1 ORDER BY 1"
                : "SELECT (value ->> 0) || ' ' || (value ->> 1) FROM catalogue_records, "
                  "json_each(index_entries) WHERE record_type = 1 AND record_id = ?1 ORDER BY 1");
        listed.bind(1, id);
        while (listed.step())
            out.second.push_back(listed.text(0));
        return out;
    }
    std::vector<std::string> heldOf(std::int32_t id) {
        std::vector<std::string> out;
        auto held = db().prepare("SELECT code || ' ' || key FROM catalogue_index "
                                 "WHERE record_type = 1 AND record_id = ?1 ORDER BY 1");
        held.bind(1, id);
        while (held.step())
            out.push_back(held.text(0));
        return out;
    }
    std::vector<std::int32_t> find(std::string code, std::string key) {
        SearchQuery query;
        query.indexCode = std::move(code);
        query.key = std::move(key);
        return searchCatalogue(db(), query).ids;
    }
};

std::string bib(std::string id, std::string title, std::string number = "(SRC)n1") {
    return makeRecord(
        BibLeader,
        {{"001", id}, {"003", "SRC"}, {"035", "  $a" + number}, {"245", "10$a" + title}});
}

} // namespace

TEST_F(IndexList, TheListNamesExactlyTheEntriesHeldThroughSavesAndLinkChanges) {
    // Quotes, backslashes and a control character go through the list as they are.
    save(bib("7", "Old harbours", "(SRC)q\"uo\\te\x01"));
    auto [held, listed] = entriesOf(7);
    EXPECT_EQ(held, (std::vector<std::string>{"035A (src)q\"uo\\te\x01", "TI harbours", "TI old"}));
    EXPECT_EQ(listed, held);

    save(bib("7", "New orchards", "(SRC)n2"));
    std::tie(held, listed) = entriesOf(7);
    EXPECT_EQ(held, (std::vector<std::string>{"035A (src)n2", "TI new", "TI orchards"}));
    EXPECT_EQ(listed, held);

    // A job writes a record's index, or only its links, in its transaction.
    IndexWriter index(db());
    const auto jobWrites = [&](const std::string& octets, bool linksOnly) {
        const marc::RecordView record = *marc::parseRecord(std::string_view(octets)).record;
        Transaction tx(db());
        if (linksOnly)
            index.writeControlKeys(RecordKind::Bibliographic, 7, record);
        else
            index.write(RecordKind::Bibliographic, 7, record);
        tx.commit();
    };
    // The entries it keeps stay, the others go, the new ones come.
    jobWrites(bib("7", "New harbours", "(SRC)n2"), false);
    std::tie(held, listed) = entriesOf(7);
    EXPECT_EQ(held, (std::vector<std::string>{"035A (src)n2", "TI harbours", "TI new"}));
    EXPECT_EQ(listed, held);

    // Links only: the word entries wait for the next index job.
    jobWrites(bib("7", "Ignored until reindexed", "(SRC)n3"), true);
    std::tie(held, listed) = entriesOf(7);
    EXPECT_EQ(held, (std::vector<std::string>{"035A (src)n3", "TI harbours", "TI new"}));
    EXPECT_EQ(listed, held);

    {
        Transaction tx(db());
        index.remove(RecordKind::Bibliographic, 7);
        tx.commit();
    }
    std::tie(held, listed) = entriesOf(7);
    EXPECT_TRUE(held.empty());
    EXPECT_TRUE(listed.empty());
}

// By the record's list on SQLite, by a trigger on PostgreSQL.
TEST_F(IndexList, DeletingARecordRowTakesItsEntriesAndNoOtherRecords) {
    save(bib("1", "Harbours of the north", "(SRC)a"));
    save(bib("2", "Harbours of the south", "(SRC)b"));
    db().exec("DELETE FROM catalogue_records WHERE record_type = 1 AND record_id = 1");
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_index WHERE record_id = 1"), 0);
    EXPECT_EQ(heldOf(2), (std::vector<std::string>{"035A (src)b", "TI harbours", "TI of",
                                                   "TI south", "TI the"}));
}

// More records of one key than one list of ids holds, loaded in one batch
// beside records of other keys.
TEST_F(IndexList, ManyRecordsOfOneKeyAreFoundWholeThroughALoadAndChanges) {
    constexpr std::int32_t Records = 2 * static_cast<std::int32_t>(MaxIdsPerList) + 44;
    std::string file;
    for (std::int32_t id = 1; id <= Records; ++id)
        file += bib(std::to_string(id), id % 2 ? "Common odd" : "Common even",
                    "(SRC)c" + std::to_string(id));
    const std::string path = dir().file("common.mrc");
    std::ofstream(path, std::ios::binary) << file;
    ImportSummary summary;
    importFile(db(), path, {}, summary);
    ASSERT_EQ(summary.added, static_cast<std::size_t>(Records));
    ASSERT_EQ(summary.batchesWrittenAgain, 0u);

    std::vector<std::int32_t> all(Records);
    std::iota(all.begin(), all.end(), 1);
    EXPECT_EQ(find("TI", "common"), all);
    EXPECT_EQ(find("TI", "odd").size(), static_cast<std::size_t>(Records / 2));
    if (testingPostgres()) {
        // In lists, none longer than its bound.
        EXPECT_EQ(count("SELECT count(*) FROM catalogue_postings WHERE key = 'common'"), 3);
        EXPECT_EQ(count("SELECT max(cardinality(ids)) FROM catalogue_postings"),
                  static_cast<std::int64_t>(MaxIdsPerList));
    }

    // One record saved again under another title leaves the lists of its
    // old words and joins those of its new ones; one deleted leaves all.
    save(bib("300", "Rare", "(SRC)c300"));
    db().exec("DELETE FROM catalogue_records WHERE record_type = 1 AND record_id = 5");
    std::vector<std::int32_t> left = all;
    std::erase_if(left, [](std::int32_t id) { return id == 300 || id == 5; });
    EXPECT_EQ(find("TI", "common"), left);
    EXPECT_EQ(find("TI", "rare"), (std::vector<std::int32_t>{300}));
    EXPECT_EQ(find("TI", "even").size(), static_cast<std::size_t>(Records / 2 - 1));
    EXPECT_EQ(find("TI", "odd").size(), static_cast<std::size_t>(Records / 2 - 1));
    EXPECT_EQ(heldOf(5), std::vector<std::string>{});

    // A reindex leaves the same entries; on PostgreSQL it makes the lists
    // again from the records' lists, not a row per record and key.
    EXPECT_EQ(reindexCatalogue(db(), 1000, {}), static_cast<std::size_t>(Records - 1));
    EXPECT_EQ(find("TI", "common"), left);
    EXPECT_EQ(find("TI", "rare"), (std::vector<std::int32_t>{300}));
    if (testingPostgres()) {
        EXPECT_EQ(count("SELECT count(*) FROM catalogue_postings WHERE key = 'common'"), 3);
    }
}

// Two transactions changing records whose ids share lists, each taking ids
// out of a list the other has already changed: they take turns instead of
// each waiting for the other (PostgreSQL would end one as a deadlock).
TEST_F(IndexList, TwoWritersTakingIdsOutOfTheSameListsBothCommit) {
    VELUMAR_POSTGRES_ONLY("SQLite has one writer at a time anyway");
    // Lists by title word: alpha [1, 4], beta [2, 3].
    std::string file;
    for (int id = 1; id <= 4; ++id)
        file += bib(std::to_string(id), id == 1 || id == 4 ? "Alpha" : "Beta",
                    "(SRC)d" + std::to_string(id));
    const std::string path = dir().file("shared.mrc");
    std::ofstream(path, std::ios::binary) << file;
    ImportSummary summary;
    importFile(db(), path, {}, summary);
    ASSERT_EQ(summary.added, 4u);

    const auto retitle = [](Database& db, int id) {
        RecordWriter(db, "jsmith").save(bib(std::to_string(id), "Gamma", "(SRC)d" + std::to_string(id)),
                                        RecordKind::Bibliographic);
    };
    const auto first = openDatabase(this->path(), Database::DefaultBusyTimeout);
    const auto second = openDatabase(this->path(), Database::DefaultBusyTimeout);
    std::string firstFailure;
    std::string secondFailure;
    std::thread other;
    try {
        Transaction tx(*first);
        retitle(*first, 1); // alpha's list
        other = std::thread([&] {
            try {
                Transaction tx2(*second);
                retitle(*second, 2); // beta's list
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                retitle(*second, 4); // alpha's list
                tx2.commit();
            } catch (const std::exception& e) {
                secondFailure = e.what();
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        retitle(*first, 3); // beta's list
        tx.commit();
    } catch (const std::exception& e) {
        firstFailure = e.what();
    }
    if (other.joinable())
        other.join();
    EXPECT_EQ(firstFailure, "");
    EXPECT_EQ(secondFailure, "");
    EXPECT_EQ(find("TI", "gamma"), (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(find("TI", "alpha"), std::vector<std::int32_t>{});
    EXPECT_EQ(find("TI", "beta"), std::vector<std::int32_t>{});
}

// Records and entries in a schema before records listed their entries.
constexpr const char* OldRows =
    "INSERT INTO catalogue_records (record_type, record_id, marc, created_by, updated_by) "
    "VALUES (1, 1, 'x', 'a', 'a'), (1, 2, 'y', 'a', 'a'), (3, 1, 'z', 'a', 'a');"
    "INSERT INTO catalogue_index VALUES (1, 'TI', 'harbours', 1), (1, 'TI', 'harbours', 2), "
    "(1, 'KW', 'say \"so\"', 1), (3, 'AH', 'smith', 1)";

// Once migrated: record 1 lists its entries (as the engine writes JSON),
// and they go with its row, the other records' staying.
void expectListedAndGoneWithTheRow(Database& db, std::string_view expectedList) {
    auto list = db.prepare("SELECT index_entries FROM catalogue_records WHERE record_type = 1 "
                           "AND record_id = 1");
    ASSERT_TRUE(list.step());
    EXPECT_EQ(list.text(0), expectedList);
    list.reset();
    db.exec("DELETE FROM catalogue_records WHERE record_type = 1 AND record_id = 1");
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM catalogue_index"), 2);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM catalogue_index WHERE record_id = 2 AND "
                         "record_type = 1"),
              1);
}

// The index kept twice (by key and by record) before: a database of that
// schema keeps every entry, each record gets its list, and the copy by record goes.
TEST(IndexListMigration, ADatabaseWithTheIndexKeptTwiceKeepsEveryEntryAndGetsItsLists) {
    VELUMAR_SQLITE_ONLY("the SQLite schema's own migration");
    TempDir dir;
    const std::string path = dir.file("old.db");
    const auto latest = migrations().back().version;
    constexpr int ListsCame = 8; // the migration that gave records their lists
    {
        // Written with SQLite itself, as the schema before stood.
        sqlite3* old = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &old), SQLITE_OK);
        std::string sql;
        for (const Migration& m : migrations())
            if (m.version < ListsCame)
                sql.append(m.sql).append(";\n");
        sql.append("PRAGMA user_version = ").append(std::to_string(ListsCame - 1));
        sql.append(";").append(OldRows);
        const int rc = sqlite3_exec(old, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(old);
        ASSERT_EQ(rc, SQLITE_OK);
    }
    Store store(path);
    Database& db = store.db();
    EXPECT_EQ(store.schemaVersion(), latest);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM catalogue_index"), 4);
    EXPECT_EQ(scalar(db, "SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND "
                         "tbl_name = 'catalogue_index' AND sql IS NOT NULL"),
              0);
    expectListedAndGoneWithTheRow(db, R"([["KW","say \"so\""],["TI","harbours"]])");
}

// PostgreSQL kept a row per key and record before its lists of ids: a
// database of that schema keeps every entry, in lists, and each record
// gets its list.
TEST(IndexListMigration, APostgresIndexOfARowPerRecordBecomesListsWithEveryEntry) {
    if (!PostgresCluster::programs())
        GTEST_SKIP() << "PostgreSQL is not installed (no initdb under /usr/lib/postgresql)";
    constexpr int ListsCame = 11; // the migration that made the lists
    const std::string url = PostgresCluster::shared().createDatabase();
    {
        const auto old = openDatabase(url, Database::DefaultBusyTimeout);
        for (const Migration& m : postgresMigrations()) {
            if (m.version >= ListsCame)
                break;
            Transaction tx(*old);
            applyMigration(*old, m);
            tx.commit();
        }
        old->exec(OldRows);
    }
    {
        Store store(url);
        Database& db = store.db();
        EXPECT_EQ(store.schemaVersion(), postgresMigrations().back().version);
        auto rows = db.prepare("SELECT record_type || ' ' || code || ' ' || key || ' ' || "
                               "record_id FROM catalogue_index ORDER BY 1");
        std::vector<std::string> held;
        while (rows.step())
            held.push_back(rows.text(0));
        EXPECT_EQ(held, (std::vector<std::string>{"1 KW say \"so\" 1", "1 TI harbours 1",
                                                  "1 TI harbours 2", "3 AH smith 1"}));
        EXPECT_EQ(scalar(db, "SELECT count(*) FROM catalogue_postings"), 3);
        expectListedAndGoneWithTheRow(db, R"([["KW", "say \"so\""], ["TI", "harbours"]])");
    }
    PostgresCluster::shared().dropDatabase(url);
}
