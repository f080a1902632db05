// The search window against the embedded server and its demo catalogue:
// searches that find demo records and show their titles, a large result
// filling page by page, an empty result, and hits put into a new record set.
#include "record_search.h"
#include "request_channel.h"
#include "search_window/add_to_set_panel.h"
#include "search_window/record_set_filler.h"
#include "search_window/search_messages.h"
#include "search_window/search_window.h"
#include "search_window_support.h"
#include "session.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvane {
namespace {

class SearchWindowOnDemoCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        session = new Session;
        session->Initialise({"velumar", "--db", dir->filePath("velumar.db")}, nullptr);
        ASSERT_EQ(session->Login("embedded", "demo", ""), 0)
            << session->LastError().toStdString();
        channel = new RequestChannel;
        ASSERT_TRUE(channel->Open(5, *session, nullptr));
    }
    static void TearDownTestSuite() {
        delete channel;
        delete session;
        delete dir;
    }

    void SetUp() override {
        ASSERT_TRUE(search.Initialise(*channel, *session, 0, 0));
        search.SetSearchRight(true);
        search.SetAddBibliographic(true);
        search.SetUpdateBibliographic(true);
        search.SetMessages(&messages);
    }

    void searchFor(SearchWindow& window, const QString& indexCode, const QString& terms) {
        window.IndexList()->setCurrentIndex(window.IndexList()->findData(indexCode));
        window.Terms()->setText(terms);
        ASSERT_TRUE(window.Search()) << messages.warnings.join(" | ").toStdString();
    }

    static QTemporaryDir* dir;
    static Session* session;
    static RequestChannel* channel;
    RecordSearch search;
    testing::RecordedMessages messages;
};

QTemporaryDir* SearchWindowOnDemoCatalogue::dir = nullptr;
Session* SearchWindowOnDemoCatalogue::session = nullptr;
RequestChannel* SearchWindowOnDemoCatalogue::channel = nullptr;

TEST_F(SearchWindowOnDemoCatalogue, ATitleSearchShowsTheRecordsFoundWithTheirTitles) {
    SearchWindow window(search, *channel);
    searchFor(window, "TI", QString::fromUtf8("Études"));
    window.FinishFill();
    QTableWidget& grid = *window.Results();
    ASSERT_GT(window.Hits().size(), 0);
    ASSERT_EQ(grid.rowCount(), window.Hits().size());
    for (int row = 0; row < grid.rowCount(); ++row) {
        EXPECT_EQ(grid.item(row, 0)->text().toInt(), window.Hits()[row]);
        EXPECT_TRUE(grid.item(row, 1)->text().startsWith(QString::fromUtf8("Études sur les ")))
            << grid.item(row, 1)->text().toStdString();
        // The year of publication, as the demo catalogue writes it.
        EXPECT_EQ(grid.item(row, 2)->text().size(), 4);
    }
    EXPECT_EQ(window.ResultLabel()->text(),
              QStringLiteral("%1 records found.").arg(window.Hits().size()));
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(SearchWindowOnDemoCatalogue, ALargeResultFillsItsGridAPageAtATime) {
    SearchWindow window(search, *channel);
    searchFor(window, "TI", "of");
    const auto hits = window.Hits().size();
    ASSERT_GT(hits, 100) << "the demo catalogue should hold many English titles";
    // The first page is there at once, the others come as events are processed.
    EXPECT_EQ(window.Results()->rowCount(), 100);
    EXPECT_TRUE(window.FillPending());
    for (int turns = 0; window.FillPending() && turns < 1000; ++turns)
        QCoreApplication::processEvents();
    EXPECT_FALSE(window.FillPending());
    ASSERT_EQ(window.Results()->rowCount(), hits);
    EXPECT_FALSE(window.Results()->item(static_cast<int>(hits) - 1, 1)->text().isEmpty());
}

TEST_F(SearchWindowOnDemoCatalogue, AnEmptyResultSaysSoAndOffersNothingToAdd) {
    SearchWindow window(search, *channel);
    searchFor(window, "TI", "qqqzzzxq");
    EXPECT_EQ(window.ResultLabel()->text(), QStringLiteral("No records found."));
    EXPECT_EQ(window.Results()->rowCount(), 0);
    EXPECT_FALSE(window.AddPanel().AddAllButton()->isEnabled());
    EXPECT_FALSE(window.AddPanel().AddSelectedButton()->isEnabled());
    EXPECT_TRUE(messages.warnings.isEmpty());
}

TEST_F(SearchWindowOnDemoCatalogue, AnAuthorityHeadingSearchShowsHeadings) {
    SearchWindow window(search, *channel);
    window.RecordTypeList()->setCurrentIndex(window.RecordTypeList()->findData(3));
    // The authority heading index is offered for authority records only.
    EXPECT_GE(window.IndexList()->findData("AH"), 0);
    EXPECT_LT(window.IndexList()->findData("TI"), 0);
    searchFor(window, "KW", "harbors");
    window.FinishFill();
    ASSERT_GT(window.Results()->rowCount(), 0);
    EXPECT_EQ(window.Results()->horizontalHeaderItem(1)->text(), QStringLiteral("Heading"));
    EXPECT_FALSE(window.Results()->item(0, 1)->text().isEmpty());
}

TEST_F(SearchWindowOnDemoCatalogue, AllHitsGoIntoANewRecordSetOnTheServer) {
    SearchWindow window(search, *channel);
    searchFor(window, "TI", QString::fromUtf8("Études"));
    AddToSetPanel& panel = window.AddPanel();
    ASSERT_EQ(panel.RecordSetList()->currentData().toInt(), 0); // a new set
    panel.NewSetName()->setText("Search window test set");
    panel.AddAllButton()->click();
    ASSERT_TRUE(messages.warnings.isEmpty()) << messages.warnings.join(" | ").toStdString();
    ASSERT_EQ(messages.informations.size(), 1);
    EXPECT_EQ(messages.informations[0],
              QStringLiteral("%1 record(s) added to record set \"Search window test set\".")
                  .arg(window.Hits().size()));
    EXPECT_TRUE(panel.SetsChanged());
    // The new set is now the one chosen, and the server holds the hits in it.
    EXPECT_EQ(panel.RecordSetList()->currentText(), QStringLiteral("Search window test set"));
    RecordSetFiller filler(*channel, session->OperatorId());
    QList<TargetSet> sets;
    ASSERT_EQ(filler.LoadSets(1, sets), 0);
    const auto made = std::find_if(sets.begin(), sets.end(), [](const TargetSet& set) {
        return set.name == QLatin1String("Search window test set");
    });
    ASSERT_NE(made, sets.end());
    channel->AddField("OI", session->OperatorId());
    ASSERT_EQ(channel->SendRequest("GET_RECORD_SETS"), 0);
    int held = -1;
    while (channel->NextRecord("RSID"))
        if (channel->GetNumericField("RSID") == made->id)
            held = channel->GetNumericField("RSC");
    EXPECT_EQ(held, window.Hits().size());
}

TEST(SearchWindowMessages, BoxesCarryTheProgramsNameNotItsSettingsName) {
    const QString shown = QApplication::applicationDisplayName();
    QApplication::setApplicationDisplayName(QStringLiteral("Velumar"));
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("OrvaneVLM"));
    EXPECT_EQ(SearchMessageTitle(), QStringLiteral("Velumar"));
    QApplication::setApplicationDisplayName(shown);
}

} // namespace
} // namespace orvane
