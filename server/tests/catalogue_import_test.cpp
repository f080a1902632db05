// Importing files into the catalogue: real records, what is rejected and
// why, and that an import stopped hard or failing inside a batch leaves
// every record whole.

#include "admin_test_support.h"
#include "catalogue/catalogue_import.h"
#include "catalogue/catalogue_search.h"
#include "catalogue/index_keys.h"
#include "catalogue_support.h"
#include "marc/reader.h"
#include "marc/record_view.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class CatalogueImport : public CatalogueStore {
protected:
    ImportSummary import(const std::string& file, ImportOptions options = {}) {
        ImportSummary summary;
        importFile(db(), file, options, summary);
        return summary;
    }
    std::vector<std::int32_t> find(std::string code, std::string key, bool truncate = false) {
        SearchQuery query;
        query.indexCode = std::move(code);
        query.key = std::move(key);
        query.truncate = truncate;
        return searchCatalogue(db(), query).ids;
    }
    std::string writeFile(const std::string& name, const std::string& octets) {
        const auto path = dir().file(name);
        std::ofstream(path, std::ios::binary) << octets;
        return path;
    }
    // Every record has exactly the index entries its octets give and one
    // history row per save: nothing was written by halves.
    void expectEveryRecordWhole() {
        IndexKeys keys;
        auto records = db().prepare("SELECT record_type, record_id, marc FROM catalogue_records");
        auto entries = db().prepare("SELECT count(*) FROM catalogue_index "
                                    "WHERE record_type = ?1 AND record_id = ?2");
        std::size_t checked = 0;
        while (records.step()) {
            const std::string octets = records.blob(2);
            const auto parsed = marc::parseRecord(std::string_view(octets));
            ASSERT_TRUE(parsed.record);
            const auto kind = *recordKindFromNumber(records.int32(0));
            entries.reset();
            entries.bind(1, records.int64(0)).bind(2, records.int64(1));
            entries.step();
            EXPECT_EQ(static_cast<std::size_t>(entries.int64(0)),
                      keys.of(*parsed.record, kind).size())
                << "record " << records.int64(1);
            ++checked;
        }
        EXPECT_EQ(count("SELECT count(*) FROM catalogue_history"),
                  static_cast<std::int64_t>(checked));
        EXPECT_EQ(count("SELECT count(*) FROM catalogue_index i WHERE NOT EXISTS (SELECT 1 FROM "
                        "catalogue_records r WHERE r.record_type = i.record_type AND "
                        "r.record_id = i.record_id)"),
                  0);
    }
};

std::string firstRecordOf(const std::string& path) {
    auto reader = marc::Reader::openFile(path);
    auto view = reader->next();
    return view ? std::string(view->bytes()) : std::string();
}

std::string subfieldA(const std::string& octets, std::string_view tag) {
    const auto parsed = marc::parseRecord(std::string_view(octets));
    const auto field = parsed.record->findField(tag);
    return field ? std::string(field->subfield('a').value_or("")) : std::string();
}

} // namespace

TEST_F(CatalogueImport, RealMarc8RecordsAreFoundByTitleWordsWithOrWithoutTheirDiacritics) {
    VELUMAR_SAMPLE_OR_SKIP(file, "eg_lul_fre_100.mrc");
    const auto summary = import(*file);
    EXPECT_EQ(summary.added, 100u);
    EXPECT_TRUE(summary.rejected.empty());

    // "Dix-huitième siècle : études littéraires" (MARC-8 in the file), which
    // two of its records bear.
    const auto plain = find("TI", "dix huitieme siecle etudes");
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(find("TI", "Dix-huitième siècle : Études"), plain);
    EXPECT_EQ(find("KW", "DIX-HUITIEME"), plain);
    // Truncation finds the word from its beginning.
    const auto truncated = find("TI", "litter", true);
    EXPECT_NE(std::find(truncated.begin(), truncated.end(), plain.front()), truncated.end());
    EXPECT_TRUE(find("TI", "litter").empty());
}

TEST_F(CatalogueImport, RealRecordsAreFoundByTheControlNumberTheyCameWith) {
    VELUMAR_SAMPLE_OR_SKIP(file, "eg_lul_fre_100.mrc");
    const std::string original = firstRecordOf(*file);
    const auto parsed = marc::parseRecord(std::string_view(original));
    const std::string number(parsed.record->findField("001")->value());
    const std::string kept035 = subfieldA(original, "035");
    ASSERT_FALSE(number.empty());
    import(*file);

    // Its 001 is not a number: it gets an id, and its 001 is kept in an 035.
    const auto byOld001 = find("035A", number);
    ASSERT_EQ(byOld001.size(), 1u);
    EXPECT_EQ(find("035A", kept035), byOld001);
    auto st =
        db().prepare("SELECT marc FROM catalogue_records WHERE record_type = 1 AND record_id = ?1");
    st.bind(1, byOld001.front());
    ASSERT_TRUE(st.step());
    EXPECT_EQ(
        std::string(
            marc::parseRecord(std::string_view(st.blob(0))).record->findField("001")->value()),
        std::to_string(byOld001.front()));

    // Loading the file again replaces every record that has a control
    // number; one without a 001 cannot be told from a new one.
    std::size_t without001 = 0;
    for (auto reader = marc::Reader::openFile(*file); auto view = reader->next();)
        without001 += view->findField("001") ? 0 : 1;
    const auto again = import(*file);
    EXPECT_EQ(again.added, without001);
    EXPECT_EQ(again.replaced, 100u - without001);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records"),
              static_cast<std::int64_t>(100 + without001));
}

TEST_F(CatalogueImport, RealHoldingsAreLinkedToTheirBibliographicRecords) {
    VELUMAR_SAMPLE_OR_SKIP(file, "m4j_sample1.mrc");
    const auto summary = import(*file);
    EXPECT_EQ(summary.added, 8u);
    EXPECT_TRUE(summary.rejected.empty());
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE record_type = 2"), 4);
    // Each holdings record points at a bibliographic record the catalogue holds.
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records h JOIN catalogue_records b "
                    "ON b.record_type = 1 AND b.record_id = h.bib_id WHERE h.record_type = 2"),
              4);
    expectEveryRecordWhole();
}

// Batches write their index entries together, in key order, and without a
// savepoint per record; what they leave is what writing a record at a time
// leaves: the same records, ids, links, entries and history. A holdings
// record finds a bibliographic record of its own batch by its control number.
TEST_F(CatalogueImport, BatchesLeaveWhatRecordByRecordLeaves) {
    std::string octets;
    for (const char* name : {"m4j_sample1.mrc", "eg_auth-subset100.mrc", "eg_lul_fre_100.mrc"})
        if (const auto sample = sampleFile(name))
            octets += readFile(*sample);
    for (int i = 0; i < 300; ++i) {
        octets += makeRecord(BibLeader, {{"001", "b" + std::to_string(i)},
                                         {"003", "SRC"},
                                         {"245", "10$aBatch title " + std::to_string(i % 37)},
                                         {"650", " 0$aHarbors$zNorway."}});
        octets += makeRecord(HoldingsLeader, {{"001", "h" + std::to_string(i)},
                                              {"003", "SRC"},
                                              {"004", "b" + std::to_string(i)},
                                              {"852", "  $aMAIN$bSTACKS"}});
        // Seen twice in one batch, the second replacing the first: by its
        // control number, and by its id.
        if (i == 20)
            octets += makeRecord(BibLeader,
                                 {{"001", "b3"}, {"003", "SRC"}, {"245", "10$aReplaced early"}});
        if (i == 5 || i == 25)
            octets += makeRecord(BibLeader, {{"001", "900"},
                                             {"245", "10$aNine hundred " + std::to_string(i)}});
    }
    // Records seen twice: the second replaces the first within the batch.
    octets += makeRecord(BibLeader, {{"001", "b7"}, {"003", "SRC"}, {"245", "10$aReplaced"}});
    const auto file = writeFile("mixed.mrc", octets);

    // On PostgreSQL the quick way also asks a batch's look-ups ahead.
    const auto contents = [&](bool recordByRecord) {
        TempDir dir;
        TestDatabase database{dir.path(), "c.db"};
        Store store(database.location(), Database::DefaultBusyTimeout, database.filesBase());
        ImportOptions options;
        options.recordByRecord = recordByRecord;
        options.batchSize = 250;
        ImportSummary summary;
        importFile(store.db(), file, options, summary);
        // The batches went in whole: the quick way was not given up.
        EXPECT_EQ(summary.batchesWrittenAgain, 0u);
        std::vector<std::string> rows{std::to_string(summary.added) + " added, " +
                                      std::to_string(summary.replaced) + " replaced, " +
                                      std::to_string(summary.rejected.size()) + " rejected"};
        auto records = store.db().prepare("SELECT record_type, record_id, marc, "
                                          "coalesce(bib_id, 0) FROM catalogue_records "
                                          "ORDER BY record_type, record_id");
        while (records.step())
            rows.push_back(records.text(0) + " " + records.text(1) + " " + records.blob(2) +
                           " " + records.text(3));
        auto entries = store.db().prepare("SELECT record_type || ' ' || code || ' ' || key || "
                                          "' ' || record_id FROM catalogue_index ORDER BY 1");
        while (entries.step())
            rows.push_back(entries.text(0));
        auto history = store.db().prepare("SELECT record_type, record_id, action, previous "
                                          "FROM catalogue_history ORDER BY id");
        while (history.step())
            rows.push_back(history.text(0) + " " + history.text(1) + " " + history.text(2) + " " +
                           history.blob(3));
        if (!testingPostgres()) {
            auto fk = store.db().prepare("PRAGMA foreign_keys");
            fk.step();
            rows.push_back("foreign keys " + std::to_string(fk.int64(0)));
        }
        return rows;
    };
    const auto batched = contents(false);
    const auto alone = contents(true);
    EXPECT_EQ(batched.front(), alone.front());
    EXPECT_GT(batched.size(), 2000u);
    EXPECT_TRUE(batched == alone) << "the batched import left other rows";
    if (!testingPostgres()) {
        EXPECT_EQ(batched.back(), "foreign keys 1");
    }
}

TEST_F(CatalogueImport, NewIdsStepOverIdsTheBatchsOwnRecordsTook) {
    // A batch keeps its id counter in hand between records: a record keeping
    // its own 001 takes an id the counter would have given next.
    const auto file = writeFile(
        "ids.mrc",
        makeRecord(BibLeader, {{"001", "a1"}, {"003", "SRC"}, {"245", "10$aOne"}}) +
            makeRecord(BibLeader, {{"001", "2"}, {"245", "10$aTwo"}}) +
            makeRecord(BibLeader, {{"001", "a3"}, {"003", "SRC"}, {"245", "10$aThree"}}) +
            makeRecord(BibLeader, {{"001", "4"}, {"245", "10$aFour"}}) +
            makeRecord(BibLeader, {{"001", "a5"}, {"003", "SRC"}, {"245", "10$aFive"}}));
    EXPECT_EQ(import(file).added, 5u);
    for (const auto& [title, id] : std::vector<std::pair<const char*, std::int32_t>>{
             {"one", 1}, {"two", 2}, {"three", 3}, {"four", 4}, {"five", 5}})
        EXPECT_EQ(find("TI", title), (std::vector<std::int32_t>{id})) << title;

    // The next batch starts from the counter stored, past everything taken.
    const auto more = writeFile(
        "more.mrc", makeRecord(BibLeader, {{"001", "a6"}, {"003", "SRC"}, {"245", "10$aSix"}}));
    EXPECT_EQ(import(more).added, 1u);
    EXPECT_EQ(find("TI", "six"), (std::vector<std::int32_t>{6}));

    // The counter the batch moved was stored with it: the id of a record
    // deleted since is not given again.
    db().exec("DELETE FROM catalogue_records WHERE record_type = 1 AND record_id = 6");
    const auto seven = writeFile(
        "seven.mrc", makeRecord(BibLeader, {{"001", "a7"}, {"003", "SRC"}, {"245", "10$aSeven"}}));
    EXPECT_EQ(import(seven).added, 1u);
    EXPECT_EQ(find("TI", "seven"), (std::vector<std::int32_t>{7}));
    expectEveryRecordWhole();
}

TEST_F(CatalogueImport, AuthorityRecordsGoToTheAuthorityIndexes) {
    VELUMAR_SAMPLE_OR_SKIP(file, "eg_auth-subset100.mrc");
    const auto summary = import(*file);
    EXPECT_EQ(summary.added, 17u);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE record_type = 3"), 17);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_index WHERE code = '035A'"), 0);
    EXPECT_GT(count("SELECT count(*) FROM catalogue_index WHERE code = 'AH'"), 0);
}

TEST_F(CatalogueImport, MalformedRecordsAreRejectedWithTheirReasonAndTheRestLoaded) {
    VELUMAR_SAMPLE_OR_SKIP(file, "pym_bad_records.mrc");
    const auto summary = import(*file);
    EXPECT_GT(summary.added, 0u);
    ASSERT_FALSE(summary.rejected.empty());
    for (const auto& r : summary.rejected) {
        EXPECT_EQ(r.file, *file);
        EXPECT_FALSE(r.reason.empty());
    }
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records"),
              static_cast<std::int64_t>(summary.added));
    expectEveryRecordWhole();
}

TEST_F(CatalogueImport, TypeOptionOverridesTheLeader) {
    const auto file =
        writeFile("auth.mrc", makeRecord(BibLeader, {{"001", "3"}, {"100", "1 $aName"}}));
    ImportOptions options;
    options.kind = RecordKind::Authority;
    EXPECT_EQ(import(file, options).added, 1u);
    EXPECT_EQ(count("SELECT record_type FROM catalogue_records"), 3);
}

TEST_F(CatalogueImport, ARecordFailingInsideABatchIsRolledBackWholeAndTheOthersKept) {
    // The database refuses record 2 at one of its writes: an index entry kept
    // for the batch's flush, or its row, whose write (on PostgreSQL) is sent
    // ahead and answered only at a later statement.
    struct Poison {
        const char* where;
        const char* postgresWhere; // PostgreSQL's index is lists of ids by key
        const char* postgresTest;
        const char* sqliteTest;
    };
    for (const Poison& poison :
         {Poison{"catalogue_index", "catalogue_postings", "NEW.key = 'poison'", "NEW.key = 'poison'"},
          Poison{"catalogue_records", "catalogue_records",
                 "position('Poison'::bytea in NEW.marc) > 0", "instr(NEW.marc, 'Poison') > 0"}}) {
        SCOPED_TRACE(poison.where);
        db().exec("DELETE FROM catalogue_records");
        if (testingPostgres())
            db().exec(std::string("CREATE OR REPLACE FUNCTION poison() RETURNS trigger LANGUAGE "
                                  "plpgsql AS $$ BEGIN IF ") +
                      poison.postgresTest +
                      " THEN RAISE EXCEPTION 'poisoned key'; END IF; RETURN NEW; END $$; "
                      "DROP TRIGGER IF EXISTS poison ON catalogue_postings; "
                      "DROP TRIGGER IF EXISTS poison ON catalogue_records; "
                      "CREATE TRIGGER poison BEFORE INSERT ON " +
                      poison.postgresWhere + " FOR EACH ROW EXECUTE FUNCTION poison()");
        else
            db().exec(std::string("DROP TRIGGER IF EXISTS poison; CREATE TRIGGER poison BEFORE "
                                  "INSERT ON ") +
                      poison.where + " WHEN " + poison.sqliteTest +
                      " BEGIN SELECT RAISE(ABORT, 'poisoned key'); END");
        const auto file = writeFile(
            "three.mrc", makeRecord(BibLeader, {{"001", "1"}, {"245", "10$aFirst"}}) +
                             makeRecord(BibLeader, {{"001", "2"}, {"245", "10$aPoison pen"}}) +
                             makeRecord(BibLeader, {{"001", "3"}, {"245", "10$aThird"}}));
        const auto summary = import(file);
        EXPECT_EQ(summary.batchesWrittenAgain, 1u);
        EXPECT_EQ(summary.added, 2u);
        ASSERT_EQ(summary.rejected.size(), 1u);
        EXPECT_NE(summary.rejected[0].reason.find("poisoned key"), std::string::npos);
        EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE record_id = 2"), 0);
        EXPECT_EQ(count("SELECT count(*) FROM catalogue_history WHERE record_id = 2"), 0);
        EXPECT_EQ(count("SELECT count(*) FROM catalogue_index WHERE record_id = 2"), 0);
        EXPECT_EQ(find("TI", "third"), (std::vector<std::int32_t>{3}));
        expectEveryRecordWhole();
    }
}

TEST_F(CatalogueImport, AnImportKilledMidwayKeepsWholeBatchesOnly) {
    // Enough records that the import is still running when it is killed.
    std::string octets;
    constexpr int Records = 30000;
    for (int i = 0; i < Records; ++i)
        octets += makeRecord(BibLeader, {{"001", "k" + std::to_string(i)},
                                         {"003", "SRC"},
                                         {"245", "10$aRecord number " + std::to_string(i)},
                                         {"650", " 0$aHarbors$zNorway."}});
    const auto file = writeFile("big.mrc", octets);

    const std::string binary = ORVANE_SERVER_BINARY;
    std::vector<std::string> args{binary, "catalogue", "import", "--db", path(), file};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, binary.c_str(), nullptr, nullptr, argv.data(), environ), 0);

    // Kill it once some batches are in, without warning.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::int64_t seen = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        Store watcher(path());
        seen = scalar(watcher.db(), "SELECT count(*) FROM catalogue_records");
        if (seen > 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_GT(seen, 0) << "the import wrote nothing within a minute";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the import finished before it could be killed";

    const auto kept = count("SELECT count(*) FROM catalogue_records");
    EXPECT_LT(kept, Records);
    // Batches end by size or by time, so what was kept is the file's first
    // records, numbered in file order, without a gap.
    EXPECT_EQ(count("SELECT max(record_id) FROM catalogue_records"), kept);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_index WHERE code = '035A' AND key = '(src)k" +
                    std::to_string(kept - 1) + "'"),
              1);
    expectEveryRecordWhole();
}

TEST_F(CatalogueImport, CommandLineImportsExportsAndReindexes) {
    const auto file = writeFile(
        "two.mrc", makeRecord(BibLeader, {{"001", "x1"}, {"245", "10$aOrchards"}}) +
                       makeRecord(BibLeader, {{"001", "5"}, {"245", "10$aRivers"}}) + "garbage");
    const auto imported = runCommand({"catalogue", "import", "--db", path(), file});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("added 2, replaced 0, rejected 1"), std::string::npos)
        << imported.out;
    EXPECT_NE(imported.out.find("rejected " + file + " at offset"), std::string::npos);

    // Exported records carry this catalogue's ids: loaded again they replace.
    const auto out = dir().file("out.mrc");
    const auto exported = runCommand({"catalogue", "export", "--db", path(), "--type", "bib", out});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.out.find("wrote 2 bibliographic records"), std::string::npos);
    const auto again = runCommand({"catalogue", "import", "--db", path(), out});
    EXPECT_NE(again.out.find("added 0, replaced 2, rejected 0"), std::string::npos) << again.out;

    const auto ids = writeFile("ids.txt", "5\n\n77\n");
    const auto some = runCommand({"catalogue", "export", "--db", path(), "--type", "bib", "--ids",
                                  ids, dir().file("some.mrc")});
    EXPECT_NE(some.out.find("wrote 1 bibliographic records"), std::string::npos) << some.out;
    EXPECT_NE(some.out.find("no bibliographic record 77"), std::string::npos);
    EXPECT_EQ(firstRecordOf(dir().file("some.mrc")), stored(RecordKind::Bibliographic, 5));

    const auto entries = count("SELECT count(*) FROM catalogue_index");
    db().exec("DELETE FROM catalogue_index");
    const auto reindexed = runCommand({"catalogue", "reindex", "--db", path()});
    EXPECT_EQ(reindexed.status, 0) << reindexed.err;
    EXPECT_NE(reindexed.out.find("reindexed 2 records"), std::string::npos);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_index"), entries);
    EXPECT_EQ(find("TI", "rivers"), (std::vector<std::int32_t>{5}));
}

// An export never writes over the database it reads, nor over its companion
// files, by whatever name they are given.
TEST_F(CatalogueImport, ExportRefusesTheDatabaseAndItsCompanions) {
    VELUMAR_SQLITE_ONLY("the database's own files");
    const auto file = writeFile("one.mrc", makeRecord(BibLeader, {{"001", "5"}, {"245", "10$aRivers"}}));
    ASSERT_EQ(runCommand({"catalogue", "import", "--db", path(), file}).status, 0);
    const std::string linked = dir().file("linked.db");
    std::filesystem::create_hard_link(path(), linked);
    const std::string symlinked = dir().file("symlinked.db");
    std::filesystem::create_symlink(path(), symlinked);

    for (const std::string& target :
         {path(), path() + "-wal", path() + "-shm", path() + "-journal", path() + "-writers",
          linked, symlinked,
          (std::filesystem::path(path()).parent_path() / "." /
           std::filesystem::path(path()).filename())
              .string()}) {
        SCOPED_TRACE(target);
        const auto run = runCommand({"catalogue", "export", "--db", path(), "--type", "bib", target});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("is the database " + path() + " or one of its files"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records"), 1);
    auto check = db().prepare("PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
}

// The export is written aside and put in place whole: a name that already
// holds a file is replaced, never written into (another name for the same
// file keeps what it held).
TEST_F(CatalogueImport, ExportReplacesTheOutputWhole) {
    const auto file = writeFile("one.mrc", makeRecord(BibLeader, {{"001", "5"}, {"245", "10$aRivers"}}));
    ASSERT_EQ(runCommand({"catalogue", "import", "--db", path(), file}).status, 0);
    const auto out = writeFile("out.mrc", "previous content");
    const std::string other = dir().file("other-name.mrc");
    std::filesystem::create_hard_link(out, other);
    ASSERT_EQ(runCommand({"catalogue", "export", "--db", path(), "--type", "bib", out}).status, 0);
    EXPECT_EQ(firstRecordOf(out), stored(RecordKind::Bibliographic, 5));
    EXPECT_EQ(readFile(other), "previous content");
    for (const auto& entry : std::filesystem::directory_iterator(dir().path()))
        EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos)
            << entry.path();
}

TEST_F(CatalogueImport, CommandLineRefusesWhatDoesNotFit) {
    EXPECT_EQ(runCommand({"catalogue", "import", "--db", path()}).status, 2);
    EXPECT_EQ(
        runCommand({"catalogue", "import", "--db", path(), "--type", "serial", "x.mrc"}).status, 2);
    EXPECT_EQ(runCommand({"catalogue", "export", "--db", path(), "out.mrc"}).status, 2);
    const auto missing =
        runCommand({"catalogue", "import", "--db", path(), dir().file("none.mrc")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos) << missing.err;
    const auto help = runCommand({"--help"});
    EXPECT_NE(help.out.find("catalogue import --db FILE"), std::string::npos);
    EXPECT_NE(help.out.find("catalogue reindex"), std::string::npos);
}

// A holdings record met before its bibliographic record is held until the
// file is read, then linked; one whose bibliographic record never comes is
// rejected where it lies in the file, with the reason. The same whether
// batches are written whole or a record at a time, and whether the
// bibliographic record comes in the same batch or a later one.
TEST_F(CatalogueImport, HoldingsBeforeTheirBibliographicRecordAreLinkedOnceItComes) {
    const std::string early = makeRecord(HoldingsLeader, {{"001", "h1"},
                                                          {"003", "SRC"},
                                                          {"004", "b1"},
                                                          {"852", "  $aMAIN$bSTACKS"}});
    const std::string orphan =
        makeRecord(HoldingsLeader, {{"001", "h2"}, {"003", "SRC"}, {"004", "nowhere"}});
    const std::string bibliographic =
        makeRecord(BibLeader, {{"001", "b1"}, {"003", "SRC"}, {"245", "10$aLate arrival"}});
    const auto file = writeFile("late.mrc", early + orphan + bibliographic);

    struct Case {
        bool recordByRecord;
        std::size_t batchSize;
    };
    for (const Case c : {Case{false, 100}, Case{false, 1}, Case{true, 100}, Case{true, 1}}) {
        std::string trace(c.recordByRecord ? "record by record" : "whole batches");
        trace.append(", batches of ").append(std::to_string(c.batchSize));
        SCOPED_TRACE(trace);
        db().exec("DELETE FROM catalogue_records");
        ImportOptions options;
        options.recordByRecord = c.recordByRecord;
        options.batchSize = c.batchSize;
        const auto summary = import(file, options);
        EXPECT_EQ(summary.added, 2u);
        ASSERT_EQ(summary.rejected.size(), 1u);
        EXPECT_EQ(summary.rejected[0].offset, early.size());
        EXPECT_EQ(summary.rejected[0].reason,
                  "004 nowhere names no bibliographic record in the catalogue");
        const auto bib = find("035A", "(SRC)b1");
        ASSERT_EQ(bib.size(), 1u);
        std::string linked = "SELECT count(*) FROM catalogue_records WHERE record_type = 2 AND "
                             "location = 4 AND bib_id = ";
        linked.append(std::to_string(bib.front()));
        EXPECT_EQ(count(linked), 1);
        expectEveryRecordWhole();
    }
}
