// velumar-marc run as a cataloguer runs it: exit codes, what it prints, and
// the files it writes.

#include "marc/reader.h"
#include "marc/testing/well_formed_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path DataDir = VELUMAR_MARC_DATA_DIR;

#define REQUIRE_MARC_DATA()                                                                        \
    if (!fs::is_directory(DataDir))                                                                \
    GTEST_SKIP() << "the MARC sample folder " << DataDir << " is absent"

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    return bytes;
}

class VelumarMarc : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("velumar-marc-test-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path temp(const std::string& name) const { return dir_ / name; }

    Outcome run(const std::vector<std::string>& args) const {
        std::string command = VELUMAR_MARC_BINARY;
        for (const std::string& a : args)
            command += " '" + a + "'";
        const fs::path errFile = dir_ / "stderr.txt";
        command += " 2>'" + errFile.string() + "'";
        Outcome result;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return result;
        char chunk[65536];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
            result.out.append(chunk, n);
        const int status = pclose(pipe);
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = readBytes(errFile);
        return result;
    }

    static std::string data(const std::string& name) { return (DataDir / name).string(); }

private:
    fs::path dir_;
};

TEST_F(VelumarMarc, HelpListsTheCommands) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("Usage: velumar-marc COMMAND", 0), 0u);
    for (const char* command : {"dump [--mrk|--json] FILE", "convert IN OUT", "stats [--json]"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    EXPECT_EQ(run({"dump", "--help"}).code, 0);
}

TEST_F(VelumarMarc, UnusableArgumentsAndFilesExitWithTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "velumar-marc: no command given\n"},
        {{"frob"}, "velumar-marc: unknown command frob\n"},
        {{"dump"}, "velumar-marc: dump takes one FILE\n"},
        {{"dump", "a.mrc", "b.mrc"}, "velumar-marc: dump takes one FILE\n"},
        {{"dump", "--xml", "a.mrc"}, "velumar-marc: unknown option --xml for dump\n"},
        {{"convert", "--json", "a", "b"}, "velumar-marc: unknown option --json for convert\n"},
        {{"convert", "a.mrc"}, "velumar-marc: convert takes IN and OUT\n"},
        {{"stats", "/no/such/file.mrc"},
         "velumar-marc: cannot open /no/such/file.mrc: No such file or directory\n"},
        {{"stats", temp("").string()},
         "velumar-marc: cannot read " + temp("").string() + ": it is a folder\n"},
        {{"convert", "/no/such/file.mrc", temp("x.mrc").string()},
         "velumar-marc: cannot read /no/such/file.mrc\n"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.code, 2) << message;
        EXPECT_EQ(r.err.substr(0, message.size()), message);
    }
}

TEST_F(VelumarMarc, StatsCountsTypesCodingsAndMalformedRecords) {
    REQUIRE_MARC_DATA();
    const std::string path = data("pym_bad_records.mrc");
    const Outcome r = run({"stats", path});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(
        r.out,
        "file: " + path +
            "\n"
            "records: 3\n"
            "malformed: 5\n"
            "warnings: 0\n"
            "record types:\n"
            "  bibliographic: 3\n"
            "  holdings: 0\n"
            "  authority: 0\n"
            "type of record (leader 06):\n"
            "  \" \" (bibliographic): 3\n"
            "character coding (leader 09):\n"
            "  \" \" (non-Unicode): 3\n"
            "issues:\n"
            "  offset 139 (record at 127): base address of data 99937 lies outside the record "
            "(length 127)\n"
            "  offset 266 (record at 254): base address of data 0 leaves no room for the "
            "leader and the directory terminator\n"
            "  offset 405 (record at 381): directory length 13 is not a multiple of 12\n"
            "  offset 533 (record at 509): directory length 13 is not a multiple of 12\n"
            "  offset 649 (record at 637): base address of data \"f0037\" is not five digits\n");
}

TEST_F(VelumarMarc, StatsAsJson) {
    REQUIRE_MARC_DATA();
    const Outcome sample = run({"stats", "--json", data("m4j_sample1.mrc")});
    EXPECT_EQ(sample.code, 0);
    const auto report = nlohmann::json::parse(sample.out);
    EXPECT_EQ(report["records"], 8);
    EXPECT_EQ(report["malformed"], 0);
    EXPECT_EQ(report["recordTypes"],
              (nlohmann::json{{"bibliographic", 4}, {"holdings", 4}, {"authority", 0}}));
    EXPECT_EQ(report["leader06"], (nlohmann::json{{"a", 4}, {"x", 4}}));
    EXPECT_EQ(report["leader09"], (nlohmann::json{{"a", 8}}));

    const Outcome leaders = run({"stats", "--json", data("m4j_bad_leaders_10_11.mrc")});
    EXPECT_EQ(leaders.code, 0); // a warning is not a malformed record
    const auto issues = nlohmann::json::parse(leaders.out)["issues"];
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0]["severity"], "warning");
    EXPECT_EQ(issues[0]["kind"], "non-standard-leader");
    EXPECT_EQ(issues[0]["offset"], 10);
}

TEST_F(VelumarMarc, StrictStopsAtTheFirstMalformedRecord) {
    REQUIRE_MARC_DATA();
    const std::string path = data("m4j_pride-and-prejudice-with-many-errors.mrc");
    const Outcome strict = run({"stats", "--strict", "--json", path});
    EXPECT_EQ(strict.code, 1);
    const auto report = nlohmann::json::parse(strict.out);
    EXPECT_EQ(report["records"], 92); // the 93rd record is the first malformed one
    EXPECT_EQ(report["malformed"], 1);
    EXPECT_EQ(report["issues"][0]["recordOffset"], 90472);
}

TEST_F(VelumarMarc, DumpWritesTheTextFormAndAListing) {
    REQUIRE_MARC_DATA();
    const Outcome mrk = run({"dump", "--mrk", data("m4j_chabon.mrc")});
    EXPECT_EQ(mrk.code, 0);
    EXPECT_EQ(mrk.out.rfind("=LDR  00759cam\\a2200229\\a\\4500\n=001  11939876\n=005  ", 0), 0u);
    EXPECT_NE(mrk.out.find("\n=245  14$aThe amazing adventures of Kavalier and Clay :$ba novel "
                           "/$cMichael Chabon.\n"),
              std::string::npos);
    EXPECT_NE(mrk.out.find("\n\n=LDR  00714cam\\a2200205\\a\\4500\n"), std::string::npos);

    const Outcome listing = run({"dump", data("m4j_chabon.mrc")});
    EXPECT_EQ(listing.code, 0);
    EXPECT_EQ(listing.out.substr(0, listing.out.find('\n')),
              "# record 1 at offset 0: bibliographic (leader 06 \"a\"), Unicode (leader 09 "
              "\"a\"), 17 fields");
    EXPECT_NE(listing.out.find("\n# record 2 at offset 759: bibliographic (leader 06 \"a\"), "
                               "Unicode (leader 09 \"a\"), 15 fields\n=LDR  00714"),
              std::string::npos);
}

TEST_F(VelumarMarc, DumpAsJson) {
    REQUIRE_MARC_DATA();
    const Outcome r = run({"dump", "--json", data("eg_auth-subset100.mrc")});
    EXPECT_EQ(r.code, 0);
    const auto records = nlohmann::json::parse(r.out);
    ASSERT_EQ(records.size(), 17u);
    EXPECT_EQ(records[0]["offset"], 0);
    EXPECT_EQ(records[0]["leader"], "00208nz  a2200097o  45 0");
    EXPECT_EQ(records[0]["fields"][0],
              (nlohmann::json{{"tag", "001"}, {"value", "IISGa11554924"}}));
    EXPECT_EQ(records[1]["offset"], 208);

    // Non-Unicode bytes do not break the JSON.
    const Outcome marc8 = run({"dump", "--json", data("eg_hebrew.marc")});
    EXPECT_EQ(marc8.code, 0);
    EXPECT_EQ(nlohmann::json::parse(marc8.out).size(), 20u);
    // A data field without indicators shows as such.
    const auto odd =
        nlohmann::json::parse(run({"dump", "--json", data("pym_bad_indicator.dat")}).out);
    bool found = false;
    for (const auto& field : odd[0]["fields"]) {
        if (field["tag"] == "0 2") {
            found = true;
            EXPECT_EQ(field["indicators"], "");
            EXPECT_EQ(field["subfields"][0]["value"], "9780253325525 (alk. paper)");
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(VelumarMarc, DumpReportsMalformedRecordsOnStandardError) {
    REQUIRE_MARC_DATA();
    const std::string path = data("m4j_bad_oversize_field_bad_directory.mrc");
    const Outcome r = run({"dump", "--mrk", path});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "velumar-marc: " + path +
                         ": offset 1595 (record at 1571): directory length 217 is not a "
                         "multiple of 12\n");
    std::size_t leaders = 0;
    for (std::size_t at = r.out.find("=LDR"); at != std::string::npos;
         at = r.out.find("=LDR", at + 1))
        ++leaders;
    EXPECT_EQ(leaders, 4u);
}

TEST_F(VelumarMarc, ConvertRoundTripsWellFormedFilesByteForByte) {
    REQUIRE_MARC_DATA();
    for (const std::string& name : marc::testing::WellFormedFiles) {
        SCOPED_TRACE(name);
        const std::string original = readBytes(DataDir / name);
        const Outcome copy = run({"convert", data(name), temp("copy.mrc").string()});
        EXPECT_EQ(copy.code, 0) << copy.err;
        EXPECT_TRUE(readBytes(temp("copy.mrc")) == original);

        const Outcome toText = run({"convert", data(name), temp("text.MRK").string()});
        EXPECT_EQ(toText.code, 0) << toText.err;
        const Outcome back = run({"convert", temp("text.MRK").string(), temp("back.mrc").string()});
        EXPECT_EQ(back.code, 0) << back.err;
        EXPECT_TRUE(readBytes(temp("back.mrc")) == original);
    }
}

TEST_F(VelumarMarc, ConvertKeepsTheWellFormedRecordsOfADamagedFile) {
    REQUIRE_MARC_DATA();
    const std::string out = temp("clean.mrc").string();
    const Outcome r = run({"convert", data("m4j_pride-and-prejudice-with-many-errors.mrc"), out});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "wrote 367 records to " + out + "; skipped 16 malformed\n");
    const std::string clean = readBytes(out);
    marc::Reader reader(clean);
    std::size_t records = 0;
    while (reader.next())
        ++records;
    EXPECT_EQ(records, 367u);
    EXPECT_EQ(reader.errorCount(), 0u);
}

TEST_F(VelumarMarc, ConvertReportsBadTextLinesAndRefusesToOverwriteItsInput) {
    const fs::path text = temp("hand.mrk");
    std::ofstream(text) << "=LDR  00000nam\\a2200000\\a\\4500\n=001  1\n\n"
                           "=LDR  00000nam\\a2200000\\a\\4500\n=24\n";
    const Outcome r = run({"convert", text.string(), temp("hand.mrc").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "velumar-marc: " + text.string() +
                         ": line 5: the tag \"24\" has fewer than three bytes\n");
    EXPECT_EQ(readBytes(temp("hand.mrc")).size(), 40u); // the first record: a leader and 001

    const Outcome same = run({"convert", text.string(), text.string()});
    EXPECT_EQ(same.code, 2);
    EXPECT_EQ(readBytes(text).substr(0, 4), "=LDR");
    EXPECT_EQ(run({"convert", text.string(), "/no/such/dir/out.mrc"}).code, 2);
}

} // namespace
