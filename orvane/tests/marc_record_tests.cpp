// The MARC record object: loading a record's text and finding its fields,
// as the match job screens read 001, 003 and the leader.
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc_record.h"

#include <QFile>
#include <gtest/gtest.h>

namespace orvane {
namespace {

// Octets as the channel carries them: one character per octet.
QString asText(const std::string& octets) {
    return QString::fromLatin1(octets.data(), static_cast<qsizetype>(octets.size()));
}

std::string sampleRecord() {
    marc::Record record(*marc::Leader::fromText("00000cam  2200000 a 4500"));
    record.appendField(marc::Field::control("001", "12345"));
    record.appendField(marc::Field::control("003", "ABC"));
    record.appendField(marc::Field::control("001", "second"));
    // MARC-8 acute before its letter: octets above 0x7F must survive.
    record.appendField(marc::Field::data("245", '1', '0',
                                         {{'a', "\xE2"
                                                "Etudes"}}));
    std::string out;
    EXPECT_FALSE(marc::appendIso2709(record, out));
    return out;
}

TEST(MarcRecordObject, FindsTheFirstFieldOfATagWithoutItsTerminator) {
    MarcRecord record;
    ASSERT_TRUE(record.Load(asText(sampleRecord())));
    EXPECT_TRUE(record.IsValid());
    ASSERT_TRUE(record.FindField("001"));
    EXPECT_EQ(record.FieldData(), "12345");
    EXPECT_EQ(record.FieldLength(), 6); // the directory's length, terminator included
    ASSERT_TRUE(record.FindField("003"));
    EXPECT_EQ(record.FieldData(), "ABC");
    ASSERT_TRUE(record.FindField("245"));
    EXPECT_EQ(record.FieldData(), QString::fromLatin1("10\x1F"
                                                      "a\xE2"
                                                      "Etudes"));
}

TEST(MarcRecordObject, TheLeaderIsTag000AndTakenWhole) {
    MarcRecord record;
    ASSERT_TRUE(record.Load(asText(sampleRecord())));
    ASSERT_TRUE(record.FindField("000"));
    EXPECT_EQ(record.FieldLength(), 24);
    EXPECT_EQ(record.FieldData().mid(5), "cam  2200073 a 4500");
    EXPECT_EQ(record.FieldData().at(6), 'a');
}

TEST(MarcRecordObject, AMissingTagLeavesNoCurrentField) {
    MarcRecord record;
    ASSERT_TRUE(record.Load(asText(sampleRecord())));
    ASSERT_TRUE(record.FindField("001"));
    EXPECT_FALSE(record.FindField("004"));
    EXPECT_EQ(record.FieldLength(), 0);
    EXPECT_TRUE(record.FieldData().isEmpty());
}

TEST(MarcRecordObject, RefusesTextThatIsNotExactlyOneRecord) {
    const std::string good = sampleRecord();
    MarcRecord record;
    EXPECT_FALSE(record.Load(QString()));
    EXPECT_FALSE(record.Load(asText(good.substr(0, good.size() - 1))));
    EXPECT_FALSE(record.Load(asText(good + good)));
    EXPECT_FALSE(record.Load(asText("abcde" + good.substr(5))));
    // A character above U+00FF is no octet.
    EXPECT_FALSE(record.Load(asText(good).replace(30, 1, QChar(0x263A))));
    EXPECT_FALSE(record.IsValid());
    EXPECT_FALSE(record.FindField("001"));

    // A failed load forgets the record before it.
    ASSERT_TRUE(record.Load(asText(good)));
    EXPECT_FALSE(record.Load(asText("00000")));
    EXPECT_FALSE(record.FindField("000"));
}

TEST(MarcRecordObject, CopiesFindFieldsInTheirOwnBytes) {
    MarcRecord original;
    ASSERT_TRUE(original.Load(asText(sampleRecord())));
    MarcRecord copy(original);
    original.Load(QString());
    ASSERT_TRUE(copy.FindField("003"));
    EXPECT_EQ(copy.FieldData(), "ABC");
}

TEST(MarcRecordObject, ReadsRealRecordsOfEitherCoding) {
    QFile file(QStringLiteral(VELUMAR_MARC_DATA_DIR "/m4j_sample1.mrc"));
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "the MARC sample folder " << VELUMAR_MARC_DATA_DIR
                     << " lacks m4j_sample1.mrc";
    const QByteArray bytes = file.readAll();
    int records = 0;
    int holdings = 0;
    for (qsizetype at = 0; at + 5 <= bytes.size();) {
        const int length = bytes.mid(at, 5).toInt();
        ASSERT_GT(length, 0);
        MarcRecord record;
        ASSERT_TRUE(record.Load(QString::fromLatin1(bytes.mid(at, length)))) << "record at " << at;
        ASSERT_TRUE(record.FindField("000"));
        const QChar type = record.FieldData().at(6);
        ASSERT_TRUE(record.FindField("001"));
        EXPECT_FALSE(record.FieldData().isEmpty());
        if (type == 'x') {
            ++holdings;
            EXPECT_TRUE(record.FindField("004"));
        }
        ++records;
        at += length;
    }
    EXPECT_EQ(records, 8);
    EXPECT_EQ(holdings, 4);
}

} // namespace
} // namespace orvane
