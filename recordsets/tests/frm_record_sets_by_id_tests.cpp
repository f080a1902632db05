// The specific records screen: reading id list files, what each operator may
// choose, and adding ids from one id, a file and a range to the embedded
// server's demo catalogue (bibliographic ids 1 to 150), with progress for
// more than one batch; the scripted server shows what is and is not sent.
#include "auth/operators.h"
#include "core/server_core.h"
#include "demo_server_client.h"
#include "main_window/frm_main.h"
#include "screens/frm_record_sets_by_id.h"
#include "scripted_record_sets.h"
#include "store/database.h"
#include "store/store.h"
#include "tests/qt_printers.h"
#include "tests/screenshots.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace velumar {
namespace {

using orvane::wire::Answer;

struct SpecificControls {
    explicit SpecificControls(frmRecordSets_Specific& specific) : screen(specific) {}
    QLineEdit* field(const char* name) { return screen.findChild<QLineEdit*>(name); }
    QRadioButton* option(const char* name) { return screen.findChild<QRadioButton*>(name); }
    QComboBox& combo(const char* name) { return *screen.findChild<QComboBox*>(name); }
    bool saveEnabled() { return screen.findChild<QPushButton*>("cmdSave")->isEnabled(); }
    // As the operator types it: the field's option is chosen too.
    void type(const char* name, const QString& text) {
        QLineEdit* edit = field(name);
        edit->setText(text);
        emit edit->textEdited(text);
    }
    void chooseType(const QString& shortName) {
        combo("cboRecordType").setCurrentIndex(combo("cboRecordType").findText(shortName));
    }
    void chooseSet(qint32 id) {
        combo("cboRecordSet").setCurrentIndex(combo("cboRecordSet").findData(id));
    }
    QStringList items(const char* name) {
        QStringList out;
        for (int i = 0; i < combo(name).count(); ++i)
            out.push_back(combo(name).itemText(i));
        return out;
    }
    frmRecordSets_Specific& screen;
};

TEST(RecordIdFiles, NumbersBetweenCrLfPairsAreTheIdsAndAllElseIsSkipped) {
    EXPECT_EQ(frmRecordSets_Specific::ParseRecordIds("100\r\nabc\r\n\r\n200"),
              (QList<qint32>{100, 200}));
    EXPECT_EQ(frmRecordSets_Specific::ParseRecordIds("Ids\r\n7\r\n7\r\n3\r\n"),
              (QList<qint32>{7, 7, 3}));
    // Lone line feeds do not split the text: one piece, not a number.
    EXPECT_TRUE(frmRecordSets_Specific::ParseRecordIds("100\n200\n").isEmpty());
    EXPECT_TRUE(frmRecordSets_Specific::ParseRecordIds("99999999999\r\n1.5").isEmpty());
}

class SpecificRecordsOnDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        db = dir->filePath("velumar.db");
        core = orvane::openEmbeddedServer(db);
    }
    static void TearDownTestSuite() {
        core.reset();
        delete dir;
    }
    QString writeFile(const QByteArray& bytes) {
        const QString path = files.filePath(QStringLiteral("ids%1.txt").arg(++fileCount));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir files;
    int fileCount = 0;
    static inline QTemporaryDir* dir = nullptr;
    static inline QString db;
    static inline std::shared_ptr<orvane::server::ServerCore> core;
};

TEST_F(SpecificRecordsOnDemo, RightsDecideTheTypesAndTargetsAndInputDecidesSave) {
    testing::DemoClient viewer(db, "viewer");
    frmRecordSets_Specific viewing(viewer.state);
    SpecificControls refused(viewing);
    EXPECT_TRUE(refused.items("cboRecordType").isEmpty());
    EXPECT_FALSE(refused.option("optRecordSet_0")->isEnabled());
    EXPECT_FALSE(refused.option("optRecordSet_1")->isEnabled());
    refused.type("fpRecordId", "5");
    refused.type("fpNewRecordSet", "Mine");
    EXPECT_FALSE(refused.saveEnabled());

    testing::DemoClient demo(db, "demo");
    const qint32 bib = demo.sets().AddRecordSet("Specific rights", 1);
    ASSERT_GT(bib, 0);
    frmRecordSets_Specific screen(demo.state);
    SpecificControls controls(screen);
    EXPECT_EQ(controls.items("cboRecordType"), (QStringList{"Bib", "Mfhd", "Auth"}));
    EXPECT_TRUE(controls.option("optRecordSet_0")->isEnabled());
    EXPECT_TRUE(controls.option("optRecordSet_1")->isEnabled());
    EXPECT_TRUE(controls.items("cboRecordSet").contains("Specific rights"));
    controls.chooseType("Auth");
    EXPECT_FALSE(controls.items("cboRecordSet").contains("Specific rights"));
    controls.chooseType("Bib");
    controls.chooseSet(bib);
    ASSERT_TRUE(controls.option("optRecordSet_0")->isChecked());

    EXPECT_FALSE(controls.saveEnabled());
    controls.type("fpRecordId", "5");
    EXPECT_TRUE(controls.saveEnabled());
    controls.type("fpRecordFrom", "5");
    EXPECT_TRUE(controls.option("optRecord_2")->isChecked());
    EXPECT_FALSE(controls.saveEnabled()); // the range needs both ends
    controls.type("fpRecordTo", "9");
    EXPECT_TRUE(controls.saveEnabled());
    screen.resize(760, 560);
    screen.show();
    testing::SaveScreenshot(screen, "record-sets-specific");
    controls.type("fpNewRecordSet", "  ");
    EXPECT_TRUE(controls.option("optRecordSet_1")->isChecked());
    EXPECT_FALSE(controls.saveEnabled());

    // The browse button fills the file and chooses it.
    const QString path = writeFile("1\r\n");
    demo.platform.ChooseFileNext(path);
    screen.Browse();
    ASSERT_EQ(demo.platform.FileRequests().size(), 1u);
    EXPECT_EQ(demo.platform.FileRequests()[0].title, "Select Record List");
    EXPECT_EQ(demo.platform.FileRequests()[0].filter, "All Files (*.*)|*.*");
    EXPECT_EQ(controls.field("fpRecordList")->text(), path);
    EXPECT_TRUE(controls.option("optRecord_1")->isChecked());
}

TEST_F(SpecificRecordsOnDemo, AFileAddsItsNumbersToANewSetAndTheScreenMovesToIt) {
    testing::DemoClient demo(db, "demo");
    frmRecordSets_Specific screen(demo.state);
    SpecificControls controls(screen);
    frmMain& window = demo.state.mainWindow();

    controls.type("fpRecordList", writeFile("100\r\nabc\r\n\r\n120\r\n"));
    controls.type("fpNewRecordSet", "From a file");
    screen.Save();

    EXPECT_TRUE(demo.platform.Messages().empty()) << demo.platform.Texts().join("|").toStdString();
    const RecordSet* made = demo.find("From a file");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->RecordCount(), 2);
    EXPECT_EQ(made->RecordTypeName(), "Bib");
    EXPECT_EQ(window.StatusPanel2(), "Records successfully added to set 'From a file'");
    EXPECT_TRUE(controls.option("optRecordSet_0")->isChecked());
    EXPECT_EQ(controls.combo("cboRecordSet").currentData().toInt(), made->Id());
    EXPECT_TRUE(controls.field("fpRecordList")->text().isEmpty());
    EXPECT_TRUE(controls.field("fpNewRecordSet")->text().isEmpty());

    // Lone line feeds: one piece that is no number, so nothing is sent.
    controls.type("fpRecordList", writeFile("130\n140\n"));
    controls.chooseSet(made->Id());
    screen.Save();
    EXPECT_EQ(demo.platform.Texts(), QStringList{"No ids found in file."});
    EXPECT_EQ(demo.find("From a file")->RecordCount(), 2);
    EXPECT_FALSE(controls.field("fpRecordList")->text().isEmpty());
}

TEST_F(SpecificRecordsOnDemo, ARangeOfOneAddsOneAndARangeOutOfOrderNothing) {
    testing::DemoClient demo(db, "demo");
    const qint32 id = demo.sets().AddRecordSet("Ranges", 1);
    ASSERT_GT(id, 0);
    frmRecordSets_Specific screen(demo.state);
    SpecificControls controls(screen);
    frmMain& window = demo.state.mainWindow();
    controls.chooseSet(id);

    controls.type("fpRecordFrom", "6");
    controls.type("fpRecordTo", "5");
    screen.Save();
    EXPECT_EQ(demo.platform.Texts(), QStringList{"Record range is out of order."});
    EXPECT_EQ(demo.find("Ranges")->RecordCount(), 0);
    EXPECT_EQ(controls.field("fpRecordFrom")->text(), "6");

    controls.type("fpRecordFrom", "5");
    screen.Save();
    EXPECT_EQ(demo.platform.Texts().size(), 1);
    EXPECT_EQ(demo.find("Ranges")->RecordCount(), 1);
    EXPECT_EQ(window.StatusPanel2(), "Records in range successfully added to set 'Ranges'");
    EXPECT_TRUE(controls.field("fpRecordFrom")->text().isEmpty());
    EXPECT_TRUE(controls.field("fpRecordTo")->text().isEmpty());

    controls.type("fpRecordId", "7");
    screen.Save();
    EXPECT_EQ(demo.find("Ranges")->RecordCount(), 2);
    EXPECT_EQ(window.StatusPanel2(), "Record successfully added to set 'Ranges'");
}

TEST_F(SpecificRecordsOnDemo, ManyIdsShowProgressThenTheIdsNotFound) {
    testing::DemoClient demo(db, "demo");
    frmRecordSets_Specific screen(demo.state);
    SpecificControls controls(screen);
    auto* bar = screen.findChild<QProgressBar*>("pbProgress");
    auto* label = screen.findChild<QLabel*>("lblProgress");
    QStringList shown;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        shown.push_back(QStringLiteral("%1 %2").arg(label->text()).arg(value));
    });

    controls.type("fpRecordFrom", "1");
    controls.type("fpRecordTo", "2500");
    controls.type("fpNewRecordSet", "Big range");
    screen.Save();

    EXPECT_EQ(shown, (QStringList{"Adding records... 0", "Adding 1000 of 2500 records... 40",
                                  "Adding 2000 of 2500 records... 80",
                                  "Adding 2500 of 2500 records... 100"}));
    EXPECT_TRUE(screen.findChild<QWidget*>("fraProgress")->isHidden());
    ASSERT_EQ(demo.platform.Texts().size(), 1);
    const QString summary = demo.platform.Texts()[0];
    // The demo catalogue numbers its bibliographic records from 1 without gaps.
    const int added = demo.find("Big range")->RecordCount();
    ASSERT_GT(added, 0);
    ASSERT_LT(added, 2500);
    EXPECT_TRUE(summary.startsWith("The following record ids were not added, as no Bib records "
                                   "matching these ids were found in the database:\r\n" +
                                   QString::number(added + 1) + ", "))
        << summary.toStdString();
    EXPECT_TRUE(summary.endsWith("..."));
}

// An operator who may add and update bibliographic sets but view none:
// the server lists every set, so the screen opens without a refusal, offers
// the sets of its type, and fills an existing set and a new one.
TEST_F(SpecificRecordsOnDemo, AnOperatorWhoMayFillButNotViewFillsAnySetOfItsType) {
    testing::DemoClient demo(db, "demo");
    const qint32 shelf = demo.sets().AddRecordSet("Shelf check", 1);
    ASSERT_GT(shelf, 0);
    ASSERT_GT(demo.sets().AddRecordSet("Headings to check", 3), 0);
    {
        orvane::server::Database& store = core->store().db();
        const auto row = orvane::server::addOperator(store, "filler", "Fills sets", "-");
        const std::vector<std::string_view> rights{"RSBA", "RSBU"};
        orvane::server::grantRights(store, row, rights);
    }

    testing::DemoClient filler(db, "filler");
    frmRecordSets_Specific screen(filler.state);
    SpecificControls controls(screen);
    frmMain& window = filler.state.mainWindow();
    EXPECT_TRUE(filler.platform.Texts().isEmpty()) << filler.platform.Texts().join("|").toStdString();
    EXPECT_EQ(controls.items("cboRecordType"), QStringList{"Bib"});
    EXPECT_TRUE(controls.option("optRecordSet_0")->isEnabled());
    EXPECT_TRUE(controls.option("optRecordSet_1")->isEnabled());
    EXPECT_TRUE(controls.items("cboRecordSet").contains("Shelf check"));
    EXPECT_FALSE(controls.items("cboRecordSet").contains("Headings to check"));

    controls.chooseSet(shelf);
    controls.type("fpRecordId", "5");
    screen.Save();
    EXPECT_TRUE(filler.platform.Texts().isEmpty()) << filler.platform.Texts().join("|").toStdString();
    EXPECT_EQ(window.StatusPanel2(), "Record successfully added to set 'Shelf check'");
    EXPECT_EQ(demo.find("Shelf check")->RecordCount(), 1);

    controls.type("fpRecordFrom", "6");
    controls.type("fpRecordTo", "8");
    controls.type("fpNewRecordSet", "Filled without viewing");
    screen.Save();
    EXPECT_TRUE(filler.platform.Texts().isEmpty()) << filler.platform.Texts().join("|").toStdString();
    const RecordSet* made = demo.find("Filled without viewing");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->RecordCount(), 3);
    EXPECT_EQ(controls.combo("cboRecordSet").currentData().toInt(), made->Id());
    // The manager lists every set, the other types' too.
    EXPECT_NE(filler.find("Headings to check"), nullptr);
}

// The scripted server: what goes out, and what does not.
class SpecificRecordsRequests : public testing::ScriptedRecordSets {
protected:
    void SetUp() override {
        ScriptedRecordSets::SetUp();
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        transport->respond("GET_RECORD_SETS", [](const orvane::wire::Request&) {
            return Answer{0,
                          {{"RSID", 8},
                           {"RSCO", "amy"},
                           {"RSD", ""},
                           {"RSN", "Taken"},
                           {"RSC", 0},
                           {"RST", 1},
                           {"RT", 1},
                           {"RSUD", ""},
                           {"RSUO", ""}}};
        });
    }
    testing::TempSettings settings;
};

TEST_F(SpecificRecordsRequests, ANewSetWhoseNameIsTakenGetsNoIds) {
    frmRecordSets_Specific screen(state);
    SpecificControls controls(screen);
    transport->queue("ADD_RECORD_SET", Answer{4, {}});
    controls.type("fpRecordId", "5");
    controls.type("fpNewRecordSet", "Taken");
    screen.Save();

    EXPECT_EQ(platform.Texts(),
              QStringList{"Record set name is already in use. Please select a different name."});
    const auto made = transport->sent("ADD_RECORD_SET");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].fields,
              (orvane::wire::Fields{{"RSN", "Taken"}, {"RST", 1}, {"RT", 1}, {"OI", "jsmith"}}));
    EXPECT_TRUE(transport->sent("ADD_TO_RECORD_SET").empty());
    // Kept for another try.
    EXPECT_EQ(controls.field("fpNewRecordSet")->text(), "Taken");
    EXPECT_EQ(controls.field("fpRecordId")->text(), "5");
}

// One record set as GET_RECORD_SETS lists it.
orvane::wire::Fields listedSet(qint32 id, const std::string& name) {
    return {{"RSID", id}, {"RSCO", "jsmith"}, {"RSD", ""}, {"RSN", name}, {"RSC", 0},
            {"RST", 1},   {"RT", 1},          {"RSUD", ""}, {"RSUO", ""}};
}

TEST_F(SpecificRecordsRequests, ANewSetIsTheExistingChoiceOnceMadeEvenWhenItsIdsFailed) {
    bool made = false;
    transport->respond("GET_RECORD_SETS", [&](const orvane::wire::Request&) {
        Answer answer{0, listedSet(8, "Taken")};
        if (made)
            for (auto& field : listedSet(9, "Fresh"))
                answer.fields.push_back(field);
        return answer;
    });
    transport->respond("ADD_RECORD_SET", [&](const orvane::wire::Request&) {
        made = true;
        return Answer{0, {{"RSID", 9}}};
    });
    transport->queue("ADD_TO_RECORD_SET", Answer{99, {}});
    frmRecordSets_Specific screen(state);
    SpecificControls controls(screen);
    controls.type("fpRecordId", "5");
    controls.type("fpNewRecordSet", "Fresh");
    screen.Save();

    EXPECT_EQ(platform.Texts(), QStringList{"Failed to add record(s) to set."});
    EXPECT_TRUE(controls.option("optRecordSet_0")->isChecked());
    EXPECT_EQ(controls.combo("cboRecordSet").currentData().toInt(), 9);
    EXPECT_TRUE(controls.field("fpNewRecordSet")->text().isEmpty());
    // The id stays for another try, which goes to the set made, not to a new one.
    EXPECT_EQ(controls.field("fpRecordId")->text(), "5");
    transport->queue("ADD_TO_RECORD_SET", Answer{0, {}});
    screen.Save();
    EXPECT_EQ(transport->sent("ADD_RECORD_SET").size(), 1u);
    const auto sends = transport->sent("ADD_TO_RECORD_SET");
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_EQ(sends[1].fields, (orvane::wire::Fields{{"OI", "jsmith"}, {"RSID", 9}, {"RID", 5}}));
    EXPECT_TRUE(controls.field("fpRecordId")->text().isEmpty());
}

TEST_F(SpecificRecordsRequests, AnEmptyIdFileIsToldByTheFileReaderAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.txt");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    frmRecordSets_Specific screen(state);
    SpecificControls controls(screen);
    controls.chooseSet(8);
    controls.type("fpRecordList", path);
    screen.Save();
    EXPECT_EQ(platform.Texts(), QStringList{"Could not open the file \"" + path +
                                            "\"\r\n\r\nError #62: Input past end of file"});
    EXPECT_TRUE(transport->sent("ADD_TO_RECORD_SET").empty());
}

TEST_F(SpecificRecordsRequests, ANewSetsNameHoldsNoMoreThanTheServerKeeps) {
    frmRecordSets_Specific screen(state);
    QLineEdit* name = SpecificControls(screen).field("fpNewRecordSet");
    name->insert(QString(250, 'n'));
    name->insert(QString::fromUtf8("\xc3\xa9\xc3\xa9\xc3\xa9")); // 6 octets: past 255, refused
    name->insert(QString::fromUtf8("\xc3\xa9\xc3\xa9"));
    name->insert("x");
    EXPECT_EQ(name->text(), QString(250, 'n') + QString::fromUtf8("\xc3\xa9\xc3\xa9") + "x");
    name->insert("y");
    EXPECT_EQ(name->text().toUtf8().size(), 255);
}

TEST_F(SpecificRecordsRequests, IdsOutsideOneTo2147483647AreRefusedBeforeAnythingIsSent) {
    struct Case {
        const char* id;
        const char* from;
        const char* to;
    };
    const std::vector<Case> cases{
        {"0", "", ""},          {"2147483648", "", ""}, {"-3", "", ""},
        {"", "0", "5"},         {"", "5", "2147483648"}, {"", "99999999999", "1"},
    };
    frmRecordSets_Specific screen(state);
    SpecificControls controls(screen);
    controls.chooseSet(8);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.from + "-" + c.to);
        platform.Clear();
        // As pasted or set, past what the fields' validators let through.
        controls.field("fpRecordId")->setText(c.id);
        controls.field("fpRecordFrom")->setText(c.from);
        controls.field("fpRecordTo")->setText(c.to);
        controls.option(*c.id ? "optRecord_0" : "optRecord_2")->setChecked(true);
        screen.Save();
        EXPECT_EQ(platform.Texts(), QStringList{frmRecordSets_Specific::IdOutOfRangeText()});
        EXPECT_TRUE(transport->sent("ADD_TO_RECORD_SET").empty());
    }
    EXPECT_EQ(frmRecordSets_Specific::IdOutOfRangeText(),
              "Record ids are whole numbers from 1 to 2147483647.");
}

TEST_F(SpecificRecordsRequests, ARangeGoesOutBatchByBatchWithoutBeingListedFirst) {
    frmRecordSets_Specific screen(state);
    SpecificControls controls(screen);
    controls.chooseSet(8);

    // The last ids a record id may have, up to the very last.
    transport->respond("ADD_TO_RECORD_SET", [](const orvane::wire::Request&) {
        return Answer{0, {}};
    });
    controls.type("fpRecordFrom", "2147483600");
    controls.type("fpRecordTo", "2147483647");
    screen.Save();
    auto sends = transport->sent("ADD_TO_RECORD_SET");
    ASSERT_EQ(sends.size(), 1u);
    ASSERT_EQ(sends[0].fields.size(), 2u + 48u);
    EXPECT_EQ(sends[0].fields[2], (orvane::wire::Field{"RID", 2147483600}));
    EXPECT_EQ(sends[0].fields.back(), (orvane::wire::Field{"RID", 2147483647}));

    // Every id there is: listed first, that would be 8 GiB before the first
    // request. Sent as counted, it stops at the batch that fails.
    transport->clearSent();
    transport->queue("ADD_TO_RECORD_SET", Answer{0, {}});
    transport->queue("ADD_TO_RECORD_SET", Answer{99, {}});
    controls.type("fpRecordFrom", "1");
    controls.type("fpRecordTo", "2147483647");
    screen.Save();
    sends = transport->sent("ADD_TO_RECORD_SET");
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_EQ(sends[1].fields.size(), 2u + 1000u);
    EXPECT_EQ(sends[1].fields[2], (orvane::wire::Field{"RID", 1001}));
    EXPECT_EQ(sends[1].fields.back(), (orvane::wire::Field{"RID", 2000}));
    EXPECT_EQ(platform.Texts(), QStringList{"Failed to add record(s) to set."});
    EXPECT_EQ(controls.field("fpRecordTo")->text(), "2147483647");
}

} // namespace
} // namespace velumar
