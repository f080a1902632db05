// The record set manager against the scripted server: the exact fields of
// each request, the answer read back, and the message for each status.
#include "grid/grid.h"
#include "record_sets.h"
#include "scripted_record_sets.h"
#include "tests/qt_printers.h"

#include <QComboBox>
#include <functional>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;

class RecordSetsRequests : public testing::ScriptedRecordSets {
protected:
    RecordSets& sets() { return state.manager<RecordSets>(); }

    // Two sets as the server lists them: one changed since, one not.
    Answer twoSets() {
        return Answer{0,
                      {{"RSID", 12}, {"RSCO", "amy"}, {"RSD", "to weed"}, {"RSN", "Weeding"},
                       {"RSC", 40}, {"RST", 1}, {"RT", 1}, {"RSUD", "2026-03-01 10:00:00"},
                       {"RSUO", "bob"},
                       {"RSID", 7}, {"RSCO", "amy"}, {"RSD", ""}, {"RSN", "Names"},
                       {"RSC", 3}, {"RST", 1}, {"RT", 3}, {"RSUD", "2026-02-01 09:00:00"},
                       {"RSUO", ""}}};
    }
};

TEST_F(RecordSetsRequests, EachRequestSendsItsFieldsInOrder) {
    transport->queue("GET_RECORD_SETS", Answer{0, {}});
    transport->queue("ADD_RECORD_SET", Answer{0, {{"RSID", 31}}});
    transport->queue("COPY_RECORD_SET", Answer{0, {{"RSID", 32}}});
    transport->queue("UPDATE_RECORD_SET", Answer{0, {}});
    transport->queue("DELETE_RECORD_SET", Answer{0, {}});

    sets().LoadRecordSets();
    EXPECT_EQ(sets().AddRecordSet("Weeding", 2), 31);
    EXPECT_EQ(sets().CopyRecordSet(31, "Copy of Weeding", "desc"), 32);
    EXPECT_EQ(sets().UpdateRecordSet(31, "Weeding 2", "text"), 31);
    sets().DeleteRecordSet(32);

    EXPECT_EQ(sentFields("GET_RECORD_SETS"), (Fields{{"OI", "jsmith"}}));
    EXPECT_EQ(sentFields("ADD_RECORD_SET"),
              (Fields{{"RSN", "Weeding"}, {"RST", 1}, {"RT", 2}, {"OI", "jsmith"}}));
    EXPECT_EQ(sentFields("COPY_RECORD_SET"), (Fields{{"RSID", 31},
                                                     {"RSN", "Copy of Weeding"},
                                                     {"RSD", "desc"},
                                                     {"OI", "jsmith"}}));
    EXPECT_EQ(sentFields("UPDATE_RECORD_SET"),
              (Fields{{"RSID", 31}, {"RSN", "Weeding 2"}, {"RSD", "text"}, {"OI", "jsmith"}}));
    EXPECT_EQ(sentFields("DELETE_RECORD_SET"), (Fields{{"RSID", 32}, {"OI", "jsmith"}}));
    EXPECT_TRUE(platform.Messages().empty());
}

struct StatusCase {
    const char* code;
    std::int32_t status;
    const char* message; // "" when none is shown
    std::function<qint32(RecordSets&)> call;
    qint32 result;
};

TEST_F(RecordSetsRequests, EachStatusGivesItsResultAndMessage) {
    const auto add = [](RecordSets& s) { return s.AddRecordSet("x", 1); };
    const auto copy = [](RecordSets& s) { return s.CopyRecordSet(5, "x", ""); };
    const auto update = [](RecordSets& s) { return s.UpdateRecordSet(5, "x", ""); };
    const auto remove = [](RecordSets& s) { return s.DeleteRecordSet(5), 0; };
    const char* nameInUse = "Record set name is already in use. Please select a different name.";
    const std::vector<StatusCase> cases{
        {"ADD_RECORD_SET", 4, nameInUse, add, -1},
        {"ADD_RECORD_SET", 6, "Operator not authorized to add record set.", add, -1},
        {"ADD_RECORD_SET", 9001, "Failed to add record set.", add, -1},
        {"COPY_RECORD_SET", 6, "Operator not authorized to copy record set.", copy, 0},
        {"COPY_RECORD_SET", 4, "Copy existing record set failed.", copy, 0},
        {"UPDATE_RECORD_SET", 4, nameInUse, update, 0},
        {"UPDATE_RECORD_SET", 6, "Failed to save record set.", update, 0},
        {"DELETE_RECORD_SET", 2,
         "Cannot delete record set - it is in use in a pending or running job.", remove, 0},
        {"DELETE_RECORD_SET", 6, "Operator not authorized to delete record set.", remove, 0},
        {"DELETE_RECORD_SET", 7, "Delete existing record set failed.", remove, 0},
    };
    for (const StatusCase& c : cases) {
        platform.Clear();
        if (c.status >= 9001)
            transport->queueFailure(c.code, c.status);
        else
            transport->queue(c.code, Answer{c.status, {{"RSID", 99}}});
        EXPECT_EQ(c.call(sets()), c.result) << c.code << ' ' << c.status;
        ASSERT_EQ(platform.Messages().size(), 1u) << c.code << ' ' << c.status;
        EXPECT_EQ(platform.Messages()[0].text, c.message);
        EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(platform.Messages()[0].title, "");
    }
}

TEST_F(RecordSetsRequests, LoadingReadsEverySetAndTreats55AsSuccess) {
    transport->queue("GET_RECORD_SETS", twoSets());
    sets().LoadRecordSets();
    ASSERT_EQ(sets().Items().Count(), 2);
    const RecordSet* weeding = sets().GetRecordSet(12);
    ASSERT_NE(weeding, nullptr);
    EXPECT_EQ(weeding->Name(), "Weeding");
    EXPECT_EQ(weeding->Description(), "to weed");
    EXPECT_EQ(weeding->RecordCount(), 40);
    EXPECT_EQ(weeding->RecordTypeName(), "Bib");
    EXPECT_EQ(weeding->UpdateDate(), "2026-03-01 10:00:00");
    EXPECT_EQ(weeding->UpdateOperator(), "bob");
    EXPECT_EQ(sets().GetRecordSet(7)->UpdateOperator(), "amy") << "never changed: its maker";
    EXPECT_EQ(sets().Items().KeyAt(1), "7");

    Answer fiftyFive = twoSets();
    fiftyFive.status = 55;
    transport->queue("GET_RECORD_SETS", fiftyFive);
    sets().LoadRecordSets();
    EXPECT_EQ(sets().Items().Count(), 2);

    transport->queue("GET_RECORD_SETS", Answer{6, twoSets().fields});
    transport->queue("GET_RECORD_SETS", Answer{3, twoSets().fields});
    sets().LoadRecordSets();
    EXPECT_EQ(sets().Items().Count(), 0);
    sets().LoadRecordSets();
    EXPECT_EQ(sets().Items().Count(), 0);
    EXPECT_EQ(platform.Texts(), (QStringList{"Operator not authorized to view record sets.",
                                             "Failed to load existing record sets."}));
}

TEST_F(RecordSetsRequests, FillsGridAndCombosFromTheLoadedSets) {
    transport->queue("GET_RECORD_SETS", twoSets());
    sets().LoadRecordSets();

    Grid grid;
    grid.SetHeadings({"Name", "Type", "Records"});
    sets().FillRecordSetGrid(grid, 7);
    ASSERT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.TextMatrix(0, 0), "Weeding");
    EXPECT_EQ(grid.TextMatrix(0, 1), "Bib");
    EXPECT_EQ(grid.TextMatrix(0, 2), "40");
    EXPECT_EQ(grid.RowData(1), 7);
    EXPECT_EQ(grid.currentRow(), 1);

    QComboBox combo;
    combo.addItem("stale", 1);
    sets().FillRecordSetCombo(combo, 3);
    ASSERT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.itemText(0), "Names");
    EXPECT_EQ(combo.itemData(0), QVariant(7));
}

TEST_F(RecordSetsRequests, RefreshReloadsThenRefillsEveryRegisteredScreen) {
    QList<qint32> refilled;
    auto view = sets().Screens().Register([&](qint32 id) { refilled.push_back(id); });
    {
        auto closed = sets().Screens().Register([&](qint32) { refilled.push_back(-99); });
    }
    transport->queue("GET_RECORD_SETS", twoSets());
    sets().RefreshRecordSetScreens(12);
    EXPECT_EQ(refilled, (QList<qint32>{12}));
    EXPECT_EQ(sets().Items().Count(), 2) << "loaded before the screens refill";
}

TEST(RecordTypeNames, ShortAndDisplayNamesByCodeAndBack) {
    RecordingPlatformServices platform;
    SessionState state{platform};
    RecordSets& sets = state.manager<RecordSets>();
    EXPECT_EQ(sets.GetRecordTypeName(2), "Mfhd");
    EXPECT_EQ(sets.GetRecordTypeName(4), "");
    EXPECT_EQ(sets.GetRecordTypeDisplayName(3), "Authority");
    EXPECT_EQ(sets.GetRecordTypeDisplayName(0), "");
    EXPECT_EQ(sets.GetRecordTypeId("Auth"), 3);
    EXPECT_EQ(sets.GetRecordTypeId("bib"), 0);
    EXPECT_EQ(sets.SetTypes().At(1).Name, "Logical");
}

class RecordTypeLists : public RecordSetsRequests {
protected:
    void SetUp() override {}
    QStringList offered(int purpose) {
        QComboBox list;
        sets().FillRecordTypeList(list, purpose);
        QStringList names;
        for (int i = 0; i < list.count(); ++i)
            names.push_back(list.itemText(i) + "=" + list.itemData(i).toString());
        EXPECT_EQ(list.currentIndex(), list.count() > 0 ? 0 : -1);
        return names;
    }
};

TEST_F(RecordTypeLists, EachPurposeOffersTheTypesItsRightsAllow) {
    start({"RSBA", "RSMU", "SJM", "RSAP", "IJB"});
    EXPECT_EQ(offered(0), (QStringList{"Bib=1", "Mfhd=2"}));
    EXPECT_EQ(offered(1), (QStringList{"Mfhd=2"})) << "scan jobs need the scan right too";
    EXPECT_EQ(offered(2), (QStringList{"Auth=3"}));
    EXPECT_EQ(offered(3), (QStringList{"Bib=1"}));
    EXPECT_EQ(offered(4), (QStringList{"Bib=1"}));
    EXPECT_EQ(offered(5), QStringList());
}

TEST_F(RecordTypeLists, MatchJobsNeverOfferHoldingsNorIndexJobsMoreThanBib) {
    start({"RSAU", "RSMA", "SJA"});
    EXPECT_EQ(offered(0), (QStringList{"Mfhd=2", "Auth=3"}));
    EXPECT_EQ(offered(1), (QStringList{"Auth=3"}));
    EXPECT_EQ(offered(3), QStringList());
    EXPECT_EQ(offered(4), (QStringList{"Auth=3"}));
}

} // namespace
} // namespace velumar
