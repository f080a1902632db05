// The editable record, the field views, and the ISO 2709 writer's exact output.

#include "marc/field_view.h"
#include "marc/record_view.h"
#include "test_support.h"

#include <stdexcept>

namespace marc::testing {
namespace {

const std::string SampleBytes = "00110nam a2200061 a 4500"
                                "001000600000"
                                "008001900006"
                                "245002300025"
                                "\x1E"
                                "12345\x1E"
                                "000313s2000    nyu\x1E"
                                "10\x1F"
                                "aTitle :\x1F"
                                "bsubtitle.\x1E\x1D";

TEST(Iso2709Writer, WritesLengthBaseAddressDirectoryAndData) {
    EXPECT_EQ(iso(sampleRecord()), SampleBytes);
}

TEST(Iso2709Writer, KeepsLeaderBytesButRecomputesLengthAndBase) {
    Record r = sampleRecord();
    r.leader() = *Leader::fromText("99999cz  a2299999n  4500");
    const std::string out = iso(r);
    EXPECT_EQ(out.substr(0, 24), "00110cz  a2200061n  4500");
}

TEST(Iso2709Writer, AppendsAfterWhatIsThereAndWritesViewsTheSame) {
    std::string out = "prefix";
    ASSERT_FALSE(appendIso2709(sampleRecord(), out));
    EXPECT_EQ(out, "prefix" + SampleBytes);

    const ParseResult parsed = parseRecord(SampleBytes);
    ASSERT_TRUE(parsed.record);
    std::string fromView;
    ASSERT_FALSE(appendIso2709(*parsed.record, fromView));
    EXPECT_EQ(fromView, SampleBytes);
}

TEST(Iso2709Writer, RefusesFieldsAndRecordsTooLongForItsNumbers) {
    Record fieldTooLong = sampleRecord();
    fieldTooLong.appendField(Field::data("500", ' ', ' ', {{'a', std::string(9996, 'x')}}));
    std::string out = "kept";
    auto failure = appendIso2709(fieldTooLong, out);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "field \"500\" is 10001 bytes long with its terminator; ISO 2709 "
                        "allows 9999");
    EXPECT_EQ(out, "kept");

    Record justFits = sampleRecord();
    justFits.appendField(Field::data("500", ' ', ' ', {{'a', std::string(9994, 'x')}}));
    EXPECT_FALSE(appendIso2709(justFits, out));

    Record recordTooLong = sampleRecord();
    for (int i = 0; i < 12; ++i)
        recordTooLong.appendField(Field::data("500", ' ', ' ', {{'a', std::string(9000, 'x')}}));
    out.clear();
    failure = appendIso2709(recordTooLong, out);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "the record would be 108314 bytes long; ISO 2709 allows 99999");
    EXPECT_TRUE(out.empty());
}

TEST(FieldView, SplitsIndicatorsAndSubfieldsInPlace) {
    const FieldView field("245", "14\x1F"
                                 "aThe title :\x1F"
                                 "bpart.\x1F"
                                 "cBy me.");
    EXPECT_FALSE(field.isControl());
    EXPECT_EQ(field.indicators(), "14");
    EXPECT_EQ(field.indicator1(), '1');
    EXPECT_EQ(field.indicator2(), '4');
    std::vector<SubfieldView> subfields(field.subfields().begin(), field.subfields().end());
    EXPECT_EQ(subfields,
              (std::vector<SubfieldView>{{'a', "The title :"}, {'b', "part."}, {'c', "By me."}}));
    EXPECT_EQ(field.subfield('b'), "part.");
    EXPECT_FALSE(field.subfield('d'));
}

TEST(FieldView, KeepsOddShapesWhole) {
    // Three bytes before the first delimiter, a delimiter with no code, an empty value.
    const FieldView odd("752", " 0\\\x1F"
                               "aRussia\x1F\x1F"
                               "b\x1F");
    EXPECT_EQ(odd.indicators(), " 0\\");
    std::vector<SubfieldView> subfields(odd.subfields().begin(), odd.subfields().end());
    EXPECT_EQ(subfields,
              (std::vector<SubfieldView>{
                  {'a', "Russia"}, {NoSubfieldCode, ""}, {'b', ""}, {NoSubfieldCode, ""}}));

    const FieldView bare("500", "");
    EXPECT_EQ(bare.indicators(), "");
    EXPECT_EQ(bare.indicator1(), ' ');
    EXPECT_TRUE(bare.subfields().empty());
    EXPECT_TRUE(FieldView("001", "x\x1Fy").isControl());
    EXPECT_TRUE(FieldView("009", "").isControl());
    EXPECT_FALSE(FieldView("010", "").isControl());
    EXPECT_FALSE(FieldView("CAT", "").isControl());
}

TEST(RecordModel, FieldOctetsRoundTripThroughTheModel) {
    for (const std::string data : {"14\x1F"
                                   "aTitle\x1F"
                                   "bsub",
                                   " 0\\\x1F"
                                   "aRussia\x1F\x1F"
                                   "b\x1F",
                                   "\x1F"
                                   "a9780253325525",
                                   "", "10"}) {
        const Field field = Field::fromView(FieldView("245", data));
        EXPECT_EQ(field.data(), data);
        EXPECT_EQ(field.dataLength(), data.size());
    }
    const Field control = Field::fromView(FieldView("008", "000313s2000"));
    EXPECT_TRUE(control.isControl());
    EXPECT_EQ(control.data(), "000313s2000");
}

TEST(RecordModel, FindsFieldsAndSubfieldsByTagAndCode) {
    Record r = sampleRecord();
    r.appendField(Field::data("650", ' ', '0', {{'a', "Heroes"}, {'v', "Fiction."}}));
    r.appendField(Field::data("650", ' ', '0', {{'a', "Comics"}, {'x', "History"}, {'x', "Art"}}));

    EXPECT_EQ(r.controlValue("001"), "12345");
    EXPECT_FALSE(r.controlValue("003"));
    EXPECT_FALSE(r.controlValue("245")); // a data field has no control value
    ASSERT_NE(r.findField("245"), nullptr);
    EXPECT_EQ(r.findField("245")->subfield('b'), "subtitle.");
    EXPECT_EQ(r.findField("999"), nullptr);
    const auto subjects = r.findFields("650");
    ASSERT_EQ(subjects.size(), 2u);
    EXPECT_EQ(subjects[1]->subfield('x'), "History"); // the first of two
    EXPECT_EQ(subjects[1]->findSubfield('v'), nullptr);
}

TEST(RecordModel, EditsKeepRecordOrderAndWriteOut) {
    Record r = sampleRecord();
    // A new id in 001, the old one kept in a 035 placed by tag.
    const std::string old(*r.controlValue("001"));
    r.setControlValue("001", "777");
    r.insertField(Field::data("035", ' ', ' ', {{'a', "(OLD)" + old}}));
    r.setControlValue("003", "XYZ");
    r.insertField(Field::data("999", ' ', ' ', {{'a', "last"}}));
    r.insertField(Field::data("000", ' ', ' '));
    std::vector<std::string> tags;
    for (const Field& f : r.fields())
        tags.emplace_back(f.tag());
    EXPECT_EQ(tags, (std::vector<std::string>{"000", "001", "003", "008", "035", "245", "999"}));
    EXPECT_EQ(r.removeFields("000"), 1u);

    Field* title = r.findField("245");
    title->setIndicators('0', '4');
    title->addSubfield('c', "by someone.");
    EXPECT_EQ(title->removeSubfields('b'), 1u);
    title->findSubfield('a')->value = "The title /";

    const std::string written = iso(r);
    const ParseResult back = parseRecord(written);
    ASSERT_TRUE(back.record);
    EXPECT_EQ(back.record->findField("001")->value(), "777");
    EXPECT_EQ(back.record->findField("035")->subfield('a'), "(OLD)12345");
    EXPECT_EQ(back.record->findField("245")->data(), "04\x1F"
                                                     "aThe title /\x1F"
                                                     "cby someone.");
    EXPECT_EQ(Record::fromView(*back.record).fields(), r.fields());
}

TEST(RecordModel, TagsHaveThreeBytes) {
    EXPECT_THROW(Field::control("01", "x"), std::invalid_argument);
    EXPECT_THROW(Field::data("2450", ' ', ' '), std::invalid_argument);
    Field f = Field::control("001", "x");
    EXPECT_THROW(f.setTag(""), std::invalid_argument);
    EXPECT_EQ(f.tag(), "001");
}

TEST(RecordView, IteratesFieldsInDirectoryOrder) {
    const ParseResult parsed = parseRecord(SampleBytes, 500);
    ASSERT_TRUE(parsed.record);
    const RecordView& view = *parsed.record;
    EXPECT_EQ(view.offset(), 500u);
    EXPECT_EQ(view.leader(), "00110nam a2200061 a 4500");
    EXPECT_EQ(view.fieldCount(), 3u);
    std::vector<std::string> seen;
    for (const FieldView f : view)
        seen.push_back(std::string(f.tag()) + "=" + std::string(f.data()));
    EXPECT_EQ(seen, (std::vector<std::string>{"001=12345", "008=000313s2000    nyu",
                                              "245=10\x1F"
                                              "aTitle :\x1F"
                                              "bsubtitle."}));
    EXPECT_EQ(view.findField("008")->value(), "000313s2000    nyu");
    EXPECT_FALSE(view.findField("24"));
    EXPECT_EQ(RecordView().fieldCount(), 0u);
}

} // namespace
} // namespace marc::testing
