// Saving records: which id a record gets, what is kept of its old control
// number, replacing, holdings linked through 004, and index entries and
// history written with the record.

#include "catalogue/catalogue_search.h"
#include "catalogue/record_writer.h"
#include "catalogue_support.h"
#include "marc/record_view.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

std::string controlField(const std::string& octets, std::string_view tag) {
    const auto parsed = marc::parseRecord(std::string_view(octets));
    if (!parsed.record)
        return "<unparsable>";
    const auto field = parsed.record->findField(tag);
    return field ? std::string(field->value()) : std::string();
}

std::vector<std::string> subfieldsA(const std::string& octets, std::string_view tag) {
    std::vector<std::string> out;
    const auto parsed = marc::parseRecord(std::string_view(octets));
    for (const auto field : *parsed.record)
        if (field.tag() == tag)
            for (const auto& s : field.subfields())
                if (s.code == 'a')
                    out.emplace_back(s.value);
    return out;
}

class RecordIds : public CatalogueStore {
protected:
    std::vector<std::int32_t> find(std::string code, std::string key,
                                   std::optional<RecordKind> kind = std::nullopt) {
        SearchQuery query;
        query.indexCode = std::move(code);
        query.key = std::move(key);
        query.kind = kind;
        return searchCatalogue(db(), query).ids;
    }
};

std::string bib(std::string id, std::string source, std::string title = "A title") {
    return makeRecord(BibLeader, {{"001", id}, {"003", source}, {"245", "10$a" + title}});
}

} // namespace

TEST_F(RecordIds, AFreeNumeric001IsKeptAndTheRecordStoredAsGiven) {
    const auto octets = bib("42", "XYZ");
    const auto saved = save(octets);
    EXPECT_EQ(saved.action, SavedRecord::Action::Added);
    EXPECT_EQ(saved.id, 42);
    EXPECT_EQ(stored(RecordKind::Bibliographic, 42), octets);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE created_by = 'jsmith' "
                    "AND updated_by = 'jsmith' AND ok_to_export = 1 AND suppressed = 0 "
                    "AND ok_to_export_date IS NOT NULL"),
              1);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_history WHERE record_id = 42 "
                    "AND action = 'created' AND operator = 'jsmith' AND previous IS NULL"),
              1);
}

TEST_F(RecordIds, ANonNumeric001GetsTheNextIdAndKeepsItsControlNumberIn035) {
    save(bib("7", "XYZ"));
    const auto saved = save(bib("ocm123", "ABC"));
    EXPECT_EQ(saved.id, 8);
    const auto octets = stored(RecordKind::Bibliographic, 8);
    EXPECT_EQ(controlField(octets, "001"), "8");
    EXPECT_EQ(controlField(octets, "003"), DefaultControlNumberIdentifier);
    EXPECT_EQ(subfieldsA(octets, "035"), (std::vector<std::string>{"(ABC)ocm123"}));
    // A match job's key for the old control number finds it.
    EXPECT_EQ(find("035A", "(ABC)ocm123"), (std::vector<std::int32_t>{8}));

    // Numbers that are not positive 32-bit ids are control numbers too.
    EXPECT_EQ(save(bib("0", "")).id, 9);
    EXPECT_EQ(save(bib("2147483648", "")).id, 10);
    EXPECT_EQ(subfieldsA(stored(RecordKind::Bibliographic, 10), "035"),
              (std::vector<std::string>{"2147483648"}));
}

TEST_F(RecordIds, ANumberTakenByAnotherSourceGetsANewIdAndLeavesTheHolderAlone) {
    const auto first = bib("10", "AAA", "First");
    save(first);
    const auto saved = save(bib("10", "BBB", "Second"));
    EXPECT_EQ(saved.action, SavedRecord::Action::Added);
    EXPECT_EQ(saved.id, 11);
    EXPECT_EQ(stored(RecordKind::Bibliographic, 10), first);
    EXPECT_EQ(subfieldsA(stored(RecordKind::Bibliographic, 11), "035"),
              (std::vector<std::string>{"(BBB)10"}));
}

TEST_F(RecordIds, TheSameRecordAgainReplacesItWithItsHistoryAndFreshIndexEntries) {
    const auto old = bib("10", "AAA", "Old harbours");
    save(old);
    const auto saved = save(bib("10", "AAA", "New orchards"));
    EXPECT_EQ(saved.action, SavedRecord::Action::Replaced);
    EXPECT_EQ(saved.id, 10);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records"), 1);
    auto history = db().prepare("SELECT action, previous FROM catalogue_history ORDER BY id");
    ASSERT_TRUE(history.step());
    EXPECT_EQ(history.text(0), "created");
    ASSERT_TRUE(history.step());
    EXPECT_EQ(history.text(0), "replaced");
    EXPECT_EQ(history.blob(1), old);
    EXPECT_TRUE(find("TI", "harbours").empty());
    EXPECT_EQ(find("TI", "orchards"), (std::vector<std::int32_t>{10}));
}

TEST_F(RecordIds, ARenumberedRecordLoadedAgainReplacesTheOneItBecame) {
    const auto first = save(bib("abc-1", "ZZ", "Glaciers"));
    const auto again = save(bib("abc-1", "ZZ", "Glaciers, second edition"));
    EXPECT_EQ(again.action, SavedRecord::Action::Replaced);
    EXPECT_EQ(again.id, first.id);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records"), 1);
    // The control number is kept once, not once per load.
    EXPECT_EQ(subfieldsA(stored(RecordKind::Bibliographic, first.id), "035"),
              (std::vector<std::string>{"(ZZ)abc-1"}));
}

TEST_F(RecordIds, EachKindHasItsOwnIds) {
    EXPECT_EQ(save(bib("5", "X")).id, 5);
    const auto auth = makeRecord(AuthorityLeader, {{"001", "5"}, {"100", "1 $aName"}});
    EXPECT_EQ(save(auth, RecordKind::Authority).id, 5);
    EXPECT_EQ(find("AH", "name"), (std::vector<std::int32_t>{5}));
}

TEST_F(RecordIds, AnUnreadableRecordIsRejectedAndNothingWritten) {
    RecordWriter writer(db(), "jsmith");
    Transaction tx(db());
    EXPECT_THROW(writer.save("00010nam  not a record", RecordKind::Bibliographic), RecordRejected);
    tx.commit();
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_history"), 0);
}

TEST_F(RecordIds, HoldingsLinkToTheirBibliographicRecordAndPlaceThrough852) {
    save(bib("100", "SRC"));
    const auto holdings = makeRecord(
        HoldingsLeader,
        {{"001", "7"}, {"003", "SRC"}, {"004", "100"}, {"852", "0 $aMAIN$bSTACKS$hQH1"}});
    EXPECT_EQ(save(holdings, RecordKind::Holdings).id, 7);
    EXPECT_EQ(count("SELECT bib_id FROM catalogue_records WHERE record_type = 2"), 100);
    EXPECT_EQ(count("SELECT owning_library FROM catalogue_records WHERE record_type = 2"), 1);
    EXPECT_EQ(count("SELECT location FROM catalogue_records WHERE record_type = 2"), 4);
    EXPECT_EQ(find("HB", "100"), (std::vector<std::int32_t>{7}));
}

TEST_F(RecordIds, HoldingsFollowARenumberedBibliographicRecordThroughIts035) {
    const auto bibId = save(bib("b-1", "SRC")).id;
    const auto holdings =
        makeRecord(HoldingsLeader, {{"001", "h-1"}, {"003", "SRC"}, {"004", "b-1"}});
    const auto saved = save(holdings, RecordKind::Holdings);
    EXPECT_EQ(count("SELECT bib_id FROM catalogue_records WHERE record_type = 2"), bibId);
    EXPECT_EQ(controlField(stored(RecordKind::Holdings, saved.id), "004"), std::to_string(bibId));
}

TEST_F(RecordIds, HoldingsNamingNoBibliographicRecordAreRejected) {
    save(bib("100", "SRC"));
    RecordWriter writer(db(), "jsmith");
    Transaction tx(db());
    for (const auto& holdings :
         {makeRecord(HoldingsLeader, {{"001", "7"}, {"004", "999"}}),
          makeRecord(HoldingsLeader, {{"001", "8"}}),
          // 100 from another source is not ours to link to.
          makeRecord(HoldingsLeader, {{"001", "9"}, {"003", "ELSEWHERE"}, {"004", "100"}})}) {
        try {
            writer.save(holdings, RecordKind::Holdings);
            ADD_FAILURE() << "saved";
        } catch (const RecordRejected& e) {
            EXPECT_NE(std::string(e.what()).find("004"), std::string::npos) << e.what();
        }
    }
    tx.commit();
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE record_type = 2"), 0);
}

TEST_F(RecordIds, KeywordsSpanTitleAuthorSubjectAndNotesWithoutDuplicateEntries) {
    save(makeRecord(BibLeader, {{"001", "1"},
                                {"100", "1 $aÅberg, Ingrid."},
                                {"245", "10$aHarbours of Tromsø"},
                                {"500", " $aHarbours revisited; includes maps."},
                                {"650", " 0$aLighthouses."}}));
    save(makeRecord(BibLeader, {{"001", "2"}, {"245", "10$aMaps"}}));
    // Words of every part, together.
    EXPECT_EQ(find("KW", "aberg lighthouses maps"), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(find("KW", "maps"), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(find("KW", "tromso revisited"), (std::vector<std::int32_t>{1}));
    EXPECT_TRUE(find("TI", "revisited").empty());
    // "harbours" is a title word: the keyword index does not hold it again.
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_index WHERE code = 'KW' AND key = 'harbours'"),
              0);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_index WHERE code = 'KW' AND key = 'revisited'"),
              1);
}

// A record's own control number can take the highest id there is; the ids
// this catalogue gives go on from where they were, skipping ids taken.
TEST_F(RecordIds, AControlNumberAtTheTopLeavesNewIdsToCome) {
    EXPECT_EQ(save(bib("ocm1", "ABC")).id, 1);
    EXPECT_EQ(save(bib("2147483647", "XYZ")).id, 2147483647);
    EXPECT_EQ(save(bib("3", "XYZ")).id, 3);
    const struct {
        std::string number;
        std::int32_t id;
    } next[] = {{"ocm2", 2}, {"ocm3", 4}, {"ocm4", 5}};
    for (const auto& n : next) {
        SCOPED_TRACE(n.number);
        const auto saved = save(bib(n.number, "ABC"));
        EXPECT_EQ(saved.action, SavedRecord::Action::Added);
        EXPECT_EQ(saved.id, n.id);
        EXPECT_EQ(controlField(stored(RecordKind::Bibliographic, n.id), "001"),
                  std::to_string(n.id));
    }
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records"), 6);
}
