// The MARC file upload of match jobs against the scripted server: the file
// read record by record, the keys of a match job searched and their records
// added to its set, an authority file uploaded in bulks of 20, broken files
// and the wrong coding refused with their messages, the job's status driven
// through its states, cancelling, and the match screen's hand-over.
#include "marc/field.h"
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "platform/platform_services.h"
#include "scripted_submit.h"
#include "submit/frm_job_management_submit_match.h"
#include "tests/qt_printers.h"
#include "upload/file_record.h"
#include "upload/frm_auth_load_match_job_progress.h"
#include "upload/frm_match_job_progress.h"
#include "upload/marc_file_reader.h"

#include <QBuffer>
#include <QLabel>
#include <QTemporaryDir>

namespace velumar {
namespace {

using testing::Answer;
using testing::Controls;
using testing::Fields;
using testing::MarcData;
using testing::NewJobId;
using testing::RecordsOf;
using testing::Shown;
using Result = MarcFileReader::Result;

const QString Mismatch = QStringLiteral(
    "Mismatch between the encoding specified and the actual encoding leader byte of the source "
    "file.");

// A record of these control fields, leader/06 and leader/09 as given.
QByteArray record(char type, char coding,
                  const std::vector<std::pair<std::string, std::string>>& controls) {
    std::string leader = "00000nz  a2200000n  4500";
    leader[6] = type;
    leader[9] = coding;
    marc::Record r(*marc::Leader::fromText(leader));
    for (const auto& [tag, value] : controls)
        r.appendField(marc::Field::control(tag, value));
    r.appendField(marc::Field::data("245", '0', '0', {{'a', "Title"}}));
    std::string out;
    marc::appendIso2709(r, out);
    return QByteArray::fromStdString(out);
}

TEST(MarcFileReader, ReadsRecordsBackToBackAndStopsAtWhatIsNoLength) {
    const QByteArray one = record('a', 'a', {{"001", "1"}});
    const QByteArray two = record('a', 'a', {{"001", "2"}});
    struct Case {
        const char* what;
        QByteArray file;
        std::vector<Result> results;
    } cases[] = {
        {"empty", "", {Result::Empty}},
        {"five characters only", "00024", {Result::Empty}},
        {"one record", one, {Result::Record, Result::End}},
        {"back to back", one + two, {Result::Record, Result::Record, Result::End}},
        {"a line break between", one + "\r\n" + two, {Result::Record, Result::Unrecognized}},
        {"a line break at the end", one + "\n", {Result::Record, Result::End}},
        {"not a length first", "abcde" + one, {Result::Unrecognized}},
        {"a length too short to count itself", "00003" + one, {Result::Unrecognized}},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.file;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        MarcFileReader reader(buffer);
        std::vector<Result> got;
        for (Result r = Result::Record; r == Result::Record && got.size() < 5;)
            got.push_back(r = reader.Next());
        EXPECT_EQ(got, c.results) << c.what;
    }
    QByteArray bytes = one + two;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    MarcFileReader reader(buffer);
    reader.Next();
    EXPECT_EQ(reader.Record(), one);
    reader.Next();
    EXPECT_EQ(reader.Record(), two);
}

TEST(FileRecord, TakesItsTypeCodingAndKeyFromTheRecord) {
    struct Case {
        const char* what;
        QByteArray octets;
        int type;
        bool unicode;
        QString key;
    } cases[] = {
        {"003 in parentheses", record('a', 'a', {{"001", "12345"}, {"003", "(ABC)"}}), 1, true,
         "(ABC)12345"},
        {"003 put in parentheses", record('z', 'a', {{"001", "12345"}, {"003", "ABC"}}), 3, true,
         "(ABC)12345"},
        {"trimmed", record('x', ' ', {{"001", " 12345 "}, {"003", " ABC "}}), 2, false,
         "(ABC)12345"},
        {"no 003", record('m', 'a', {{"001", "12345"}}), 1, true, "12345"},
        {"neither", record('a', 'a', {{"005", "20250101"}}), 1, true, ""},
        {"not a record", QByteArray("00026nam  2200025   4500\x1d"), 0, false, ""},
    };
    for (const Case& c : cases) {
        FileRecord r(c.octets);
        EXPECT_EQ(r.RecordType(), c.type) << c.what;
        EXPECT_EQ(r.IsUnicode(), c.unicode) << c.what;
        EXPECT_EQ(r.MatchKey(), c.key) << c.what;
    }
}

class UploadScreens : public testing::ScriptedSubmit {
protected:
    QString file(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("in%1.mrc").arg(++files));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }
    // Runs the match screen over the bytes to its end; the screen for a look afterwards.
    std::unique_ptr<frmMatchJobProgress> match(const QByteArray& bytes, const QString& encoding,
                                               int recordType = 1) {
        auto screen = std::make_unique<frmMatchJobProgress>(state);
        running = screen.get();
        screen->Initialize(NewJobId, 102, recordType, file(bytes), encoding);
        screen->exec();
        EXPECT_TRUE(screen->Finished());
        return screen;
    }
    std::unique_ptr<frmAuthLoadMatchJobProgress> load(const QByteArray& bytes,
                                                      const QString& encoding) {
        auto screen = std::make_unique<frmAuthLoadMatchJobProgress>(state);
        running = screen.get();
        screen->Initialize(NewJobId, 3, file(bytes), encoding);
        screen->exec();
        EXPECT_TRUE(screen->Finished());
        return screen;
    }
    // A status update as the screens send it.
    static std::string status(int js, int errors, int processed, int toProcess) {
        return Shown({{"ID", NewJobId},
                      {"JS", js},
                      {"EC", errors},
                      {"RP", processed},
                      {"RTP", toProcess},
                      {"OI", "jsmith"}});
    }
    // The searches' keys, in order.
    QStringList keys() const {
        QStringList out;
        for (const auto& request : transport->sent("CATALOGUE_SEARCH"))
            out.push_back(QString::fromStdString(
                std::get<std::string>(orvane::wire::findField(request.fields, "KEY")->value)));
        return out;
    }

    QTemporaryDir dir;
    int files = 0;
    JobProgressScreen* running = nullptr;
};

TEST_F(UploadScreens, AMatchJobSearchesEachKeyAndFillsItsSet) {
    const QByteArray utf8 = MarcData("m4j_brkrtest_UTF8.mrc");
    REQUIRE_MARC_DATA(utf8);
    int searched = 0;
    transport->respond("CATALOGUE_SEARCH", [&](const auto&) {
        switch (++searched) {
        case 1:
            return Answer{0, {{"RC", 1}, {"RID", 5}, {"RID", 9}}};
        case 2:
            return Answer{0, {{"RC", 1}}}; // no hits: neither a match nor an error
        case 3:
            return Answer{8, {{"RC", 0}}};
        default:
            return Answer{0, {{"RC", 1}, {"RID", 100 + searched}}};
        }
    });
    transport->respond("ADD_TO_RECORD_SET", [](const auto&) { return Answer{0, {}}; });
    const auto screen = match(utf8, "A");

    EXPECT_EQ(transport->codes()[0], "GET_JOB");
    EXPECT_EQ(screen->findChild<QLabel*>("lblJobName")->text(), "Matching");
    EXPECT_EQ(screen->findChild<QLabel*>("lblRecordType")->text(), "Bibliographic");
    EXPECT_EQ(saves(), (std::vector<std::string>{"SRS=102, " + status(1, 0, 0, 0),
                                                 status(1, 0, 0, 8), status(2, 1, 8, 8)}));
    EXPECT_EQ(keys(),
              (QStringList{"(ViArRB)tes96000001", "(ViArRB)tes96000002", "(ViArRB)tes96000003",
                           "(ViArRB)tes96000004", "(ViArRB)tes96000005", "(ViArRB)tes96000006",
                           "(ViArRB)tes96000007", "(ViArRB)tes96000008"}));
    EXPECT_EQ(Shown(transport->sent("CATALOGUE_SEARCH")[0].fields),
              R"(IX="035A", KEY="(ViArRB)tes96000001", TR=false, OI="jsmith")")
        << "a whole key, never truncated";
    const auto adds = transport->sent("ADD_TO_RECORD_SET");
    ASSERT_EQ(adds.size(), 6u);
    EXPECT_EQ(Shown(adds[0].fields), R"(OI="jsmith", RSID=102, RID=5, RID=9)");
    EXPECT_EQ(screen->ProgressLabel(), "Processing 8 of 8 records...");
    EXPECT_EQ(screen->ProgressValue(), 100);
    EXPECT_EQ(screen->FoundCount(), "7");
    EXPECT_EQ(screen->ErrorCount(), "1");
    EXPECT_TRUE(platform.Messages().empty());
    // The search settings are off while the keys are searched, then the operator's again.
    const auto& history = state.recordSearch().History();
    ASSERT_GE(history.size(), 4);
    EXPECT_EQ(history[history.size() - 4].operation, "AutoTruncation");
    EXPECT_EQ(history[history.size() - 4].value, false);
    EXPECT_EQ(history.back().operation, "RetainSearch");
    EXPECT_EQ(history.back().value, state.preferences().RetainSearch());
}

TEST_F(UploadScreens, AMatchFileIsReadAsTheJobsRecordTypeAndCodingAllow) {
    const QByteArray marc8 = MarcData("m4j_brkrtest.mrc");
    const QByteArray utf8 = MarcData("m4j_brkrtest_UTF8.mrc");
    const QByteArray mixed = MarcData("m4j_sample1.mrc");
    REQUIRE_MARC_DATA(marc8);
    const QList<QByteArray> converted = RecordsOf(utf8);
    const QByteArray noKeys = record('a', 'a', {{"005", "1"}}) + record('a', 'a', {{"008", "x"}});
    transport->respond("CATALOGUE_SEARCH", [](const auto&) { return Answer{0, {{"RC", 1}}}; });
    struct Case {
        const char* what;
        QByteArray file;
        QString encoding;
        QStringList messages;
        std::vector<std::string> ends; // the status updates after the first
        int conversions;
        int searches;
    } cases[] = {
        {"MARC-8 records with Unicode chosen",
         marc8,
         "A",
         {"Unable to complete the match job.\r\n" + Mismatch},
         {status(5, 1, 0, 0)},
         0,
         0},
        {"MARC-8 records converted, one refused",
         marc8,
         "M8",
         {},
         {status(1, 1, 0, 7), status(2, 1, 7, 7)},
         8,
         7},
        {"holdings records in a bibliographic job",
         mixed,
         "A",
         {},
         {status(1, 4, 0, 4), status(2, 4, 4, 4)},
         0,
         4},
        {"no record gives a key", noKeys, "A", {}, {status(1, 0, 0, 0), status(2, 0, 0, 0)}, 0, 0},
        {"empty file", "", "A", {"Empty file."}, {status(5, 0, 0, 0)}, 0, 0},
        {"records separated by a line break",
         converted[0] + "\r\n" + converted[1],
         "A",
         {"Unable to complete the match job.\r\nUnrecognized record format encountered."},
         {status(5, 0, 0, 0)},
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        transport->clearSent();
        platform.Clear();
        int conversion = 0;
        transport->respond("CONVERTMARCCHARSET", [&](const auto&) {
            // The server's conversion of the file's record, and a refusal for the fifth.
            const QByteArray& done = converted[conversion++];
            if (conversion == 5)
                return Answer{10, {}};
            return Answer{0, {{"MR", QString::fromLatin1(done).toStdString()}}};
        });
        const auto screen = match(c.file, c.encoding);
        EXPECT_EQ(platform.Texts(), c.messages);
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(platform.Messages()[0].icon, c.messages[0] == "Empty file."
                                                       ? MessageIcon::None
                                                       : MessageIcon::Exclamation);
        }
        auto sent = saves();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(std::vector<std::string>(sent.begin() + 1, sent.end()), c.ends);
        EXPECT_EQ(count("CONVERTMARCCHARSET"), std::size_t(c.conversions));
        EXPECT_EQ(count("CATALOGUE_SEARCH"), std::size_t(c.searches));
        if (c.conversions > 0) {
            EXPECT_EQ(Shown(transport->sent("CONVERTMARCCHARSET")[0].fields),
                      Shown({{"CSI", "M8"},
                             {"CSO", "A"},
                             {"MR", QString::fromLatin1(RecordsOf(marc8)[0]).toStdString()}}));
        }
        EXPECT_EQ(screen->ProgressValue(), c.searches > 0 ? 100 : 0);
    }
}

TEST_F(UploadScreens, CancellingOrAFailedStatusUpdateStopsAMatchJob) {
    const QByteArray utf8 = MarcData("m4j_brkrtest_UTF8.mrc");
    REQUIRE_MARC_DATA(utf8);
    int searched = 0;
    transport->respond("CATALOGUE_SEARCH", [&](const auto&) {
        if (++searched == 3)
            running->CancelJob(); // the key in hand is finished first
        return Answer{0, {{"RC", 1}}};
    });
    match(utf8, "A");
    EXPECT_EQ(count("CATALOGUE_SEARCH"), 3u);
    EXPECT_EQ(saves().back(), status(4, 0, 3, 8));

    transport->clearSent();
    transport->queue("SAVE_JOB", Answer{9, {}});
    match(utf8, "A");
    EXPECT_EQ(platform.Texts().back(), "Failed to update match job. Error code = 9");
    EXPECT_EQ(saves().back(), status(5, 0, 0, 0));
    EXPECT_EQ(count("CATALOGUE_SEARCH"), 0u) << "the file is not read";
}

TEST_F(UploadScreens, AnAuthorityFileGoesUpInBulksOfTwentyInFileOrder) {
    const QList<QByteArray> names = RecordsOf(MarcData("eg_auth-subset100.mrc"));
    REQUIRE_MARC_DATA(MarcData("eg_auth-subset100.mrc"));
    QByteArray file;
    QList<QByteArray> records;
    for (int i = 0; i < 45; ++i) {
        records.push_back(names[i % names.size()]);
        file += records.back();
    }
    transport->respond("UPLOAD_MARC", [](const auto&) { return Answer{0, {}}; });
    const auto screen = load(file, "A");

    EXPECT_EQ(saves(), (std::vector<std::string>{status(6, 0, 0, 45), status(0, 0, 45, 45)}));
    const auto bulks = transport->sent("UPLOAD_MARC");
    ASSERT_EQ(bulks.size(), 3u);
    int next = 0;
    for (std::size_t b = 0; b < bulks.size(); ++b) {
        Fields expected;
        for (int i = 0; i < (b < 2 ? 20 : 5); ++i)
            expected.push_back({"MR", QString::fromLatin1(records[next++]).toStdString()});
        for (const auto& f : Fields{{"ID", NewJobId}, {"OI", "jsmith"}, {"RP", int(b) * 20 + 1}})
            expected.push_back(f);
        EXPECT_EQ(Shown(bulks[b].fields), Shown(expected)) << "bulk " << b + 1;
    }
    EXPECT_EQ(screen->ProgressLabel(), "Processing 45 of 45 records...");
    EXPECT_EQ(screen->FoundCount(), "45");
    EXPECT_EQ(screen->ErrorCount(), "0");
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(UploadScreens, AnAuthorityUploadSkipsOtherRecordsAndStopsAtWhatItCannotSend) {
    const QList<QByteArray> names = RecordsOf(MarcData("eg_auth-subset100.mrc"));
    const QList<QByteArray> books = RecordsOf(MarcData("m4j_brkrtest_UTF8.mrc"));
    REQUIRE_MARC_DATA(MarcData("eg_auth-subset100.mrc"));
    QByteArray withBook;
    for (int i = 0; i < names.size(); ++i)
        withBook += (i == 8 ? books[0] : QByteArray()) + names[i];
    QByteArray marc8 = names[0];
    marc8[9] = ' ';
    struct Case {
        const char* what;
        QByteArray file;
        QString encoding;
        Answer upload;
        QStringList messages;
        std::vector<std::string> statuses;
        std::vector<int> bulks; // records per upload
        QByteArray firstUploaded;
    } cases[] = {
        {"a bibliographic record among them",
         withBook,
         "A",
         {0, {}},
         {},
         {status(6, 0, 0, 18), status(0, 1, 18, 18)},
         {17},
         names[0]},
        {"MARC-8 with Unicode chosen",
         marc8,
         "A",
         {0, {}},
         {"Unable to complete the auth load match job.\r\n" + Mismatch},
         {status(6, 0, 0, 1), status(5, 1, 1, 1)},
         {},
         {}},
        {"MARC-8 converted",
         marc8,
         "M8",
         {0, {}},
         {},
         {status(6, 0, 0, 1), status(0, 0, 1, 1)},
         {1},
         names[0]},
        {"the upload refused",
         names[0] + names[1],
         "A",
         {8, {}},
         {"Unable to complete the load match job.\r\nFailed to upload MARC data."},
         {status(6, 0, 0, 2), status(5, 0, 2, 2)},
         {2},
         names[0]},
        {"empty file", "", "A", {0, {}}, {"Empty file."}, {status(5, 0, 0, 0)}, {}, {}},
        {"records separated by a line break",
         names[0] + "\n" + names[1],
         "A",
         {0, {}},
         {"Unable to complete the match job.\r\nUnrecognized record format encountered."},
         {status(5, 0, 0, 1)},
         {},
         {}},
    };
    transport->respond("CONVERTMARCCHARSET", [&](const auto&) {
        return Answer{0, {{"MR", QString::fromLatin1(names[0]).toStdString()}}};
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        transport->clearSent();
        platform.Clear();
        transport->respond("UPLOAD_MARC", [&](const auto&) { return c.upload; });
        const auto screen = load(c.file, c.encoding);
        EXPECT_EQ(platform.Texts(), c.messages);
        EXPECT_EQ(saves(), c.statuses);
        std::vector<int> bulks;
        for (const auto& request : transport->sent("UPLOAD_MARC"))
            bulks.push_back(int(std::count_if(request.fields.begin(), request.fields.end(),
                                              [](const auto& f) { return f.key == "MR"; })));
        EXPECT_EQ(bulks, c.bulks);
        if (!c.bulks.empty()) {
            EXPECT_EQ(transport->sent("UPLOAD_MARC")[0].fields[0].value,
                      orvane::wire::Value(QString::fromLatin1(c.firstUploaded).toStdString()));
        }
    }
}

TEST_F(UploadScreens, CancellingAnUploadKillsTheJobAfterTheRecordInHand) {
    const QList<QByteArray> names = RecordsOf(MarcData("eg_auth-subset100.mrc"));
    REQUIRE_MARC_DATA(MarcData("eg_auth-subset100.mrc"));
    QByteArray file;
    for (int i = 0; i < 3; ++i)
        for (const QByteArray& r : names)
            file += r;
    transport->respond("UPLOAD_MARC", [&](const auto&) {
        running->CancelJob();
        return Answer{0, {}};
    });
    const auto screen = load(file, "A");
    EXPECT_EQ(transport->sent("UPLOAD_MARC").size(), 1u);
    EXPECT_EQ(saves().back(), status(4, 0, 20, 51));
    EXPECT_EQ(screen->ProgressLabel(), "Processing 20 of 51 records...");
    EXPECT_EQ(screen->ProgressValue(), 39);
}

class MatchHandOver : public UploadScreens {
protected:
    std::unique_ptr<frmJobManagement_SubmitMatch> submitted(const QString& newSet) {
        auto screen = std::make_unique<frmJobManagement_SubmitMatch>(state);
        screen->Activate();
        const Controls c{*screen};
        c.type("fpJobName", "Match");
        c.type("fpRecordList", file(MarcData("m4j_brkrtest_UTF8.mrc")));
        c.type("fpNewRecordSet", newSet);
        transport->clearSent();
        c.submit();
        return screen;
    }
};

TEST_F(MatchHandOver, TheNewSetIsMadeAndFilledThenTheScreenResets) {
    REQUIRE_MARC_DATA(MarcData("m4j_brkrtest_UTF8.mrc"));
    transport->respond("ADD_RECORD_SET", [](const auto&) { return Answer{0, {{"RSID", 400}}}; });
    transport->respond("CATALOGUE_SEARCH", [](const auto&) { return Answer{0, {{"RC", 1}}}; });
    const auto screen = submitted("Hits");
    EXPECT_EQ(Shown(sentFields("ADD_RECORD_SET")), R"(RSN="Hits", RST=1, RT=1, OI="jsmith")");
    const auto sent = saves();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1], "SRS=400, " + status(1, 0, 0, 0));
    EXPECT_EQ(sent.back(), status(2, 0, 8, 8));
    EXPECT_TRUE(platform.Messages().empty()) << "no message: the progress told it all";
    EXPECT_TRUE(Controls{*screen}.get<QLineEdit>("fpJobName").text().isEmpty());
    EXPECT_EQ(transport->codes().back(), "GET_RECORD_SETS");
}

TEST_F(MatchHandOver, WithoutASetForItsMatchesTheJobIsMarkedFailed) {
    REQUIRE_MARC_DATA(MarcData("m4j_brkrtest_UTF8.mrc"));
    transport->respond("ADD_RECORD_SET", [](const auto&) { return Answer{4, {}}; });
    auto screen = submitted("Taken");
    EXPECT_EQ(saves().back(), R"(ID=77, JS=5, OI="jsmith")");
    EXPECT_EQ(platform.Texts(),
              QStringList{"Record set name is already in use. Please select a different name."});
    EXPECT_EQ(count("CATALOGUE_SEARCH"), 0u);
    EXPECT_EQ(Controls{*screen}.get<QLineEdit>("fpJobName").text(), "Match") << "inputs kept";

    platform.Clear();
    transport->respond("SAVE_JOB", [](const orvane::wire::Request& request) {
        return Answer{orvane::wire::findField(request.fields, "JS") ? 9 : 0, {{"ID", NewJobId}}};
    });
    screen = submitted("Taken");
    EXPECT_EQ(platform.Texts().back(), "Failed to update job.");
}

} // namespace
} // namespace velumar
