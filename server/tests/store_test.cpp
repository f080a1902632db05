#include "store/database.h"
#include "store/migrations.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace orvane::server;
namespace fs = std::filesystem;

namespace {
class TempDb : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("velumar-store-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path() const { return (dir_ / "test.db").string(); }
    fs::path dir_;
};

int count(Database& db, const char* table) {
    auto st = db.prepare(std::string("SELECT count(*) FROM ") + table);
    st.step();
    return st.int32(0);
}
} // namespace

TEST_F(TempDb, MigratesToLatestOnceAndReopensWithoutChange) {
    const int latest = migrations().back().version;
    {
        Store store(path());
        EXPECT_EQ(store.schemaVersion(), latest);
        store.db().exec("INSERT INTO settings(key, value) VALUES ('k', 'v')");
    }
    Store again(path());
    EXPECT_EQ(again.schemaVersion(), latest);
    EXPECT_EQ(count(again.db(), "settings"), 1);
    EXPECT_EQ(migrate(again.db()), latest);
}

TEST_F(TempDb, ConnectionIsWalWithForeignKeys) {
    Store store(path());
    auto mode = store.db().prepare("PRAGMA journal_mode");
    mode.step();
    EXPECT_EQ(mode.text(0), "wal");
    auto fk = store.db().prepare("PRAGMA foreign_keys");
    fk.step();
    EXPECT_EQ(fk.int32(0), 1);
    // A right for an operator that does not exist is refused.
    EXPECT_THROW(store.db().exec("INSERT INTO operator_rights(operator, code) VALUES (999, 'AV')"),
                 StoreError);
}

TEST_F(TempDb, TransactionRollsBackUnlessCommitted) {
    Store store(path());
    auto& db = store.db();
    {
        Transaction tx(db);
        db.prepare("INSERT INTO settings(key, value) VALUES (?1, ?2)").bind(1, "a").bind(2, "1").run();
    } // no commit
    EXPECT_EQ(count(db, "settings"), 0);
    {
        Transaction tx(db);
        db.prepare("INSERT INTO settings(key, value) VALUES (?1, ?2)").bind(1, "a").bind(2, "1").run();
        tx.commit();
    }
    EXPECT_EQ(count(db, "settings"), 1);
}

TEST_F(TempDb, EachThreadHasItsOwnConnectionOnTheSameFile) {
    Store store(path());
    Database* mine = &store.db();
    Database* theirs = nullptr;
    std::thread t([&] {
        theirs = &store.db();
        theirs->exec("INSERT INTO settings(key, value) VALUES ('from', 'thread')");
    });
    t.join();
    EXPECT_NE(mine, theirs);
    EXPECT_EQ(count(*mine, "settings"), 1);
}

TEST_F(TempDb, StatementBindsAndReadsTextWithNulBytesAndNulls) {
    Store store(path());
    auto& db = store.db();
    const std::string withNul("a\0b", 3);
    db.prepare("INSERT INTO settings(key, value) VALUES (?1, ?2)").bind(1, "k").bind(2, withNul).run();
    auto st = db.prepare("SELECT value, NULL FROM settings WHERE key = ?1");
    st.bind(1, "k");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), withNul);
    EXPECT_TRUE(st.isNull(1));
    EXPECT_FALSE(st.step());
}

TEST_F(TempDb, BadSqlAndUnopenablePathThrowClearErrors) {
    Store store(path());
    EXPECT_THROW(store.db().prepare("SELEC nonsense"), StoreError);
    EXPECT_THROW(Database("/nonexistent-dir/x/y.db"), StoreError);
}
