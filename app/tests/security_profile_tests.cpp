// The security profile: its three loading steps exactly as sent and read,
// its flags, every query over record types 0 to 4 and job types 0 to 8, and
// the list fillers.
#include "qt_printers.h"
#include "request_channel.h"
#include "testing/scripted_server.h"
#include "scripted_transport.h"
#include "security/security_profile.h"

#include <QComboBox>
#include <QListWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;
using testing::librariesAnswer;
using testing::securityAnswer;
using testing::securityCodes;
using Transport = orvane::testing::ScriptedTransport;

// A channel that writes down every call made on it before passing it on.
class CallLog final : public orvane::Channel {
public:
    explicit CallLog(orvane::Channel& inner) : inner_(inner) {}

    bool Open(int code, orvane::Session& session, orvane::StartupCompanion* companion) override {
        return inner_.Open(code, session, companion);
    }
    void AddField(const QString& key, const QString& value) override {
        calls.push_back("AddField " + key);
        inner_.AddField(key, value);
    }
    void AddNumericField(const QString& key, qint32 value) override {
        calls.push_back("AddNumericField " + key);
        inner_.AddNumericField(key, value);
    }
    void AddBoolField(const QString& key, bool value) override {
        calls.push_back("AddBoolField " + key);
        inner_.AddBoolField(key, value);
    }
    qint16 SendRequest(const QString& code) override {
        calls.push_back("SendRequest " + code);
        return inner_.SendRequest(code);
    }
    QString GetField(const QString& key) override {
        calls.push_back("GetField " + key);
        return inner_.GetField(key);
    }
    qint32 GetNumericField(const QString& key) override {
        calls.push_back("GetNumericField " + key);
        return inner_.GetNumericField(key);
    }
    bool GetBoolField(const QString& key) override {
        calls.push_back("GetBoolField " + key);
        return inner_.GetBoolField(key);
    }
    bool NextRecord(const QString& key) override {
        calls.push_back("NextRecord " + key);
        return inner_.NextRecord(key);
    }
    int CountRecords(const QString& key) override {
        calls.push_back("CountRecords " + key);
        return inner_.CountRecords(key);
    }
    void WriteLog(const QString& text) override { inner_.WriteLog(text); }

    QStringList calls;

private:
    orvane::Channel& inner_;
};

class SecurityProfileLoad : public ::testing::Test {
protected:
    void SetUp() override { testing::scriptHealthyServer(*transport); }

    SecurityProfile load() { return SecurityProfile(channel, "jsmith"); }

    std::shared_ptr<Transport> transport = std::make_shared<Transport>();
    orvane::RequestChannel channel{transport, "tok"};
};

TEST_F(SecurityProfileLoad, SendsItsThreeRequestsWithExactlyTheirFields) {
    const SecurityProfile profile = load();

    EXPECT_EQ(transport->codes(),
              (std::vector<std::string>{"GET_VLM_SECURITY", "PKGCHK", "OWNINGLIBRARIES"}));
    EXPECT_EQ(transport->sent("GET_VLM_SECURITY")[0].fields, (Fields{{"OI", "jsmith"}}));
    EXPECT_EQ(transport->sent("PKGCHK")[0].fields, (Fields{{"PKGNM", "MFHD Keyword Search"}}));
    EXPECT_TRUE(transport->sent("OWNINGLIBRARIES")[0].fields.empty());
    EXPECT_FALSE(profile.LoadFailed());
    EXPECT_FALSE(profile.NotAuthorized());
}

TEST_F(SecurityProfileLoad, ReadsEveryRightInTheServersOrderThenThePackageThenTheLists) {
    CallLog log(channel);
    SecurityProfile profile(log, "jsmith");

    QStringList expected{"AddField OI", "SendRequest GET_VLM_SECURITY"};
    for (const char* code :
         {"AV",   "RSBA",  "RSBU", "RSBD", "RSBV", "RSBP", "RSBDR", "RSMA",  "RSMU", "RSMD", "RSMV",
          "RSMP", "RSMDR", "RSAA", "RSAU", "RSAD", "RSAV", "RSAP",  "RSADR", "DCRA", "DCRU", "DCRD",
          "DCRV", "SRA",   "SRU",  "SRD",  "SRV",  "DCB",  "SJB",   "IJB",   "JHB",  "RLB",  "RRB",
          "DCM",  "SJM",   "JHM",  "RLM",  "RRM",  "DCA",  "SJA",   "JHA",   "RLA",  "RRA",  "ALA",
          "JHAL", "RLAL",  "RRAL", "KALJ", "KDJ",  "KSJ",  "KIJ"})
        expected.push_back(QStringLiteral("GetBoolField ") + code);
    for (int i = 0; i < 2; ++i)
        expected << "NextRecord LI"
                 << "GetNumericField LI"
                 << "GetField LN";
    expected << "NextRecord LI";
    expected << "AddField PKGNM"
             << "SendRequest PKGCHK"
             << "GetBoolField PKGINST";
    expected << "SendRequest OWNINGLIBRARIES";
    for (int i = 0; i < 2; ++i)
        expected << "NextRecord LBI"
                 << "GetNumericField LBI"
                 << "GetField LBN";
    expected << "NextRecord LBI";
    EXPECT_EQ(log.calls, expected);
}

TEST_F(SecurityProfileLoad, KeepsLocationsAndLibrariesInTheServersOrder) {
    transport->queue("GET_VLM_SECURITY",
                     securityAnswer({"AV"}, {{9, "Stacks"}, {2, "Annex"}, {5, "Basement"}}));
    transport->queue("OWNINGLIBRARIES", librariesAnswer({{30, "West"}, {10, "East"}}));
    const SecurityProfile profile = load();

    EXPECT_EQ(profile.Locations(),
              (QList<IdNameBean>{{9, "Stacks"}, {2, "Annex"}, {5, "Basement"}}));
    EXPECT_EQ(profile.OwningLibraries(), (QList<IdNameBean>{{30, "West"}, {10, "East"}}));
}

TEST_F(SecurityProfileLoad, AStatusSixOnTheRightsMeansNotAuthorizedAndTheOtherStepsStillRun) {
    transport->queue("GET_VLM_SECURITY", Answer{6, {}});
    const SecurityProfile profile = load();

    EXPECT_TRUE(profile.NotAuthorized());
    EXPECT_FALSE(profile.LoadFailed());
    for (std::size_t i = 0; i + 1 < RightCount; ++i) // all but PKGINST, the last
        EXPECT_FALSE(profile.Has(static_cast<Right>(i))) << rightCode(static_cast<Right>(i));
    EXPECT_TRUE(profile.Locations().isEmpty());
    EXPECT_TRUE(profile.HoldingsKeywordSearch());
    EXPECT_EQ(profile.OwningLibraries().size(), 2);
}

TEST_F(SecurityProfileLoad, AnyOtherFailureOfTheRightsIsALoadFailure) {
    for (qint32 status : {1, 7, 99, 9001}) {
        transport->queue("GET_VLM_SECURITY", Answer{status, {{"AV", true}, {"LI", 1}}});
        const SecurityProfile profile = load();
        EXPECT_TRUE(profile.LoadFailed()) << status;
        EXPECT_FALSE(profile.NotAuthorized()) << status;
        EXPECT_FALSE(profile.AV()) << status;
        EXPECT_TRUE(profile.Locations().isEmpty()) << status;
        EXPECT_TRUE(profile.HoldingsKeywordSearch()) << status;
        EXPECT_EQ(profile.OwningLibraries().size(), 2) << status;
    }
}

TEST_F(SecurityProfileLoad, AFailedPackageCheckKeepsTheRightsAndLibraries) {
    transport->queue("PKGCHK", Answer{90, {{"PKGINST", true}}});
    const SecurityProfile profile = load();

    EXPECT_TRUE(profile.LoadFailed());
    EXPECT_FALSE(profile.HoldingsKeywordSearch());
    EXPECT_TRUE(profile.AV());
    EXPECT_EQ(profile.OwningLibraries().size(), 2);
}

TEST_F(SecurityProfileLoad, FailedOwningLibrariesLeaveTheListEmpty) {
    transport->queue("OWNINGLIBRARIES", Answer{99, {{"LBI", 1}, {"LBN", "x"}}});
    const SecurityProfile profile = load();

    EXPECT_TRUE(profile.LoadFailed());
    EXPECT_TRUE(profile.OwningLibraries().isEmpty());
    EXPECT_TRUE(profile.AV());
    EXPECT_EQ(profile.Locations().size(), 2);
}

TEST_F(SecurityProfileLoad, RefusedRightsAndAFailedPackageCheckSetBothFlags) {
    transport->queue("GET_VLM_SECURITY", Answer{6, {}});
    transport->queue("PKGCHK", Answer{99, {}});
    const SecurityProfile profile = load();

    EXPECT_TRUE(profile.NotAuthorized());
    EXPECT_TRUE(profile.LoadFailed());
}

// A profile holding exactly these rights ("PKGINST" included or not).
SecurityProfile profileWith(const QStringList& held) {
    auto transport = std::make_shared<Transport>();
    transport->queue("GET_VLM_SECURITY", securityAnswer(held));
    transport->queue("PKGCHK", Answer{0, {{"PKGINST", held.contains("PKGINST")}}});
    transport->queue("OWNINGLIBRARIES", Answer{});
    orvane::RequestChannel channel(transport, "tok");
    return SecurityProfile(channel, "jsmith");
}

QStringList allCodes() {
    return securityCodes() + QStringList{"PKGINST"};
}

TEST(SecurityProfileRights, EachCodeHasItsOwnQuery) {
    using Query = bool (SecurityProfile::*)() const;
    const std::vector<std::pair<QString, Query>> queries{
        {"AV", &SecurityProfile::AV},       {"RSBA", &SecurityProfile::RSBA},
        {"RSBU", &SecurityProfile::RSBU},   {"RSBD", &SecurityProfile::RSBD},
        {"RSBV", &SecurityProfile::RSBV},   {"RSBP", &SecurityProfile::RSBP},
        {"RSBDR", &SecurityProfile::RSBDR}, {"RSMA", &SecurityProfile::RSMA},
        {"RSMU", &SecurityProfile::RSMU},   {"RSMD", &SecurityProfile::RSMD},
        {"RSMV", &SecurityProfile::RSMV},   {"RSMP", &SecurityProfile::RSMP},
        {"RSMDR", &SecurityProfile::RSMDR}, {"RSAA", &SecurityProfile::RSAA},
        {"RSAU", &SecurityProfile::RSAU},   {"RSAD", &SecurityProfile::RSAD},
        {"RSAV", &SecurityProfile::RSAV},   {"RSAP", &SecurityProfile::RSAP},
        {"RSADR", &SecurityProfile::RSADR}, {"DCRA", &SecurityProfile::DCRA},
        {"DCRU", &SecurityProfile::DCRU},   {"DCRD", &SecurityProfile::DCRD},
        {"DCRV", &SecurityProfile::DCRV},   {"SRA", &SecurityProfile::SRA},
        {"SRU", &SecurityProfile::SRU},     {"SRD", &SecurityProfile::SRD},
        {"SRV", &SecurityProfile::SRV},     {"DCB", &SecurityProfile::DCB},
        {"SJB", &SecurityProfile::SJB},     {"IJB", &SecurityProfile::IJB},
        {"JHB", &SecurityProfile::JHB},     {"RLB", &SecurityProfile::RLB},
        {"RRB", &SecurityProfile::RRB},     {"DCM", &SecurityProfile::DCM},
        {"SJM", &SecurityProfile::SJM},     {"JHM", &SecurityProfile::JHM},
        {"RLM", &SecurityProfile::RLM},     {"RRM", &SecurityProfile::RRM},
        {"DCA", &SecurityProfile::DCA},     {"SJA", &SecurityProfile::SJA},
        {"JHA", &SecurityProfile::JHA},     {"RLA", &SecurityProfile::RLA},
        {"RRA", &SecurityProfile::RRA},     {"ALA", &SecurityProfile::ALA},
        {"JHAL", &SecurityProfile::JHAL},   {"RLAL", &SecurityProfile::RLAL},
        {"RRAL", &SecurityProfile::RRAL},   {"KALJ", &SecurityProfile::KALJ},
        {"KDJ", &SecurityProfile::KDJ},     {"KSJ", &SecurityProfile::KSJ},
        {"KIJ", &SecurityProfile::KIJ},     {"PKGINST", &SecurityProfile::PKGINST},
    };
    ASSERT_EQ(queries.size(), static_cast<std::size_t>(allCodes().size()));
    for (const auto& held : allCodes()) {
        const SecurityProfile profile = profileWith({held});
        for (const auto& [code, query] : queries)
            EXPECT_EQ((profile.*query)(), code == held)
                << "holding " << held.toStdString() << ", asking " << code.toStdString();
    }
}

struct PerTypeQuery {
    const char* name;
    std::function<bool(const SecurityProfile&, int)> query;
    QStringList codes; // bibliographic, holdings, authority
};

TEST(SecurityProfileRights, PerRecordTypeQueriesAnswerTheirKindsRightAndFalseForOtherTypes) {
    const std::vector<PerTypeQuery> queries{
        {"RecordSetAdd", &SecurityProfile::RecordSetAdd, {"RSBA", "RSMA", "RSAA"}},
        {"RecordSetUpdate", &SecurityProfile::RecordSetUpdate, {"RSBU", "RSMU", "RSAU"}},
        {"RecordSetDelete", &SecurityProfile::RecordSetDelete, {"RSBD", "RSMD", "RSAD"}},
        {"RecordSetView", &SecurityProfile::RecordSetView, {"RSBV", "RSMV", "RSAV"}},
        {"DataChangeJob", &SecurityProfile::DataChangeJob, {"DCB", "DCM", "DCA"}},
        {"ScanJob", &SecurityProfile::ScanJob, {"SJB", "SJM", "SJA"}},
    };
    for (const auto& held : allCodes()) {
        const SecurityProfile profile = profileWith({held});
        for (const auto& q : queries)
            for (int type = 0; type <= 4; ++type) {
                const bool expected = type >= 1 && type <= 3 && q.codes[type - 1] == held;
                EXPECT_EQ(q.query(profile, type), expected)
                    << q.name << "(" << type << ") holding " << held.toStdString();
            }
    }
    const SecurityProfile everything = profileWith(allCodes());
    for (const auto& q : queries) {
        EXPECT_FALSE(q.query(everything, 0)) << q.name;
        EXPECT_FALSE(q.query(everything, 4)) << q.name;
        EXPECT_FALSE(q.query(everything, -1)) << q.name;
    }
}

TEST(SecurityProfileRights, CombinedQueriesAnswerTheOrOfTheirRights) {
    const std::vector<
        std::pair<const char*, std::pair<std::function<bool(const SecurityProfile&)>, QStringList>>>
        queries{
            {"RecordSetAddAny", {&SecurityProfile::RecordSetAddAny, {"RSBA", "RSMA", "RSAA"}}},
            {"RecordSetUpdateAny",
             {&SecurityProfile::RecordSetUpdateAny, {"RSBU", "RSMU", "RSAU"}}},
            {"RecordSetViewAny", {&SecurityProfile::RecordSetViewAny, {"RSBV", "RSMV", "RSAV"}}},
            {"RecordSetPreviewAny",
             {&SecurityProfile::RecordSetPreviewAny, {"RSBP", "RSMP", "RSAP"}}},
            {"DataChangeJobAny", {&SecurityProfile::DataChangeJobAny, {"DCB", "DCM", "DCA"}}},
            {"ScanJobAny", {&SecurityProfile::ScanJobAny, {"SJB", "SJM", "SJA"}}},
            {"RuleViewAny", {&SecurityProfile::RuleViewAny, {"DCRV", "SRV"}}},
            {"IndexJob", {&SecurityProfile::IndexJob, {"IJB"}}},
            {"AuthorityLoad", {&SecurityProfile::AuthorityLoad, {"ALA"}}},
            {"HoldingsKeywordSearch", {&SecurityProfile::HoldingsKeywordSearch, {"PKGINST"}}},
        };
    for (const auto& held : allCodes()) {
        const SecurityProfile profile = profileWith({held});
        for (const auto& [name, query] : queries)
            EXPECT_EQ(query.first(profile), query.second.contains(held))
                << name << " holding " << held.toStdString();
        EXPECT_EQ(profile.SearchRight(), QVariant(held == "AV")) << held.toStdString();
    }
    EXPECT_EQ(profileWith({"AV"}).SearchRight().typeId(), QMetaType::Bool);
}

// For job types 0 to 8: the right that decides whatever the record type, or
// "" where the job's record type decides (by, for types 1, 2 and 3), or "-"
// where no right allows it.
struct JobQuery {
    const char* name;
    std::function<bool(const SecurityProfile&, int, int)> query;
    std::array<const char*, 9> byJobType;
    QStringList byRecordType;
};

TEST(SecurityProfileRights, JobQueriesByJobTypeAndRecordType) {
    const std::vector<JobQuery> queries{
        {"ViewJobOutput",
         &SecurityProfile::ViewJobOutput,
         {"", "", "", "", "JHAL", "JHAL", "JHAL", "JHAL", ""},
         {"JHB", "JHM", "JHA"}},
        {"DeleteJobLog",
         &SecurityProfile::DeleteJobLog,
         {"", "", "", "", "RLAL", "RLAL", "RLAL", "RLAL", ""},
         {"RLB", "RLM", "RLA"}},
        {"DeleteJobResults",
         &SecurityProfile::DeleteJobResults,
         {"", "", "", "", "RRAL", "RRAL", "", "", ""},
         {"RRB", "RRM", "RRA"}},
        {"KillJob",
         [](const SecurityProfile& p, int jobType, int) { return p.KillJob(jobType); },
         {"KSJ", "KDJ", "KIJ", "-", "KALJ", "KALJ", "KALJ", "KALJ", "-"},
         {}},
    };
    for (const auto& held : allCodes()) {
        const SecurityProfile profile = profileWith({held});
        for (const auto& q : queries)
            for (int jobType = 0; jobType <= 8; ++jobType)
                for (int recordType = 0; recordType <= 4; ++recordType) {
                    const QString decides = QString::fromLatin1(q.byJobType[jobType]);
                    bool expected = false;
                    if (decides.isEmpty())
                        expected = recordType >= 1 && recordType <= 3 &&
                                   q.byRecordType[recordType - 1] == held;
                    else
                        expected = decides == held;
                    EXPECT_EQ(q.query(profile, jobType, recordType), expected)
                        << q.name << "(job type " << jobType << ", record type " << recordType
                        << ") holding " << held.toStdString();
                }
    }
}

TEST(SecurityProfileRights, ReconcileAndDatabaseLoadJobsDeleteResultsUnderTheAuthorityRight) {
    const SecurityProfile authorityLoad = profileWith({"JHAL", "RLAL", "RRAL"});
    const SecurityProfile authority = profileWith({"RRA"});
    for (int jobType : {6, 7}) {
        EXPECT_TRUE(authorityLoad.ViewJobOutput(jobType, 3));
        EXPECT_TRUE(authorityLoad.DeleteJobLog(jobType, 3));
        EXPECT_FALSE(authorityLoad.DeleteJobResults(jobType, 3));
        EXPECT_TRUE(authority.DeleteJobResults(jobType, 3));
    }
    EXPECT_TRUE(authorityLoad.DeleteJobResults(4, 3));
    EXPECT_FALSE(authority.DeleteJobResults(4, 3));
}

TEST(SecurityProfileRights, AMatchJobHasNoKillRight) {
    EXPECT_FALSE(profileWith(allCodes()).KillJob(3));
}

// "text=item data" for each entry, then "*" and the selected entry's position.
QStringList entries(const QComboBox& combo) {
    QStringList out;
    for (int i = 0; i < combo.count(); ++i)
        out << combo.itemText(i) + "=" + combo.itemData(i).toString();
    return out << "*" + QString::number(combo.currentIndex());
}

QStringList entries(const QListWidget& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text() + "=" + list.item(i)->data(Qt::UserRole).toString();
    return out << "*" + QString::number(list.currentRow());
}

class SecurityProfileFillers : public SecurityProfileLoad {};

TEST_F(SecurityProfileFillers, FillWithAnEmptyEntryFirstThenTheListInOrder) {
    const SecurityProfile profile = load();
    QComboBox libraries;
    QComboBox locations;
    QListWidget list;
    libraries.addItem("left over", 77);
    list.addItem("left over");

    profile.FillOwningLibraryCombo(libraries);
    profile.FillLocationCombo(locations);
    profile.FillOwningLibraryList(list);

    EXPECT_EQ(entries(libraries),
              (QStringList{"=0", "Central Library=2", "Branch Library=1", "*0"}));
    EXPECT_EQ(entries(locations), (QStringList{"=0", "Main Stacks=7", "Annex=3", "*0"}));
    EXPECT_EQ(entries(list), (QStringList{"Central Library=2", "Branch Library=1", "*0"}));
    EXPECT_TRUE(list.item(0)->isSelected());
}

TEST_F(SecurityProfileFillers, WithoutLibrariesOnlyTheEmptyEntryAndAnEmptyUnselectedList) {
    transport->queue("OWNINGLIBRARIES", Answer{});
    transport->queue("GET_VLM_SECURITY", securityAnswer({"AV"}));
    const SecurityProfile profile = load();
    ASSERT_FALSE(profile.LoadFailed());
    QComboBox libraries;
    QComboBox locations;
    QListWidget list;
    libraries.addItem("left over", 5);
    list.addItem("left over");
    list.setCurrentRow(0);

    profile.FillOwningLibraryCombo(libraries);
    profile.FillLocationCombo(locations);
    profile.FillOwningLibraryList(list);

    EXPECT_EQ(entries(libraries), (QStringList{"=0", "*0"}));
    EXPECT_EQ(entries(locations), (QStringList{"=0", "*0"}));
    EXPECT_EQ(entries(list), QStringList{"*-1"});
    EXPECT_TRUE(list.selectedItems().isEmpty());
}

} // namespace
} // namespace velumar
