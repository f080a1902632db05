// The search window against a scripted server: the exact fields of its
// searches, truncation, the retained search, what the operator's rights
// offer, and the requests that put hits into record sets.
#include "record_search.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "search_window/add_to_set_panel.h"
#include "search_window/search_window.h"
#include "search_window_support.h"
#include "session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::ScriptedTransport;

wire::Answer hitsAnswer(int from, int count) {
    wire::Answer answer{0, {{"RC", 1}}};
    for (int id = from; id < from + count; ++id)
        answer.fields.push_back({"RID", id});
    return answer;
}

class SearchWindowRequests : public ::testing::Test {
protected:
    std::int32_t mySetHolds = 0; // "RSC" of "My set" as listed
    void SetUp() override {
        session.SetTransportFactory([this](const QString&) { return transport; });
        session.Initialise({"velumar"}, nullptr);
        transport->queue("LOGIN", {0, {{"TK", "t"}}});
        ASSERT_EQ(session.Login("embedded", "jsmith", ""), 0);
        ASSERT_TRUE(search.Initialise(channel, session, 0, 0));
        search.SetSearchRight(true);
        search.SetMessages(&messages);
        // Every id has a title; the sets listed are one of each kind of owner.
        transport->respond("CATALOGUE_BRIEF", [](const wire::Request& request) {
            wire::Answer answer{0, {}};
            for (const auto& field : request.fields)
                if (field.key == "RID") {
                    const auto id = std::get<std::int32_t>(field.value);
                    answer.fields.push_back({"RID", id});
                    answer.fields.push_back({"TI", "Title " + std::to_string(id)});
                    answer.fields.push_back({"DT", "2001"});
                }
            return answer;
        });
        transport->respond("GET_RECORD_SETS", [this](const wire::Request&) {
            return wire::Answer{0,
                                {{"RSID", 7}, {"RSCO", "someone"}, {"RSN", "Others' set"},
                                 {"RT", 1},   {"RSC", 0},           {"RSID", 8},
                                 {"RSCO", "jsmith"}, {"RSN", "My set"}, {"RT", 1},
                                 {"RSC", mySetHolds},    {"RSID", 9},  {"RSCO", "jsmith"},
                                 {"RSN", "Names"},   {"RT", 3},     {"RSC", 0}}};
        });
    }

    std::unique_ptr<SearchWindow> openWindow() {
        return std::make_unique<SearchWindow>(search, channel);
    }
    void searchFor(SearchWindow& window, const QString& indexCode, const QString& terms) {
        window.IndexList()->setCurrentIndex(window.IndexList()->findData(indexCode));
        window.Terms()->setText(terms);
        window.Search();
    }
    wire::Fields lastSent(const std::string& code) const {
        const auto sent = transport->sent(code);
        return sent.empty() ? wire::Fields{} : sent.back().fields;
    }
    QStringList setNames(SearchWindow& window) const {
        QStringList names;
        for (int i = 0; i < window.AddPanel().RecordSetList()->count(); ++i)
            names << window.AddPanel().RecordSetList()->itemText(i);
        return names;
    }
    static std::vector<std::int32_t> idsSent(const wire::Request& request) {
        std::vector<std::int32_t> ids;
        for (const auto& field : request.fields)
            if (field.key == "RID")
                ids.push_back(std::get<std::int32_t>(field.value));
        return ids;
    }

    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    RequestChannel channel{transport, "t"};
    Session session;
    RecordSearch search;
    testing::RecordedMessages messages;
};

TEST_F(SearchWindowRequests, SearchesTheChosenIndexOfTheChosenTypeAndFetchesTitles) {
    auto window = openWindow();
    transport->queue("CATALOGUE_SEARCH", hitsAnswer(4, 3));
    searchFor(*window, "TI", "  harbours ");
    EXPECT_EQ(lastSent("CATALOGUE_SEARCH"), (wire::Fields{{"IX", "TI"},
                                                          {"KEY", "harbours"},
                                                          {"RT", 1},
                                                          {"TR", false},
                                                          {"OI", "jsmith"}}));
    EXPECT_EQ(lastSent("CATALOGUE_BRIEF"),
              (wire::Fields{{"RT", 1}, {"RID", 4}, {"RID", 5}, {"RID", 6}, {"OI", "jsmith"}}));
    ASSERT_EQ(window->Results()->rowCount(), 3);
    EXPECT_EQ(window->Results()->item(2, 1)->text(), QStringLiteral("Title 6"));
    EXPECT_EQ(window->ResultLabel()->text(), QStringLiteral("3 records found."));
}

TEST_F(SearchWindowRequests, OffersOnlyTheIndexesOfTheRecordType) {
    auto window = openWindow();
    auto codes = [&] {
        QStringList out;
        for (int i = 0; i < window->IndexList()->count(); ++i)
            out << window->IndexList()->itemData(i).toString();
        return out;
    };
    EXPECT_EQ(codes(), (QStringList{"KW", "TI", "AU", "SU", "ISBN", "ISSN", "LCCN", "035A"}));
    window->RecordTypeList()->setCurrentIndex(window->RecordTypeList()->findData(2));
    EXPECT_EQ(codes(), (QStringList{"KW", "H35A"}));
    window->RecordTypeList()->setCurrentIndex(window->RecordTypeList()->findData(3));
    EXPECT_EQ(codes(), (QStringList{"KW", "AH", "LCCN", "A35A"}));

    // Without the right to view authority records there is no authority search.
    search.SetSearchRight(false);
    auto without = openWindow();
    EXPECT_LT(without->RecordTypeList()->findData(3), 0);
    EXPECT_EQ(without->RecordTypeList()->count(), 2);
}

TEST_F(SearchWindowRequests, AutomaticTruncationSparesKeywordSearchesAndAStarTruncatesAnyKey) {
    transport->respond("CATALOGUE_SEARCH", [](const wire::Request&) { return hitsAnswer(1, 0); });
    search.SetAutoTruncation(true);
    auto window = openWindow();
    EXPECT_TRUE(window->AutoTruncation()->isChecked());
    searchFor(*window, "AU", "smith");
    EXPECT_EQ(lastSent("CATALOGUE_SEARCH")[3], (wire::Field{"TR", true}));
    searchFor(*window, "KW", "smith");
    EXPECT_EQ(lastSent("CATALOGUE_SEARCH")[3], (wire::Field{"TR", false}));

    search.SetAutoTruncation(false);
    auto plain = openWindow();
    EXPECT_FALSE(plain->AutoTruncation()->isChecked());
    searchFor(*plain, "AU", "smith");
    EXPECT_EQ(lastSent("CATALOGUE_SEARCH")[3], (wire::Field{"TR", false}));
    searchFor(*plain, "KW", "smi*");
    EXPECT_EQ(lastSent("CATALOGUE_SEARCH")[1], (wire::Field{"KEY", "smi"}));
    EXPECT_EQ(lastSent("CATALOGUE_SEARCH")[3], (wire::Field{"TR", true}));
}

TEST_F(SearchWindowRequests, TheLastSearchComesBackOnlyWhenRetained) {
    transport->respond("CATALOGUE_SEARCH", [](const wire::Request&) { return hitsAnswer(1, 0); });
    search.SetRetainSearch(true);
    int openings = 0;
    search.SetWindowRunner([&](SearchWindow& window) {
        ++openings;
        if (openings == 1) {
            window.RecordTypeList()->setCurrentIndex(window.RecordTypeList()->findData(3));
            searchFor(window, "AH", "Harbors");
            return;
        }
        EXPECT_EQ(window.RecordTypeList()->currentData().toInt(), 3);
        EXPECT_EQ(window.IndexList()->currentData().toString(), QStringLiteral("AH"));
        EXPECT_EQ(window.Terms()->text(), QStringLiteral("Harbors"));
    });
    search.ShowSearchWindow(channel, nullptr);
    search.ShowSearchWindow(channel, nullptr);

    search.SetRetainSearch(false);
    search.SetWindowRunner([&](SearchWindow& window) {
        ++openings;
        EXPECT_EQ(window.RecordTypeList()->currentData().toInt(), 1);
        EXPECT_EQ(window.IndexList()->currentData().toString(), QStringLiteral("KW"));
        EXPECT_TRUE(window.Terms()->text().isEmpty());
    });
    search.ShowSearchWindow(channel, nullptr);
    EXPECT_EQ(openings, 3);
}

TEST_F(SearchWindowRequests, WithoutAddOrUpdateRightsNoAddActionIsOffered) {
    search.SetAddAuthority(true);
    auto window = openWindow();
    transport->queue("CATALOGUE_SEARCH", hitsAnswer(1, 3));
    searchFor(*window, "TI", "harbours");
    window->Results()->selectRow(0);
    AddToSetPanel& panel = window->AddPanel();
    EXPECT_FALSE(panel.MayAdd());
    EXPECT_FALSE(panel.AddAllButton()->isEnabled());
    EXPECT_FALSE(panel.AddSelectedButton()->isEnabled());
    EXPECT_FALSE(panel.RecordSetList()->isEnabled());
    EXPECT_EQ(panel.RightsNote()->text(),
              QStringLiteral("You may not add Bibliographic records to record sets."));
    EXPECT_TRUE(transport->sent("GET_RECORD_SETS").empty());
    EXPECT_FALSE(panel.Add(true));
    EXPECT_TRUE(transport->sent("ADD_RECORD_SET").empty());
    EXPECT_TRUE(transport->sent("ADD_TO_RECORD_SET").empty());

    // The authority add right offers a new set and the operator's own sets of that type.
    window->RecordTypeList()->setCurrentIndex(window->RecordTypeList()->findData(3));
    EXPECT_TRUE(panel.MayAdd());
    EXPECT_EQ(setNames(*window), (QStringList{"(new record set)", "Names"}));
    EXPECT_TRUE(panel.RightsNote()->text().isEmpty());
}

TEST_F(SearchWindowRequests, TheUpdateRightAloneFillsEveryExistingSetButMakesNone) {
    search.SetUpdateBibliographic(true);
    auto window = openWindow();
    EXPECT_EQ(setNames(*window), (QStringList{"Others' set", "My set"}));
    search.SetAddBibliographic(true);
    search.SetUpdateBibliographic(false);
    auto addOnly = openWindow();
    EXPECT_EQ(setNames(*addOnly), (QStringList{"(new record set)", "My set"}));
}

TEST_F(SearchWindowRequests, AllHitsGoToANewSetInBatchesOfAThousand) {
    search.SetAddBibliographic(true);
    auto window = openWindow();
    transport->queue("CATALOGUE_SEARCH", hitsAnswer(1, 2500));
    searchFor(*window, "KW", "the");
    window->AddPanel().NewSetName()->setText(" Harbours ");
    transport->queue("ADD_RECORD_SET", {0, {{"RSID", 42}}});
    transport->queue("ADD_TO_RECORD_SET", {0, {}});
    transport->queue("ADD_TO_RECORD_SET", {0, {{"RID", 1500}}});
    transport->queue("ADD_TO_RECORD_SET", {0, {}});
    transport->clearSent();
    window->AddPanel().AddAllButton()->click();

    const auto codes = transport->codes();
    const std::vector<std::string> adds(codes.begin(), codes.begin() + 4);
    EXPECT_EQ(adds, (std::vector<std::string>{"ADD_RECORD_SET", "ADD_TO_RECORD_SET",
                                              "ADD_TO_RECORD_SET", "ADD_TO_RECORD_SET"}));
    EXPECT_EQ(lastSent("ADD_RECORD_SET"),
              (wire::Fields{{"RSN", "Harbours"}, {"RST", 1}, {"RT", 1}, {"OI", "jsmith"}}));
    const auto batches = transport->sent("ADD_TO_RECORD_SET");
    ASSERT_EQ(batches.size(), 3u);
    std::vector<std::int32_t> all;
    for (const auto& batch : batches) {
        EXPECT_EQ(batch.fields[0], (wire::Field{"OI", "jsmith"}));
        EXPECT_EQ(batch.fields[1], (wire::Field{"RSID", 42}));
        const auto ids = idsSent(batch);
        EXPECT_EQ(batch.fields.size(), ids.size() + 2);
        all.insert(all.end(), ids.begin(), ids.end());
    }
    EXPECT_EQ(idsSent(batches[0]).size(), 1000u);
    EXPECT_EQ(idsSent(batches[1]).size(), 1000u);
    EXPECT_EQ(idsSent(batches[2]).size(), 500u);
    std::vector<std::int32_t> expected(2500);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(all, expected);

    ASSERT_EQ(messages.informations.size(), 1);
    EXPECT_EQ(messages.informations[0],
              QStringLiteral("2499 record(s) added to record set \"Harbours\".\r\n\r\n"
                             "The following record ids were not added, as no Bib records "
                             "matching these ids were found in the database:\r\n1500"));
    EXPECT_TRUE(window->AddPanel().SetsChanged());
}

TEST_F(SearchWindowRequests, TheSelectedHitsGoToTheChosenExistingSet) {
    search.SetUpdateBibliographic(true);
    auto window = openWindow();
    transport->queue("CATALOGUE_SEARCH", hitsAnswer(10, 5));
    searchFor(*window, "TI", "harbours");
    QTableWidget& grid = *window->Results();
    for (const int row : {3, 1})
        grid.selectionModel()->select(grid.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    AddToSetPanel& panel = window->AddPanel();
    panel.RecordSetList()->setCurrentIndex(panel.RecordSetList()->findText("My set"));
    ASSERT_TRUE(panel.AddSelectedButton()->isEnabled());
    mySetHolds = 4;
    transport->respond("ADD_TO_RECORD_SET", [this](const wire::Request&) {
        mySetHolds += 2;
        return wire::Answer{0, {}};
    });
    panel.AddSelectedButton()->click();
    EXPECT_TRUE(transport->sent("ADD_RECORD_SET").empty());
    EXPECT_EQ(lastSent("ADD_TO_RECORD_SET"),
              (wire::Fields{{"OI", "jsmith"}, {"RSID", 8}, {"RID", 11}, {"RID", 13}}));
    EXPECT_EQ(messages.informations,
              QStringList{"2 record(s) added to record set \"My set\"."});

    // Sent again, both are in the set already: the server adds nothing.
    transport->respond("ADD_TO_RECORD_SET", [](const wire::Request&) {
        return wire::Answer{0, {}};
    });
    panel.AddSelectedButton()->click();
    EXPECT_EQ(messages.informations.last(),
              "0 record(s) added to record set \"My set\". 2 record(s) were in the set already.");
    // One of three is new, one already there, one no record of the type.
    grid.selectionModel()->select(grid.model()->index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    transport->respond("ADD_TO_RECORD_SET", [this](const wire::Request&) {
        mySetHolds += 1;
        return wire::Answer{0, {{"RID", 13}}};
    });
    panel.AddSelectedButton()->click();
    EXPECT_EQ(messages.informations.last(),
              "1 record(s) added to record set \"My set\". 1 record(s) were in the set "
              "already.\r\n\r\nThe following record ids were not added, as no Bib records "
              "matching these ids were found in the database:\r\n13");
}

TEST_F(SearchWindowRequests, RefusalsAreToldAndStopTheAdd) {
    search.SetAddBibliographic(true);
    auto window = openWindow();
    transport->queue("CATALOGUE_SEARCH", hitsAnswer(1, 2));
    searchFor(*window, "TI", "harbours");
    AddToSetPanel& panel = window->AddPanel();

    panel.AddAllButton()->click();
    EXPECT_EQ(messages.warnings, QStringList{"Enter a name for the new record set."});
    EXPECT_TRUE(transport->sent("ADD_RECORD_SET").empty());

    panel.NewSetName()->setText("Taken");
    transport->queue("ADD_RECORD_SET", {4, {}});
    panel.AddAllButton()->click();
    EXPECT_EQ(messages.warnings.last(),
              QStringLiteral("Record set name is already in use. Please select a different name."));
    EXPECT_TRUE(transport->sent("ADD_TO_RECORD_SET").empty());

    transport->queue("ADD_RECORD_SET", {0, {{"RSID", 50}}});
    transport->queue("ADD_TO_RECORD_SET", {6, {}});
    panel.AddAllButton()->click();
    EXPECT_EQ(messages.warnings.last(),
              QStringLiteral("Operator not authorized to add to record set."));
    EXPECT_TRUE(messages.informations.isEmpty());

    // Every id unknown to the catalogue: nothing was added, and the operator is told so.
    panel.RecordSetList()->setCurrentIndex(panel.RecordSetList()->findText("My set"));
    transport->queue("ADD_TO_RECORD_SET", {0, {{"RID", 1}, {"RID", 2}}});
    panel.AddAllButton()->click();
    EXPECT_EQ(messages.informations,
              QStringList{"None of these records were added, as no Bib records matching these "
                          "ids were found in the database."});
}

TEST_F(SearchWindowRequests, AFailedSearchIsToldAndEmptyTermsAreNotSent) {
    auto window = openWindow();
    searchFor(*window, "TI", "   ");
    EXPECT_EQ(messages.warnings, QStringList{"Enter the terms to search for."});
    EXPECT_TRUE(transport->sent("CATALOGUE_SEARCH").empty());

    transport->queue("CATALOGUE_SEARCH", {6, {{"RC", 0}}});
    searchFor(*window, "TI", "harbours");
    EXPECT_EQ(messages.warnings.last(),
              QStringLiteral("Operator not authorized to search bibliographic records."));
    EXPECT_EQ(window->ResultLabel()->text(), QStringLiteral("The search failed."));
    EXPECT_TRUE(window->Hits().isEmpty());
}

TEST_F(SearchWindowRequests, TheGridUsesTheFontNamedInThePreferences) {
    search.SetFontName("Courier New");
    auto window = openWindow();
    EXPECT_EQ(window->Results()->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(search.History().last().operation, QStringLiteral("FontName"));
}

} // namespace
} // namespace orvane
