// Leader 06 and 09 as the match upload reads them, and the leader's numbers.

#include "marc/leader.h"

#include <gtest/gtest.h>

namespace marc {
namespace {

TEST(Leader, TypeOfRecordDecidesTheRecordType) {
    EXPECT_EQ(recordTypeFromLeader06('z'), RecordType::Authority);
    for (char c : {'u', 'v', 'x', 'y'})
        EXPECT_EQ(recordTypeFromLeader06(c), RecordType::Holdings) << c;
    // Everything else, blanks and upper case included, is bibliographic.
    for (char c : {'a', 'c', 'g', 'i', 'k', 'm', 't', ' ', 'Z', 'X', '\0'})
        EXPECT_EQ(recordTypeFromLeader06(c), RecordType::Bibliographic) << c;
    EXPECT_EQ(toString(RecordType::Holdings), "holdings");
}

TEST(Leader, OnlyAMeansUnicode) {
    EXPECT_EQ(characterCodingFromLeader09('a'), CharacterCoding::Unicode);
    for (char c : {' ', 'A', 'b', '\0'})
        EXPECT_EQ(characterCodingFromLeader09(c), CharacterCoding::NonUnicode) << c;
    EXPECT_EQ(toString(CharacterCoding::NonUnicode), "non-Unicode");
}

TEST(Leader, ReadsFromAnyLeaderText) {
    EXPECT_EQ(recordTypeOf("00714cz  a2200205n  4500"), RecordType::Authority);
    EXPECT_EQ(characterCodingOf("00714cz  a2200205n  4500"), CharacterCoding::Unicode);
    EXPECT_EQ(recordTypeOf(""), RecordType::Bibliographic);
    EXPECT_EQ(characterCodingOf("short"), CharacterCoding::NonUnicode);
}

TEST(Leader, KeepsItsBytesAndReadsItsNumbers) {
    const auto leader = Leader::fromText("00714cy  a2200205 a 4500");
    ASSERT_TRUE(leader);
    EXPECT_EQ(leader->text(), "00714cy  a2200205 a 4500");
    EXPECT_EQ(leader->recordType(), RecordType::Holdings);
    EXPECT_EQ(leader->characterCoding(), CharacterCoding::Unicode);
    EXPECT_EQ(leader->recordLength(), 714u);
    EXPECT_EQ(leader->baseAddress(), 205u);
    EXPECT_FALSE(Leader::fromText("00714cy  a2200205 a 450"));
    EXPECT_FALSE(Leader::fromText("00714cy  a2200205 a 45000"));

    Leader fresh;
    EXPECT_EQ(fresh.text(), "00000nam a2200000 a 4500");
    fresh.set(6, 'z');
    EXPECT_EQ(fresh.typeOfRecord(), 'z');
    EXPECT_EQ(fresh.recordType(), RecordType::Authority);
    fresh.set(0, 'x');
    EXPECT_FALSE(fresh.recordLength());
    EXPECT_EQ(leaderNumber("12a45", 0, 2), 12u);
    EXPECT_FALSE(leaderNumber("12a45", 0, 3));
    EXPECT_FALSE(leaderNumber("123", 2, 2));
}

} // namespace
} // namespace marc
