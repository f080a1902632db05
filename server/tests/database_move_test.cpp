// orvane-server move: a SQLite database holding the demo data, real records,
// record sets, rule sets and a finished job is moved into PostgreSQL and read
// back record for record (and back again into SQLite); the moves it refuses
// leave the target as it was.

#include "admin_test_support.h"
#include "auth/operators.h"
#include "auth/password.h"
#include "catalogue/catalogue_import.h"
#include "catalogue/catalogue_search.h"
#include "catalogue/record_writer.h"
#include "catalogue_support.h"
#include "jobs/job_kinds.h"
#include "jobs/job_store.h"
#include "postgres_cluster.h"
#include "recordsets/record_set_catalogue.h"
#include "recordsets/record_set_members.h"
#include "store/database_move.h"
#include "store/migrations.h"
#include "store/table_schema.h"
#include "test_server.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <thread>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

#define VELUMAR_POSTGRES_OR_SKIP()                                                                 \
    if (!PostgresCluster::programs())                                                              \
    GTEST_SKIP() << "PostgreSQL is not installed (no initdb under /usr/lib/postgresql): "          \
                    "the move into it is not tested"

// A new, empty database of the binary's cluster, dropped at the end.
class ScratchPostgres {
public:
    ScratchPostgres() : url_(PostgresCluster::shared().createDatabase()) {}
    ~ScratchPostgres() {
        try {
            PostgresCluster::shared().dropDatabase(url_);
        } catch (const std::exception&) {
            // The cluster goes with the binary all the same.
        }
    }
    ScratchPostgres(const ScratchPostgres&) = delete;
    ScratchPostgres& operator=(const ScratchPostgres&) = delete;
    const std::string& url() const { return url_; }

private:
    std::string url_;
};

std::unique_ptr<Database> open(const std::string& location) {
    return openDatabase(location, Database::DefaultBusyTimeout);
}

using Row = std::vector<std::optional<std::string>>;

// Every row of a table, each value as its text or octets (integers in
// decimal on both engines), in an order of its own.
std::vector<Row> dump(Database& db, const std::string& table,
                      const std::vector<std::string>& columns) {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql.append(i ? ", " : "").append(quoted(columns[i]));
    sql.append(" FROM ").append(quoted(table));
    auto st = db.prepare(sql);
    std::vector<Row> rows;
    while (st.step()) {
        Row row;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const int column = static_cast<int>(c);
            row.push_back(st.isNull(column) ? std::nullopt
                                            : std::optional<std::string>(st.text(column)));
        }
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The columns both engines keep.
std::vector<std::string> sharedColumns(Database& a, Database& b, const std::string& table) {
    std::set<std::string> other;
    for (const auto& column : tableColumns(b, table))
        other.insert(column.name);
    std::vector<std::string> shared;
    for (const auto& column : tableColumns(a, table))
        if (other.contains(column.name))
            shared.push_back(column.name);
    return shared;
}

std::map<std::pair<std::int64_t, std::int64_t>, std::string> recordOctets(Database& db) {
    std::map<std::pair<std::int64_t, std::int64_t>, std::string> records;
    auto st = db.prepare("SELECT record_type, record_id, marc FROM catalogue_records");
    while (st.step())
        records[{st.int64(0), st.int64(1)}] = st.blob(2);
    return records;
}

// Each record's own list of index entries (SQLite's), as a set.
std::set<std::vector<std::string>> listedEntries(Database& db) {
    std::set<std::vector<std::string>> entries;
    auto st = db.prepare("SELECT r.record_type, r.record_id, e.value ->> 0, e.value ->> 1 "
                         "FROM catalogue_records r, json_each(r.index_entries) e");
    while (st.step())
        entries.insert({st.text(0), st.text(1), st.text(2), st.text(3)});
    return entries;
}

// What a refused move must leave alone: every table and its rows.
std::map<std::string, std::vector<Row>> everything(Database& db) {
    std::map<std::string, std::vector<Row>> all;
    for (const std::string& table : listTables(db)) {
        std::vector<std::string> columns;
        for (const auto& column : tableColumns(db, table))
            columns.push_back(column.name);
        all[table] = dump(db, table, columns);
    }
    return all;
}

constexpr std::string_view MovedPassword = "moved secret";

// The source every test reads and none changes: the demo data, three real
// files (one imported twice, so records have history with their earlier
// octets), two record sets, rule set parameters, a finished job with its
// records, and a session.
class DatabaseMove : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempDir;
        source_ = new std::string(folder_->file("source.db"));
        Store store(*source_);
        initialiseStore(store, true, {120, 30});
        Database& db = store.db();

        ImportSummary imported;
        for (const char* file : {"eg_lul_fre_100.mrc", "m4j_sample1.mrc", "eg_auth-subset100.mrc",
                                 "eg_lul_fre_100.mrc"}) {
            const auto path = sampleFile(file);
            if (!path) {
                missingSample_ = file;
                return;
            }
            importFile(db, *path, {}, imported);
        }
        ASSERT_GT(imported.replaced, 0u);

        RecordSetCatalogue sets(db);
        RecordSetMembers members(db);
        const auto french = sets.add("Moved French", 1, 1, "demo");
        const auto authorities = sets.add("Moved authorities", 1, 3, "demo");
        ASSERT_EQ(french.status, 0);
        // The newest records first, then older ones: the order they arrived
        // in has to move too.
        std::vector<std::int32_t> ids;
        auto newest = db.prepare("SELECT record_id FROM catalogue_records WHERE record_type = 1 "
                                 "ORDER BY record_id DESC LIMIT 3");
        while (newest.step())
            ids.push_back(newest.int32(0));
        ids.insert(ids.end(), {7, 3, 60});
        ASSERT_TRUE(members.add(french.id, 1, ids, "demo").empty());
        ASSERT_TRUE(members.add(authorities.id, 3, std::vector<std::int32_t>{2, 1}, "demo").empty());

        {
            Transaction tx(db);
            addOperator(db, "jsmith", "J. Smith", hashPassword(std::string(MovedPassword)));
            db.exec("INSERT INTO rule_document_parameters (document, position, name) "
                    "SELECT min(id), 1, 'lang' FROM rule_documents");
            db.exec("INSERT INTO rule_set_parameters (rule_set, position, name, value) "
                    "SELECT min(id), 1, 'lang', 'fre' FROM rule_sets");
            tx.commit();
        }

        JobStore jobs(db);
        JobRow job;
        job.name = "Moved scan";
        job.type = jobs::type::Scan;
        job.recordType = 1;
        job.recordSetId = french.id;
        job.operatorId = "demo";
        job.recordsToProcess = static_cast<std::int32_t>(ids.size());
        const auto jobId = jobs.insert(job);
        jobs.setStatus(jobId, jobs::status::Running);
        jobs.saveCounters(jobId, {6, 6, 1, 0, 1});
        jobs.finish(jobId, jobs::status::Done);
        auto record = db.prepare("INSERT INTO job_records (job, position, marc) VALUES (?1, ?2, ?3)");
        record.bind(1, jobId).bind(2, 1).bindBlob(3, std::string("\x1d\xff\x00 octets", 10));
        record.run();
        db.exec("INSERT INTO sessions (token_hash, operator, operator_id, opened_at, last_used) "
                "VALUES ('abc', 1, 'demo', 0, 0)");
    }
    static void TearDownTestSuite() {
        delete source_;
        delete folder_;
    }
    void SetUp() override {
        if (!missingSample_.empty())
            GTEST_SKIP() << "the MARC sample folder " << VELUMAR_MARC_DATA_DIR << " lacks "
                         << missingSample_;
    }

    static const std::string& source() { return *source_; }

    static TempDir* folder_;
    static std::string* source_;
    static std::string missingSample_;
};

TempDir* DatabaseMove::folder_ = nullptr;
std::string* DatabaseMove::source_ = nullptr;
std::string DatabaseMove::missingSample_;

} // namespace

namespace {

// The first row that differs, or nothing: a whole table in a failure
// message would bury it.
std::string firstDifference(const std::vector<Row>& expected, const std::vector<Row>& actual) {
    if (expected.size() != actual.size())
        return std::to_string(expected.size()) + " rows moved as " + std::to_string(actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == actual[i])
            continue;
        std::string shown = "row " + std::to_string(i) + " differs:";
        for (std::size_t c = 0; c < expected[i].size(); ++c)
            if (expected[i][c] != actual[i][c])
                shown.append(" column ").append(std::to_string(c)).append(" '")
                    .append(expected[i][c].value_or("NULL").substr(0, 60)).append("' became '")
                    .append(actual[i][c].value_or("NULL").substr(0, 60)).append("'");
        return shown;
    }
    return {};
}

std::int32_t setNamed(Database& db, const std::string& name) {
    for (const auto& set : RecordSetCatalogue(db).list())
        if (set.name == name)
            return set.id;
    return 0;
}

wire::Answer send(ServerCore& core, const wire::Request& request) {
    const auto reply = core.endpoint().handle(wire::encodeRequest(request), {}, {});
    auto decoded = wire::decodeAnswer(reply.body);
    return decoded.value ? *decoded.value : wire::Answer{-1, {}};
}

} // namespace

TEST_F(DatabaseMove, IntoPostgresKeepsEveryTableRecordForRecord) {
    VELUMAR_POSTGRES_OR_SKIP();
    ScratchPostgres target;
    // The test cluster trusts its users: the password is there to be hidden.
    std::string withPassword = target.url();
    withPassword.insert(withPassword.find('@'), ":hidden");
    const auto run = runCommand({"move", "--db", source(), "--to", withPassword});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string version = std::to_string(latestSchemaVersion(Engine::Sqlite));
    std::string shown = target.url();
    shown.insert(shown.find('@'), ":***");
    EXPECT_NE(run.out.find("moved " + source() + " (schema version " + version + ") to " +
                           shown + ", its schema made first:\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("hidden"), std::string::npos);
    EXPECT_NE(run.out.find("not moved: sessions; operators log in again with the same passwords"),
              std::string::npos);

    const auto from = open(source());
    const auto to = open(target.url());
    EXPECT_EQ(schemaVersion(*to), latestSchemaVersion(Engine::Postgres));
    // The index, made again on the target from the records' lists, holds
    // the same rows as the one left behind.
    std::vector<std::string_view> compared(movedTables().begin(), movedTables().end());
    compared.push_back("catalogue_index");
    for (const std::string_view name : compared) {
        const std::string table(name);
        const auto columns = sharedColumns(*from, *to, table);
        const auto rows = dump(*from, table, columns);
        EXPECT_FALSE(rows.empty()) << table << ": the source should give the move rows to copy";
        EXPECT_EQ(firstDifference(rows, dump(*to, table, columns)), "") << table;
        EXPECT_NE(run.out.find("  " + table + " "), std::string::npos) << table;
    }
    EXPECT_EQ(scalar(*to, "SELECT count(*) FROM sessions"), 0);

    // Every record's octets by its id.
    const auto records = recordOctets(*from);
    EXPECT_GT(records.size(), 400u);
    EXPECT_TRUE(recordOctets(*to) == records);

    // The catalogue finds the same ids for the same keys.
    auto keys = from->prepare("SELECT code, key FROM catalogue_index WHERE code IN ('TI', 'AH') "
                              "GROUP BY code, key ORDER BY count(*) DESC, code, key LIMIT 4");
    int searched = 0;
    while (keys.step()) {
        for (const bool truncate : {false, true}) {
            SearchQuery query;
            query.indexCode = keys.text(0);
            query.key = keys.text(1);
            query.truncate = truncate;
            if (truncate)
                query.key = query.key.substr(0, 3);
            const auto before = searchCatalogue(*from, query);
            EXPECT_FALSE(before.ids.empty()) << query.indexCode << " " << query.key;
            EXPECT_EQ(searchCatalogue(*to, query).ids, before.ids)
                << query.indexCode << " " << query.key;
            ++searched;
        }
    }
    EXPECT_EQ(searched, 8);

    // Record sets hold the same ids in the order they arrived.
    for (const char* name : {"Moved French", "Moved authorities"}) {
        const auto fromId = setNamed(*from, name);
        ASSERT_NE(fromId, 0) << name;
        EXPECT_EQ(setNamed(*to, name), fromId) << name;
        EXPECT_EQ(RecordSetMembers(*to).chunk(fromId, 1).ids,
                  RecordSetMembers(*from).chunk(fromId, 1).ids)
            << name;
    }

    // A server on the moved database: the operators log in with their old
    // passwords, and new rows take ids past the moved ones.
    TempDir files;
    ServerOptions options;
    options.dbPath = target.url();
    options.filesPath = files.file("orvane");
    ServerCore core(options);
    core.log().mute(true);
    EXPECT_EQ(send(core, {"LOGIN", {{"OI", std::string("jsmith")},
                                    {"PW", std::string(MovedPassword)}}})
                  .status,
              0);
    EXPECT_EQ(send(core, {"LOGIN", {{"OI", std::string("demo")}, {"PW", std::string("demo")}}})
                  .status,
              0);
    EXPECT_NE(send(core, {"LOGIN", {{"OI", std::string("jsmith")}, {"PW", std::string("demo")}}})
                  .status,
              0);

    Database& db = core.store().db();
    const auto historyBefore = scalar(*from, "SELECT max(id) FROM catalogue_history");
    SavedRecord saved;
    {
        Transaction tx(db);
        saved = RecordWriter(db, "jsmith")
                    .save(makeRecord(BibLeader, {{"245", "10$aAfter the move"}}),
                          RecordKind::Bibliographic);
        tx.commit();
    }
    EXPECT_EQ(saved.action, SavedRecord::Action::Added);
    EXPECT_FALSE(records.contains({1, saved.id})) << saved.id;
    EXPECT_GT(scalar(db, "SELECT max(row) FROM catalogue_records"),
              scalar(*from, "SELECT max(row) FROM catalogue_records"));
    EXPECT_GT(scalar(db, "SELECT max(id) FROM catalogue_history"), historyBefore);

    const auto set = RecordSetCatalogue(db).add("After the move", 1, 1, "jsmith");
    EXPECT_EQ(set.status, 0);
    EXPECT_GT(set.id, scalar(*from, "SELECT max(id) FROM record_sets"));
    JobRow job;
    job.name = "After the move";
    job.operatorId = "jsmith";
    EXPECT_GT(JobStore(db).insert(job), scalar(*from, "SELECT max(id) FROM jobs"));
}

TEST_F(DatabaseMove, BackIntoSqliteKeepsEveryTableAndRebuildsEachRecordsIndexList) {
    VELUMAR_POSTGRES_OR_SKIP();
    ScratchPostgres middle;
    ASSERT_EQ(runCommand({"move", "--db", source(), "--to", middle.url()}).status, 0);

    // Small pages: every table of any size is read through its key, page
    // after page, text keys (operator_rights) included.
    TempDir dir;
    const auto from = open(source());
    const auto to = open(dir.file("back.db"));
    std::map<std::string, std::vector<std::int64_t>> reports;
    MoveOptions options;
    options.pageRows = 8;
    options.progress = [&](const MoveProgress& p) {
        reports[p.table].push_back(p.copied);
        EXPECT_EQ(p.total, scalar(*from, "SELECT count(*) FROM " + p.table)) << p.table;
    };
    const auto pg = open(middle.url());
    const auto summary = moveDatabase(*pg, *to, options);
    EXPECT_TRUE(summary.schemaCreated);

    for (const auto& table : summary.tables) {
        const auto columns = sharedColumns(*from, *to, table.name);
        const auto rows = dump(*from, table.name, columns);
        EXPECT_EQ(table.rows, static_cast<std::int64_t>(rows.size())) << table.name;
        EXPECT_EQ(firstDifference(rows, dump(*to, table.name, columns)), "") << table.name;
        ASSERT_FALSE(reports[table.name].empty()) << table.name;
        EXPECT_EQ(reports[table.name].back(), table.rows) << table.name;
    }
    EXPECT_GT(reports["catalogue_records"].size(), 10u);
    EXPECT_GT(reports["operator_rights"].size(), 1u);
    EXPECT_GT(scalar(*to, "SELECT count(*) FROM catalogue_index"), 1000);
    EXPECT_EQ(schemaVersion(*to), latestSchemaVersion(Engine::Sqlite));

    // Each record lists its own index entries again, and a record deleted
    // takes its entries with it by that list.
    const auto listed = listedEntries(*from);
    EXPECT_FALSE(listed.empty());
    EXPECT_TRUE(listedEntries(*to) == listed);
    const std::string entriesOf7 =
        "SELECT count(*) FROM catalogue_index WHERE record_type = 1 AND record_id = 7";
    ASSERT_GT(scalar(*to, entriesOf7), 0);
    to->exec("DELETE FROM catalogue_records WHERE record_type = 1 AND record_id = 7");
    EXPECT_EQ(scalar(*to, entriesOf7), 0);
}

TEST_F(DatabaseMove, AServerStartingOnTheTargetMeanwhileWaitsAndFindsItFilled) {
    VELUMAR_POSTGRES_OR_SKIP();
    ScratchPostgres target;
    const auto from = open(source());
    const auto to = open(target.url());
    const auto watcher = open(target.url());
    const auto serverWaits = [&] {
        return scalar(*watcher,
                      "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND NOT granted") > 0;
    };

    std::optional<std::thread> server;
    std::exception_ptr failure;
    std::int64_t operatorsFound = -1;
    MoveOptions options;
    options.progress = [&](const MoveProgress& p) {
        if (p.table != "catalogue_records" || server)
            return;
        server.emplace([&] {
            try {
                Store store(target.url());
                operatorsFound = scalar(store.db(), "SELECT count(*) FROM operators");
            } catch (...) {
                failure = std::current_exception();
            }
        });
        for (int i = 0; i < 600 && !serverWaits(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    };
    moveDatabase(*from, *to, options);
    ASSERT_TRUE(server);
    server->join();
    try {
        if (failure)
            std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "the server starting meanwhile failed: " << e.what();
    }
    EXPECT_EQ(operatorsFound, scalar(*from, "SELECT count(*) FROM operators"));
}

namespace {

struct MoveEnds {
    std::string from;
    std::string to;
};

std::string freshSqlite(const TempDir& dir, const std::string& name) {
    const auto path = dir.file(name);
    Store store(path);
    return path;
}

struct Refusal {
    std::string_view what;
    int status;
    std::string says;
    std::function<MoveEnds(const TempDir&, const std::string& source, const std::string& postgres)>
        make;
};

const int Latest = latestSchemaVersion(Engine::Sqlite);

std::vector<Refusal> refusals() {
    return {
        {"the same file", 2, "--db and --to name the same database; move into a new, empty one",
         [](const TempDir&, const std::string& source, const std::string&) {
             return MoveEnds{source, source};
         }},
        {"the same file by another path", 2, "--db and --to name the same database",
         [](const TempDir&, const std::string& source, const std::string&) {
             const std::filesystem::path path(source);
             const auto other = path.parent_path() / ".." / path.parent_path().filename() /
                                path.filename();
             return MoveEnds{source, other.string()};
         }},
        {"a source that is not there", 1, "no database at",
         [](const TempDir& dir, const std::string&, const std::string& postgres) {
             return MoveEnds{dir.file("absent.db"), postgres};
         }},
        {"a PostgreSQL target holding data", 1,
         "the target already holds data (table charsets has rows): move only into a new, empty "
         "database",
         [](const TempDir&, const std::string& source, const std::string& postgres) {
             EXPECT_EQ(runCommand({"init", "--db", postgres}).status, 0);
             return MoveEnds{source, postgres};
         }},
        {"a SQLite target holding data", 1, "the target already holds data (table ",
         [](const TempDir& dir, const std::string& source, const std::string&) {
             const auto path = dir.file("filled.db");
             EXPECT_EQ(runCommand({"init", "--db", path}).status, 0);
             return MoveEnds{source, path};
         }},
        {"a source of an older schema", 1,
         "the source is at schema version " + std::to_string(Latest - 1) +
             " and this orvane-server's is " + std::to_string(Latest) +
             ": bring it up to date first with orvane-server init --db",
         [](const TempDir& dir, const std::string&, const std::string& postgres) {
             const auto path = dir.file("older.db");
             const auto db = open(path);
             for (const auto& migration : migrations())
                 if (migration.version < Latest) {
                     Transaction tx(*db);
                     applyMigration(*db, migration);
                     tx.commit();
                 }
             return MoveEnds{path, postgres};
         }},
        {"a source of a newer schema", 1,
         "the source is at schema version " + std::to_string(Latest + 1) +
             ", made by a newer orvane-server than this one",
         [](const TempDir& dir, const std::string&, const std::string& postgres) {
             const auto path = freshSqlite(dir, "newer.db");
             open(path)->exec("PRAGMA user_version = " + std::to_string(Latest + 1));
             return MoveEnds{path, postgres};
         }},
        {"a row PostgreSQL refuses, after the schema and earlier tables were written", 1,
         "copying settings: ",
         [](const TempDir& dir, const std::string&, const std::string& postgres) {
             const auto path = freshSqlite(dir, "broken.db");
             const auto db = open(path);
             db->exec("INSERT INTO operators (operator_id, password_hash) VALUES ('a', 'b')");
             db->exec("INSERT INTO settings (key, value) VALUES ('cut', CAST(X'C3' AS TEXT))");
             return MoveEnds{path, postgres};
         }},
        {"a new SQLite file for a source it refuses", 1, "the source holds no orvane-server database",
         [](const TempDir& dir, const std::string&, const std::string&) {
             const auto path = dir.file("empty.db");
             open(path);
             return MoveEnds{path, dir.file("never.db")};
         }},
    };
}

} // namespace

TEST_F(DatabaseMove, RefusesAndLeavesTheTargetAsItWas) {
    VELUMAR_POSTGRES_OR_SKIP();
    for (const auto& refusal : refusals()) {
        SCOPED_TRACE(std::string(refusal.what));
        TempDir dir;
        ScratchPostgres postgres;
        const auto ends = refusal.make(dir, source(), postgres.url());
        const bool targetThere = isPostgresLocation(ends.to) || std::filesystem::exists(ends.to);
        std::map<std::string, std::vector<Row>> before;
        if (targetThere)
            before = everything(*open(ends.to));

        const auto run = runCommand({"move", "--db", ends.from, "--to", ends.to});
        EXPECT_EQ(run.status, refusal.status) << run.out;
        EXPECT_NE(run.err.find(refusal.says), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        if (!targetThere) {
            EXPECT_FALSE(std::filesystem::exists(ends.to));
            continue;
        }
        const auto after = everything(*open(ends.to));
        EXPECT_TRUE(after == before) << after.size() << " tables after, " << before.size()
                                     << " before";
    }
}

TEST(DatabaseMoveUsage, NamesBothDatabasesInHelpAndAsksForEach) {
    const auto help = runCommand({"--help"});
    EXPECT_NE(help.out.find("  move --db FILE|URL --to URL|FILE\n"), std::string::npos)
        << help.out;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"move"}, "orvane-server move: --db is required\n"},
        {{"move", "--db", "a.db"}, "orvane-server move: --to is required\n"},
        {{"move", "--db", "a.db", "--to", "b.db", "c.db"},
         "orvane-server move: unexpected argument c.db\n"},
    };
    for (const auto& [args, says] : cases) {
        const auto run = runCommand(args);
        EXPECT_EQ(run.status, 2) << says;
        EXPECT_TRUE(run.err.starts_with(says)) << run.err;
        EXPECT_NE(run.err.find("usage: orvane-server move --db FILE|URL --to URL|FILE\n"),
                  std::string::npos);
    }
}

TEST(DatabaseMoveTables, EveryTableOfBothEnginesIsMovedOrLeftBehindOnPurpose) {
    std::vector<std::string> locations;
    TempDir dir;
    locations.push_back(freshSqlite(dir, "tables.db"));
    std::optional<ScratchPostgres> postgres;
    if (PostgresCluster::programs()) {
        postgres.emplace();
        Store store(postgres->url());
        locations.push_back(postgres->url());
    }
    std::set<std::string> known(movedTables().begin(), movedTables().end());
    known.insert(tablesLeftBehind().begin(), tablesLeftBehind().end());
    known.insert(indexTables().begin(), indexTables().end());
    for (const auto& location : locations) {
        const auto db = open(location);
        const auto tables = listTables(*db);
        for (const auto& table : tables)
            EXPECT_TRUE(known.contains(table)) << location << ": " << table;
        for (const auto moved : movedTables())
            EXPECT_NE(std::find(tables.begin(), tables.end(), moved), tables.end())
                << location << ": " << moved;
    }
}
