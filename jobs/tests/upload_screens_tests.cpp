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
        QByteArray first;
        for (Result r = Result::Record; r == Result::Record && got.size() < 5;) {
            got.push_back(r = reader.Next());
            if (got.size() == 1 && r == Result::Record)
                first = reader.Record();
        }
        EXPECT_EQ(got, c.results) << c.what;
        EXPECT_EQ(first, got[0] == Result::Record ? one : QByteArray()) << c.what;
    }
}

TEST(FileRecord, TakesItsTypeCodingAndKeyFromTheRecord) {
    // The record, then its type, whether it is Unicode, and its key.
    const std::vector<std::pair<QByteArray, QString>> cases{
        {record('a', 'a', {{"001", "12345"}, {"003", "(ABC)"}}), "1 a (ABC)12345"},
        {record('z', 'a', {{"001", "12345"}, {"003", "ABC"}}), "3 a (ABC)12345"},
        {record('x', ' ', {{"001", " 12345 "}, {"003", " ABC "}}), "2 - (ABC)12345"},
        {record('m', 'a', {{"001", "12345"}}), "1 a 12345"},
        {record('a', 'a', {{"005", "20250101"}}), "1 a "},
        {QByteArray("00026nam  2200025   4500\x1d"), "0 - "}, // not a record
    };
    for (const auto& [octets, expected] : cases) {
        FileRecord r(octets);
        EXPECT_EQ(QString::number(r.RecordType()) + (r.IsUnicode() ? " a " : " - ") + r.MatchKey(),
                  expected);
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
    // Runs a progress screen over the bytes to its end; the screen for a look afterwards.
    template <typename Screen, typename... Inputs>
    std::unique_ptr<Screen> run(const QByteArray& bytes, const QString& encoding,
                                Inputs... inputs) {
        transport->clearSent();
        platform.Clear();
        auto screen = std::make_unique<Screen>(state);
        running = screen.get();
        screen->Initialize(NewJobId, inputs..., file(bytes), encoding);
        screen->exec();
        EXPECT_TRUE(screen->Finished());
        return screen;
    }
    auto match(const QByteArray& bytes, const QString& encoding) {
        return run<frmMatchJobProgress>(bytes, encoding, 102, 1);
    }
    auto load(const QByteArray& bytes, const QString& encoding) {
        return run<frmAuthLoadMatchJobProgress>(bytes, encoding, 3);
    }
    // The status updates sent, each as JS/EC/RP/RTP.
    QString progress() const {
        QStringList updates;
        for (const auto& request : transport->sent("SAVE_JOB")) {
            if (!orvane::wire::findField(request.fields, "JS"))
                continue; // a new job, not a status update
            QStringList values;
            for (const char* key : {"JS", "EC", "RP", "RTP"})
                if (const auto* field = orvane::wire::findField(request.fields, key))
                    values.push_back(QString::number(std::get<std::int32_t>(field->value)));
            updates.push_back(values.join('/'));
        }
        return updates.join(' ');
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
    QString messages() const { return platform.Texts().join(" | "); }

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
    const auto searches = transport->sent("CATALOGUE_SEARCH");
    ASSERT_EQ(searches.size(), 8u);
    for (std::size_t i = 0; i < searches.size(); ++i)
        EXPECT_EQ(Shown(searches[i].fields), R"(IX="035A", KEY="(ViArRB)tes9600000)" +
                                                 std::to_string(i + 1) +
                                                 R"(", TR=false, OI="jsmith")")
            << "each key in file order, whole, never truncated";
    const auto adds = transport->sent("ADD_TO_RECORD_SET");
    ASSERT_EQ(adds.size(), 6u);
    EXPECT_EQ(Shown(adds[0].fields), R"(OI="jsmith", RSID=102, RID=5, RID=9)");
    EXPECT_EQ(screen->ProgressLabel(), "Processing 8 of 8 records...");
    EXPECT_EQ(screen->ProgressValue(), 100);
    EXPECT_EQ(screen->FoundCount() + "/" + screen->ErrorCount(), "7/1");
    EXPECT_EQ(messages(), "");
    // The search settings are off while the keys are searched, then the operator's again.
    QStringList calls;
    for (const auto& call :
         state.recordSearch().History().mid(state.recordSearch().History().size() - 4))
        calls.push_back(call.operation + "=" + call.value.toString());
    const Preferences& preferences = state.preferences();
    EXPECT_EQ(calls,
              (QStringList{"AutoTruncation=false", "RetainSearch=false",
                           "AutoTruncation=" + QVariant(preferences.AutoTruncate()).toString(),
                           "RetainSearch=" + QVariant(preferences.RetainSearch()).toString()}));
}

TEST_F(UploadScreens, AMatchFileIsReadAsTheJobsRecordTypeAndCodingAllow) {
    const QByteArray marc8 = MarcData("m4j_brkrtest.mrc");
    REQUIRE_MARC_DATA(marc8);
    const QList<QByteArray> converted = RecordsOf(MarcData("m4j_brkrtest_UTF8.mrc"));
    const QByteArray noKeys = record('a', 'a', {{"005", "1"}}) + record('a', 'a', {{"008", "x"}});
    const QString unable = "Unable to complete the match job.\r\n";
    transport->respond("CATALOGUE_SEARCH", [](const auto&) { return Answer{0, {{"RC", 1}}}; });
    struct Case {
        QByteArray file;
        QString encoding;
        QString messages;
        QString progress; // JS/EC/RP/RTP of each status update
        int conversions;
        int searches;
    } cases[] = {
        {marc8, "A", unable + Mismatch, "1/0/0/0 5/1/0/0", 0, 0},
        // Converted by the server, but for the fifth record.
        {marc8, "M8", "", "1/0/0/0 1/1/0/7 2/1/7/7", 8, 7},
        // Holdings records in a bibliographic job.
        {MarcData("m4j_sample1.mrc"), "A", "", "1/0/0/0 1/4/0/4 2/4/4/4", 0, 4},
        {noKeys, "A", "", "1/0/0/0 1/0/0/0 2/0/0/0", 0, 0},
        {"", "A", "Empty file.", "1/0/0/0 5/0/0/0", 0, 0},
        {converted[0] + "\r\n" + converted[1], "A",
         unable + "Unrecognized record format encountered.", "1/0/0/0 5/0/0/0", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress.toStdString());
        int conversion = 0;
        transport->respond("CONVERTMARCCHARSET", [&](const auto&) {
            const QByteArray& done = converted[conversion++];
            return conversion == 5 ? Answer{10, {}}
                                   : Answer{0, {{"MR", QString::fromLatin1(done).toStdString()}}};
        });
        const auto screen = match(c.file, c.encoding);
        EXPECT_EQ(messages(), c.messages);
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(platform.Messages()[0].icon,
                      c.file.isEmpty() ? MessageIcon::None : MessageIcon::Exclamation);
        }
        EXPECT_EQ(progress(), c.progress);
        EXPECT_EQ(count("CONVERTMARCCHARSET"), std::size_t(c.conversions));
        EXPECT_EQ(count("CATALOGUE_SEARCH"), std::size_t(c.searches));
        if (c.conversions > 0) {
            EXPECT_EQ(Shown(transport->sent("CONVERTMARCCHARSET")[0].fields),
                      R"(CSI="M8", CSO="A", MR=")" +
                          QString::fromLatin1(RecordsOf(marc8)[0]).toStdString() + '"');
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
    EXPECT_EQ(progress(), "1/0/0/0 1/0/0/8 4/0/3/8");

    transport->queue("SAVE_JOB", Answer{9, {}});
    match(utf8, "A");
    EXPECT_EQ(messages(), "Failed to update match job. Error code = 9");
    EXPECT_EQ(progress(), "1/0/0/0 5/0/0/0");
    EXPECT_EQ(count("CATALOGUE_SEARCH"), 0u) << "the file is not read";
}

TEST_F(UploadScreens, AnAuthorityFileGoesUpInBulksOfTwentyInFileOrder) {
    const QList<QByteArray> names = RecordsOf(MarcData("eg_auth-subset100.mrc"));
    REQUIRE_MARC_DATA(MarcData("eg_auth-subset100.mrc"));
    QByteArray file;
    for (int i = 0; i < 45; ++i)
        file += names[i % names.size()];
    transport->respond("UPLOAD_MARC", [](const auto&) { return Answer{0, {}}; });
    const auto screen = load(file, "A");

    EXPECT_EQ(saves(), (std::vector<std::string>{status(6, 0, 0, 45), status(0, 0, 45, 45)}));
    const auto bulks = transport->sent("UPLOAD_MARC");
    ASSERT_EQ(bulks.size(), 3u);
    for (int b = 0, next = 0; b < 3; ++b) {
        Fields expected;
        for (int i = 0; i < (b < 2 ? 20 : 5); ++i, ++next)
            expected.push_back(
                {"MR", QString::fromLatin1(names[next % names.size()]).toStdString()});
        for (const auto& f : Fields{{"ID", NewJobId}, {"OI", "jsmith"}, {"RP", b * 20 + 1}})
            expected.push_back(f);
        EXPECT_EQ(Shown(bulks[std::size_t(b)].fields), Shown(expected)) << "bulk " << b + 1;
    }
    EXPECT_EQ(screen->ProgressLabel(), "Processing 45 of 45 records...");
    EXPECT_EQ(screen->FoundCount() + "/" + screen->ErrorCount(), "45/0");
    EXPECT_EQ(messages(), "");
}

TEST_F(UploadScreens, AnAuthorityUploadSkipsOtherRecordsAndStopsAtWhatItCannotSendOrCancel) {
    const QList<QByteArray> names = RecordsOf(MarcData("eg_auth-subset100.mrc"));
    REQUIRE_MARC_DATA(MarcData("eg_auth-subset100.mrc"));
    QByteArray withBook;
    for (int i = 0; i < names.size(); ++i)
        withBook += (i == 8 ? RecordsOf(MarcData("m4j_brkrtest_UTF8.mrc"))[0] : "") + names[i];
    QByteArray marc8 = names[1];
    marc8[9] = ' ';
    const QByteArray thrice = names.join() + names.join() + names.join();
    struct Case {
        QByteArray file;
        QString encoding;
        qint16 upload; // the answer to each bulk; -1: Cancel Job as the first is sent
        QString messages;
        QString progress; // JS/EC/RP/RTP of each status update
        QString bulks;    // records per bulk
        QByteArray first; // the first record uploaded: as read, or converted
    } cases[] = {
        // A bibliographic record among them.
        {withBook, "A", 0, "", "6/0/0/18 0/1/18/18", "17", names[0]},
        {marc8, "A", 0, "Unable to complete the auth load match job.\r\n" + Mismatch,
         "6/0/0/1 5/1/1/1", "", ""},
        {marc8, "M8", 0, "", "6/0/0/1 0/0/1/1", "1", names[1]},
        {names[0] + names[1], "A", 8,
         "Unable to complete the load match job.\r\nFailed to upload MARC data.", "6/0/0/2 5/0/2/2",
         "2", names[0]},
        {"", "A", 0, "Empty file.", "5/0/0/0", "", ""},
        {names[0] + "\n" + names[1], "A", 0,
         "Unable to complete the match job.\r\nUnrecognized record format encountered.", "5/0/0/1",
         "", ""},
        {thrice, "A", -1, "", "6/0/0/51 4/0/20/51", "20", names[0]},
    };
    // The server's conversion gives the record its Unicode form back.
    transport->respond("CONVERTMARCCHARSET", [&](const auto&) {
        return Answer{0, {{"MR", QString::fromLatin1(names[1]).toStdString()}}};
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress.toStdString());
        transport->respond("UPLOAD_MARC", [&](const auto&) {
            if (c.upload < 0)
                running->CancelJob();
            return Answer{std::max<qint16>(c.upload, 0), {}};
        });
        const auto screen = load(c.file, c.encoding);
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(progress(), c.progress);
        QStringList bulks;
        for (const auto& request : transport->sent("UPLOAD_MARC"))
            bulks.push_back(
                QString::number(std::count_if(request.fields.begin(), request.fields.end(),
                                              [](const auto& f) { return f.key == "MR"; })));
        EXPECT_EQ(bulks.join(' '), c.bulks);
        if (!c.bulks.isEmpty()) {
            EXPECT_EQ(transport->sent("UPLOAD_MARC")[0].fields[0].value,
                      orvane::wire::Value(QString::fromLatin1(c.first).toStdString()));
        }
    }
}

class MatchHandOver : public UploadScreens {
protected:
    std::unique_ptr<frmJobManagement_SubmitMatch> submitted() {
        auto screen = std::make_unique<frmJobManagement_SubmitMatch>(state);
        screen->Activate();
        const Controls c{*screen};
        c.play("fpJobName=Match|fpNewRecordSet=Hits|fpRecordList=" +
               file(MarcData("m4j_brkrtest_UTF8.mrc")));
        transport->clearSent();
        c.submit();
        return screen;
    }
};

TEST_F(MatchHandOver, TheNewSetIsMadeAndFilledOrElseTheJobIsMarkedFailed) {
    REQUIRE_MARC_DATA(MarcData("m4j_brkrtest_UTF8.mrc"));
    transport->respond("CATALOGUE_SEARCH", [](const auto&) { return Answer{0, {{"RC", 1}}}; });
    transport->queue("ADD_RECORD_SET", Answer{0, {{"RSID", 400}}});
    auto screen = submitted();
    EXPECT_EQ(Shown(sentFields("ADD_RECORD_SET")), R"(RSN="Hits", RST=1, RT=1, OI="jsmith")");
    ASSERT_EQ(saves().size(), 4u);
    EXPECT_EQ(saves()[1], "SRS=400, " + status(1, 0, 0, 0));
    EXPECT_EQ(progress(), "1/0/0/0 1/0/0/8 2/0/8/8");
    EXPECT_EQ(messages(), "") << "the progress screen told it all";
    EXPECT_TRUE(Controls{*screen}.get<QLineEdit>("fpJobName").text().isEmpty());
    EXPECT_EQ(transport->codes().back(), "GET_RECORD_SETS");

    // No set for the matches: the job is marked failed, the inputs kept.
    transport->respond("ADD_RECORD_SET", [](const auto&) { return Answer{4, {}}; });
    screen = submitted();
    EXPECT_EQ(saves().back(), R"(ID=77, JS=5, OI="jsmith")");
    EXPECT_EQ(messages(), "Record set name is already in use. Please select a different name.");
    EXPECT_EQ(count("CATALOGUE_SEARCH"), 0u);
    EXPECT_EQ(Controls{*screen}.get<QLineEdit>("fpJobName").text(), "Match");
    platform.Clear();
    transport->respond("SAVE_JOB", [](const orvane::wire::Request& request) {
        return Answer{orvane::wire::findField(request.fields, "JS") ? 9 : 0, {{"ID", NewJobId}}};
    });
    submitted();
    EXPECT_EQ(platform.Texts().back(), "Failed to update job.");
}

} // namespace
} // namespace velumar
