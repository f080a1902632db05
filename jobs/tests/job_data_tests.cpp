// A job and a result file as the server reports them: what each job type
// reads, the names shown, and the grid rows.
#include "grid/grid.h"
#include "job_data.h"
#include "job_result_file.h"
#include "scripted_jobs.h"
#include "tests/qt_printers.h"

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;
using testing::JobRecord;

class JobRecords : public testing::ScriptedJobs {
protected:
    // The first job of the answer, read as ReadJobRecord reads it.
    JobData read(const Fields& fields) {
        transport->queue("GET_JOBS", Answer{0, fields});
        orvane::Channel& channel = state.channel();
        channel.AddField("OI", "jsmith");
        EXPECT_EQ(channel.SendRequest("GET_JOBS"), 0);
        EXPECT_TRUE(channel.NextRecord("ID"));
        JobData job;
        job.ReadJobRecord(channel);
        return job;
    }
};

struct TypeCase {
    const char* what;
    qint32 type;
    Fields extra;
    // What the job shows.
    const char* typeName;
    const char* recordSet;
    const char* ruleSet;
    const char* saveRecordSet;
    const char* rangeStart;
    const char* rangeEnd;
    const char* keywordIndex;
    const char* updateDatabase;
};

// Every type is offered every field, so a type that reads one it should not shows it.
Fields allOf(Fields own) {
    Fields all{{"RRE", "900"},   {"RRS", "100"}, {"SID", "scan group"},   {"SRS", "found"},
               {"RSN", "named"}, {"KI", "Y"},    {"RUID", "change group"}};
    for (auto& field : own)
        for (auto& slot : all)
            if (slot.key == field.key)
                slot.value = field.value;
    return all;
}

TEST_F(JobRecords, EachTypeReadsItsOwnFields) {
    const std::vector<TypeCase> cases{
        {"scan into an existing set", 0, allOf({}), "Scan", "Weeding", "scan group", "found", "100",
         "900", "", "N"},
        {"scan into a new set", 0, allOf({{"SRS", ""}, {"RSN", "Fresh"}}), "Scan", "Weeding",
         "scan group", "Fresh [new]", "100", "900", "", "N"},
        {"scan into no set", 0, allOf({{"SRS", ""}, {"RSN", ""}}), "Scan", "Weeding", "scan group",
         "", "100", "900", "", "N"},
        {"data change", 1, allOf({}), "Data Change", "Weeding", "change group", "", "", "", "Y",
         "N"},
        {"index records", 2, allOf({{"RSN", "To index"}}), "Index Records", "To index", "", "",
         "100", "900", "", "N"},
        {"match into an existing set", 3, allOf({}), "Match", "Weeding", "", "found", "", "", "",
         "N"},
        {"match into a new set", 3, allOf({{"SRS", ""}, {"RSN", "Matched"}}), "Match", "Weeding",
         "", "Matched [new]", "", "", "", "N"},
        {"auth load match", 4, allOf({}), "Auth Load Match", "Weeding", "change group", "", "", "",
         "", "N"},
        {"auth load merge", 5, allOf({}), "Auth Load Merge", "Weeding", "change group", "", "", "",
         "", "N"},
        {"auth load reconcile", 6, allOf({}), "Auth Load Reconcile", "Weeding", "", "", "", "", "",
         "N"},
        {"auth db load", 7, allOf({}), "Auth Db Load", "Weeding", "", "", "", "", "", "N"},
        {"unknown type 9", 9, allOf({}), "Scan", "Weeding", "scan group", "found", "100", "900", "",
         "N"},
    };
    for (const TypeCase& c : cases) {
        JobRecord record;
        record.id = 41;
        record.type = c.type;
        record.extra = c.extra;
        const JobData job = read(record.Fields());
        SCOPED_TRACE(c.what);
        EXPECT_EQ(job.Id(), 41);
        EXPECT_EQ(job.TypeName(), c.typeName);
        EXPECT_EQ(job.RecordSet(), c.recordSet);
        EXPECT_EQ(job.RuleSetId(), c.ruleSet);
        EXPECT_EQ(job.SaveRecordSet(), c.saveRecordSet);
        EXPECT_EQ(job.RangeStart(), c.rangeStart);
        EXPECT_EQ(job.RangeEnd(), c.rangeEnd);
        EXPECT_EQ(job.KeywordIndex(), c.keywordIndex);
        EXPECT_EQ(job.UpdateDatabase(), c.updateDatabase);
    }
}

TEST_F(JobRecords, EveryJobReadsTheCommonFields) {
    JobRecord record;
    record.id = 12;
    record.name = "Monthly";
    record.type = 1;
    record.status = 1;
    record.hasResults = false;
    record.recordType = 2;
    const JobData job = read(record.Fields());
    const QStringList shown{QString::number(job.Id()),
                            job.IdText(),
                            job.Name(),
                            job.StatusName(),
                            job.HasLog() ? "log" : "no log",
                            job.HasResults() ? "results" : "no results",
                            job.ScheduledStart(),
                            job.ActualStart(),
                            job.OperatorId(),
                            job.ModifyDate(),
                            QString::number(job.RecordsToProcess()),
                            QString::number(job.RecordsProcessed()),
                            QString::number(job.RecordErrorCount()),
                            QString::number(job.RecordsDeleted()),
                            QString::number(job.CurrentBulk()),
                            job.RecordTypeName(),
                            job.IsActive() ? "active" : "idle"};
    EXPECT_EQ(shown, (QStringList{"12", "12", "Monthly", "Running", "log", "no results",
                                  "2026-03-01 10:00:00", "2026-03-01 10:00:05", "amy",
                                  "2026-03-01 10:02:00", "400", "250", "3", "7", "2", "Holdings",
                                  "active"}));
}

TEST_F(JobRecords, TheIdReadsAsANumberOrAsDecimalText) {
    Fields fields = JobRecord{}.Fields();
    fields[0].value = std::string("1234");
    EXPECT_EQ(read(fields).Id(), 1234);
    fields[0].value = 987;
    EXPECT_EQ(read(fields).Id(), 987);
}

TEST(JobNames, StatusesTypesAndActivity) {
    const std::vector<std::pair<int, const char*>> statuses{
        {0, "Pending"}, {1, "Running"}, {2, "Done"}, {3, "Kill"}, {4, "Killed"},
        {5, "Failed"},  {6, "Paused"},  {7, ""},     {-1, ""}};
    for (const auto& [code, name] : statuses) {
        EXPECT_EQ(JobStatusName(code), name) << code;
        EXPECT_EQ(IsActiveStatus(code), code == 1 || code == 3 || code == 6) << code;
    }
    const QStringList types{"Scan",
                            "Data Change",
                            "Index Records",
                            "Match",
                            "Auth Load Match",
                            "Auth Load Merge",
                            "Auth Load Reconcile",
                            "Auth Db Load"};
    for (int code = 0; code < 8; ++code)
        EXPECT_EQ(JobTypeName(JobTypeOf(code)), types[code]) << code;
    EXPECT_EQ(JobTypeOf(8), JobType::Scan);
    EXPECT_EQ(JobTypeOf(-1), JobType::Scan);
}

TEST(JobNames, RecordTypesAreNormalised) {
    const std::vector<std::tuple<qint32, int, const char*>> cases{{1, 1, "Bibliographic"},
                                                                  {2, 2, "Holdings"},
                                                                  {3, 3, "Authority"},
                                                                  {0, 0, ""},
                                                                  {4, 0, ""},
                                                                  {-2, 0, ""}};
    for (const auto& [code, normal, name] : cases) {
        JobData job;
        job.SetRecordType(code);
        EXPECT_EQ(job.RecordTypeCode(), code);
        EXPECT_EQ(job.RecordType(), normal) << code;
        EXPECT_EQ(job.RecordTypeName(), name) << code;
    }
}

TEST_F(JobRecords, RowsOfBothGrids) {
    JobRecord record;
    record.id = 5;
    record.name = "Clean-up";
    record.type = 1;
    record.status = 4;
    record.updateDatabase = "Y";
    record.extra = {{"KI", "N"}, {"RUID", "g"}, {"UP", "Y"}};
    const JobData job = read(record.Fields());

    Grid running;
    running.SetHeadings({"Date / Time", "Status", "Job Type", "Update DB?", "Job Name"});
    job.AddRunningRow(running);
    ASSERT_EQ(running.rowCount(), 1);
    const QStringList cells{running.TextMatrix(0, 0), running.TextMatrix(0, 1),
                            running.TextMatrix(0, 2), running.TextMatrix(0, 3),
                            running.TextMatrix(0, 4)};
    EXPECT_EQ(cells,
              (QStringList{"2026-03-01 10:00:05", "Killed", "Data Change", "Y", "Clean-up"}));
    EXPECT_EQ(running.RowData(0), 5);

    Grid queued;
    queued.SetHeadings({"Scheduled", "Job Type", "Job Name"});
    job.AddScheduledRow(queued);
    EXPECT_EQ(
        (QStringList{queued.TextMatrix(0, 0), queued.TextMatrix(0, 1), queued.TextMatrix(0, 2)}),
        (QStringList{"2026-03-01 10:00:00", "Data Change", "Clean-up"}));
    EXPECT_EQ(queued.RowData(0), 5);
}

TEST(ResultFiles, TypeNamesWhatHoldsRecordsAndKeys) {
    const std::vector<std::tuple<qint32, const char*, bool>> types{
        {0, "Before", true},       {1, "After", true},
        {2, "Deleted", true},      {3, "Unchanged", true},
        {4, "Error", true},        {5, "MARC ids", false},
        {6, "Delete all", false},  {7, "Database change", false},
        {8, "Match", true},        {9, "No match", true},
        {10, "Multi match", true}, {11, "Split", true},
        {12, "Discard", true},     {13, "Redundant", true},
        {14, "Reject", true},      {15, "Unknown", false},
        {-1, "Unknown", false}};
    for (const auto& [type, name, holds] : types) {
        EXPECT_EQ(JobResultFile::TypeNameOf(type), name) << type;
        EXPECT_EQ(JobResultFile::HoldsRecordsOf(type), holds) << type;
    }
    EXPECT_EQ(JobResultFile::KeyOf(4, 31), "4|31");
}

} // namespace
} // namespace velumar
