// Reading rule files in the codings the client writes them in.
#include "rule_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace velumar_rules {
namespace {

namespace fs = std::filesystem;

class RuleFileTest : public ::testing::Test {
protected:
    RuleFile ReadBytes(const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        return ReadRuleFile(path.string());
    }
    void TearDown() override { fs::remove(path); }

    fs::path path =
        fs::temp_directory_path() / ("velumar_rule_file_" + std::to_string(::getpid()) + ".dslr");
};

TEST_F(RuleFileTest, Utf8WithAndWithoutByteOrderMark) {
    EXPECT_EQ(ReadBytes("rule \"caf\xc3\xa9\"\r\n").text, "rule \"caf\xc3\xa9\"\r\n");
    EXPECT_EQ(ReadBytes("\xef\xbb\xbfrule \"x\"").text, "rule \"x\"");
}

TEST_F(RuleFileTest, EightBitTextIsTheWindowsCodePage) {
    const RuleFile file = ReadBytes("rule \"caf\xe9 \x80\"\t\f");
    ASSERT_TRUE(file.ok);
    EXPECT_EQ(file.text, "rule \"caf\xc3\xa9 \xe2\x82\xac\"\t\f");
}

TEST_F(RuleFileTest, Utf16BothByteOrders) {
    const RuleFile little = ReadBytes(std::string("\xff\xfer\0\xe9\0\n\0", 8));
    ASSERT_TRUE(little.ok) << little.error;
    EXPECT_EQ(little.text, "r\xc3\xa9\n");
    const RuleFile big = ReadBytes(std::string("\xfe\xff\0r\xd8\x3d\xde\x00", 8));
    ASSERT_TRUE(big.ok) << big.error;
    EXPECT_EQ(big.text, "r\xf0\x9f\x98\x80");
}

TEST_F(RuleFileTest, BinaryDataIsRefused) {
    EXPECT_FALSE(ReadBytes(std::string("rule\0", 5)).ok);
    EXPECT_FALSE(ReadBytes("rule \x1b[0m").ok);
    EXPECT_FALSE(ReadBytes(std::string("\xff\xfe\x00\xd8", 4)).ok); // lone surrogate
    EXPECT_FALSE(ReadBytes(std::string("\xff\xfer\0\x01\0", 6)).ok);
    EXPECT_EQ(ReadBytes(std::string("\xff\xfe"
                                    "abc",
                                    5))
                  .error,
              "not a rule file (binary data)");
}

TEST_F(RuleFileTest, EmptyFileIsAnEmptyDocument) {
    const RuleFile file = ReadBytes("");
    EXPECT_TRUE(file.ok);
    EXPECT_EQ(file.text, "");
}

} // namespace
} // namespace velumar_rules
