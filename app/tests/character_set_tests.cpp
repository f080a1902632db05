// The character set table as the server sends it, and the server-side
// conversion of one MARC record.
#include "charsets/character_set_table.h"
#include "charsets/marc_charset_conversion.h"
#include "qt_printers.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session/busy_state.h"
#include "testing/recording_platform_services.h"

#include <QGuiApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;
using Transport = orvane::testing::ScriptedTransport;

class CharacterSetTableLoad : public ::testing::Test {
protected:
    std::shared_ptr<Transport> transport = std::make_shared<Transport>();
    orvane::RequestChannel channel{transport, "tok"};
    RecordingPlatformServices platform;
    CharacterSetTable table;
};

TEST_F(CharacterSetTableLoad, KeepsTheServersOrderWithoutSendingAnyField) {
    transport->queue("GETCHARSETS", Answer{0,
                                           {{"CSID", 9},
                                            {"CSC", "Z"},
                                            {"CSN", "Zeta"},
                                            {"CSID", 1},
                                            {"CSC", "A"},
                                            {"CSN", "Unicode (UTF-8)"},
                                            {"CSID", 4},
                                            {"CSC", "M8"},
                                            {"CSN", "MARC-8"}}});

    EXPECT_TRUE(table.Load(channel, platform));

    EXPECT_TRUE(transport->sent("GETCHARSETS")[0].fields.empty());
    EXPECT_EQ(table.Entries(),
              (QList<CharacterSet>{{"Z", "Zeta"}, {"A", "Unicode (UTF-8)"}, {"M8", "MARC-8"}}));
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(CharacterSetTableLoad, AnAnswerWithoutRecordsGivesAnEmptyTableAndNoMessage) {
    transport->queue("GETCHARSETS", Answer{});

    EXPECT_TRUE(table.Load(channel, platform));

    EXPECT_TRUE(table.IsEmpty());
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(CharacterSetTableLoad, AFailureIsToldAndTheTableStaysAsItWas) {
    transport->queue("GETCHARSETS", Answer{0, {{"CSID", 1}, {"CSC", "A"}, {"CSN", "Unicode"}}});
    ASSERT_TRUE(table.Load(channel, platform));
    transport->queue("GETCHARSETS", Answer{99, {{"CSID", 2}, {"CSC", "B"}, {"CSN", "Other"}}});
    transport->queueFailure("GETCHARSETS", 9001);

    EXPECT_FALSE(table.Load(channel, platform));
    EXPECT_FALSE(table.Load(channel, platform));

    EXPECT_EQ(table.Entries(), (QList<CharacterSet>{{"A", "Unicode"}}));
    const ShownMessage told{"Get Character Sets",
                            "An error occurred while attempting to retrieve the character sets.",
                            MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok};
    EXPECT_EQ(platform.Messages(), (std::vector<ShownMessage>{told, told}));
}

class MarcConversion : public ::testing::Test {
protected:
    std::shared_ptr<Transport> transport = std::make_shared<Transport>();
    orvane::RequestChannel channel{transport, "tok"};
    BusyState busy;
    QWidget mainWindow;

    void SetUp() override { busy.SetMainWindow(&mainWindow); }
};

// Octets as the record travels: control characters and bytes above 0x7F included.
const QString Record = QString::fromLatin1("00042nam a2200037 a 4500\x1e\xe1\xe9\x1d\x00", 30);

TEST_F(MarcConversion, SendsSourceTargetAndRecordInThatOrderAndTakesTheServersRecord) {
    bool busyWhileSent = false;
    transport->respond("CONVERTMARCCHARSET", [&](const orvane::wire::Request&) {
        busyWhileSent = busy.IsBusy() && !mainWindow.isEnabled() &&
                        QGuiApplication::overrideCursor() != nullptr;
        return Answer{0, {{"MR", "converted"}}};
    });
    QString record = Record;

    EXPECT_TRUE(ConvertMarcCharacterSet(channel, busy, "M8", "A", record));

    EXPECT_EQ(record, "converted");
    EXPECT_EQ(transport->sent("CONVERTMARCCHARSET")[0].fields,
              (Fields{{"CSI", "M8"}, {"CSO", "A"}, {"MR", Record.toStdString()}}));
    EXPECT_TRUE(busyWhileSent);
    EXPECT_FALSE(busy.IsBusy());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MarcConversion, AFailureLeavesTheRecordExactlyAsGiven) {
    for (qint32 status : {8, 10, 11, 99}) {
        transport->queue("CONVERTMARCCHARSET", Answer{status, {{"MR", "half converted"}}});
        QString record = Record;
        EXPECT_FALSE(ConvertMarcCharacterSet(channel, busy, "A", "L1", record)) << status;
        EXPECT_EQ(record, Record) << status;
        EXPECT_EQ(record.size(), 30) << status;
    }
    transport->queueFailure("CONVERTMARCCHARSET", 9001);
    QString record = Record;
    EXPECT_FALSE(ConvertMarcCharacterSet(channel, busy, "A", "L1", record));
    EXPECT_EQ(record, Record);
    EXPECT_TRUE(mainWindow.isEnabled());
}

} // namespace
} // namespace velumar
