// An authority file taken through the load on a server with its job thread:
// uploaded into a match job, matched, merged into the records it matched,
// and the unmatched records loaded as new ones; the result files and the
// catalogue checked afterwards.
#include "job_test_support.h"
#include "catalogue/index_codes.h"
#include "catalogue/record_writer.h"
#include "jobs/job_execution.h"
#include "jobs/job_records.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <filesystem>
#include "jobs/job_store.h"

#include "marc/iso2709_writer.h"
#include "marc/reader.h"
#include "marc/record.h"
#include "marc/record_view.h"

namespace orvane::server::testing {
namespace {

using namespace std::string_literals;

class AuthLoad : public JobServer {
protected:
    std::int32_t documentId(const std::string& name) {
        auto st = server.db().prepare("SELECT id FROM rule_documents WHERE name = ?1");
        st.bind(1, name);
        return st.step() ? st.int32(0) : -1;
    }
    std::int32_t group(int ruleType, const std::string& name, const std::vector<std::string>& docs,
                       const std::vector<std::pair<std::string, std::string>>& params) {
        Fields fields{{"RT", ruleType}, {"NM", name}, {"DSC", std::string()}};
        int order = 0;
        for (const std::string& doc : docs) {
            fields.push_back({"RDID", documentId(doc)});
            fields.push_back({"RO", order++});
        }
        for (const auto& [key, value] : params) {
            fields.push_back({"PN", key});
            fields.push_back({"PV", value});
        }
        const auto saved = send("SAVE_RULE_SET", fields);
        EXPECT_EQ(saved.status, 0) << name;
        return numberOf(saved, "ID");
    }
    // The agency's copy of demo authority record `id`: its own 001 and 003,
    // a new source note, and (when given) a new heading.
    std::string agencyCopy(std::int32_t id, const std::string& heading = {}) {
        const std::string octets = marcOf(3, id);
        marc::Record r = marc::Record::fromView(*marc::parseRecord(octets).record);
        r.setControlValue("001", "n000000" + std::to_string(id));
        r.setControlValue("003", "VDEMO");
        for (marc::Field& f : r.fields()) {
            if (f.tag() == "670")
                f.subfields().front().value = "Agency source " + std::to_string(id);
            if (f.tag()[0] == '1' && !heading.empty())
                f.subfields().front().value = heading;
        }
        std::string out;
        marc::appendIso2709(r, out);
        return out;
    }
    std::int32_t queue(JobRow row) {
        row.operatorId = "demo";
        return JobStore(server.db()).insert(row);
    }
    // A match job filled with `file` as an upload leaves it, then run; its id.
    std::int32_t runMatch(const std::string& name, std::int32_t configuration,
                          const std::vector<std::string>& file, bool add035 = false) {
        JobRow match;
        match.name = name;
        match.type = jobs::type::AuthLoadMatch;
        match.recordType = 3;
        match.ruleSetId = configuration;
        match.status = jobs::status::Paused; // while the file is uploaded
        match.add035 = add035;
        const std::int32_t id = queue(match);
        JobRecords(server.db()).append(id, file);
        JobStore(server.db()).setStatus(id, jobs::status::Pending);
        EXPECT_EQ(numberOf(waitForJob(id), "JS"), jobs::status::Done) << log(id);
        return id;
    }
    std::vector<std::string> records(std::int32_t job, std::int32_t type) {
        const auto answer = send("GET_JOB_RESULT_FILE",
                                 {{"ID", job}, {"FI", type}, {"FT", type}, {"FMT", std::string("B")}});
        std::vector<std::string> found;
        const auto octets = wire::textToOctets(textOf(answer, "FC"));
        if (!octets)
            return found;
        marc::Reader reader{std::string_view(*octets)};
        while (const auto r = reader.next())
            found.emplace_back(r->bytes());
        return found;
    }
};

TEST_F(AuthLoad, MatchMergeAndLoadAnAgencyFile) {
    const std::int32_t matchConfiguration =
        group(3, "035 match", {"Delete-By-Auth-Status", "MatchCode-And-Tag-Field"},
              {{"MATCH_PROFILE_CODE", "CTRLNO"}, {"MULTIMATCH_TAG", "035"}});
    const std::int32_t mergeConfiguration =
        group(4, "keep sources", {"6XX|Retain existing field and incoming field",
                                  "1XX|Move old heading to 688"},
              {});
    const std::int32_t authorities =
        static_cast<std::int32_t>(count("SELECT count(*) FROM catalogue_records WHERE record_type = 3"));

    // Records 1 to 4 again from the agency (2 with a new heading), and two it alone has.
    std::vector<std::string> file{agencyCopy(1), agencyCopy(2, "Dubreuil, Ingrid Marie,"),
                                  agencyCopy(3), agencyCopy(4)};
    for (const std::int32_t id : {5, 6}) {
        std::string copy = agencyCopy(id);
        marc::Record r = marc::Record::fromView(*marc::parseRecord(copy).record);
        r.fields().erase(std::find_if(r.fields().begin(), r.fields().end(),
                                      [](const marc::Field& f) { return f.tag() == "035"; }));
        r.setControlValue("001", "n990000" + std::to_string(id));
        copy.clear();
        marc::appendIso2709(r, copy);
        file.push_back(copy);
    }

    const std::int32_t matchJob =
        runMatch("agency match", matchConfiguration, file, true);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(records(matchJob, jobs::result_file::Match).size(), 4u) << log(matchJob);
    EXPECT_EQ(records(matchJob, jobs::result_file::NoMatch).size(), 2u);

    JobRow merge;
    merge.name = "agency merge";
    merge.type = jobs::type::AuthLoadMerge;
    merge.recordType = 3;
    merge.ruleSetId = mergeConfiguration;
    merge.sourceJobId = matchJob;
    const std::int32_t mergeJob = queue(merge);
    const auto merged = waitForJob(mergeJob);
    ASSERT_EQ(numberOf(merged, "JS"), jobs::status::Done) << log(mergeJob);
    EXPECT_EQ(numberOf(merged, "RTP"), 1); // bulks
    for (std::int32_t id = 1; id <= 4; ++id) {
        const std::string now = marcOf(3, id);
        EXPECT_NE(now.find("Agency source " + std::to_string(id)), std::string::npos) << id;
        EXPECT_NE(now.find("Demo source file"), std::string::npos) << id; // kept beside
        EXPECT_EQ(now.find("\x1f" "9"), std::string::npos) << id;         // no match ids left
        EXPECT_EQ(now.find("688") != std::string::npos && now.find("Dubreuil, Ingrid,") != std::string::npos,
                  id == 2)
            << id;
    }
    EXPECT_EQ(records(mergeJob, jobs::result_file::After).size(), 4u);

    JobRow load;
    load.name = "agency load";
    load.type = jobs::type::AuthDbLoad;
    load.recordType = 3;
    load.sourceJobId = matchJob;
    const std::int32_t loadJob = queue(load);
    ASSERT_EQ(numberOf(waitForJob(loadJob), "JS"), jobs::status::Done) << log(loadJob);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_records WHERE record_type = 3"),
              authorities + 2);
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_index WHERE record_type = 3 AND code = 'A35A' "
                    "AND key = '(vdemo)n9900005'"),
              1);
    // Loaded again, the same records are in the catalogue now: rejected.
    load.name = "agency load again";
    const std::int32_t again = queue(load);
    ASSERT_EQ(numberOf(waitForJob(again), "JS"), jobs::status::Done);
    EXPECT_EQ(records(again, jobs::result_file::Reject).size(), 2u) << log(again);
}

// The ids the merge reads are those the match wrote, in a field of their
// own: a $9 the agency's record brought is neither a match nor lost, and a
// match configuration changed after the match changes nothing for it.
TEST_F(AuthLoad, TheMergeReadsTheIdsTheMatchWroteWithTheSettingsItMatchedWith) {
    const std::int32_t matchConfiguration =
        group(3, "035 match", {}, {{"MATCH_PROFILE_CODE", "CTRLNO"}, {"MULTIMATCH_TAG", "035"}});
    const auto withAgencyNines = [](std::string octets, std::string_view newNumber = {}) {
        marc::Record r = marc::Record::fromView(*marc::parseRecord(octets).record);
        for (marc::Field& f : r.fields())
            if (f.tag() == "035") {
                f.addSubfield('9', "12");
                if (!newNumber.empty())
                    f.subfields().front().value = newNumber;
            }
        r.insertField(marc::Field::data("035", ' ', ' ', {{'9', "13"}}));
        if (!newNumber.empty())
            r.setControlValue("001", std::string(newNumber.substr(7)));
        octets.clear();
        marc::appendIso2709(r, octets);
        return octets;
    };
    const std::string known = withAgencyNines(agencyCopy(5));
    const std::string unknown = withAgencyNines(agencyCopy(6), "(VDEMO)n9900006");
    const std::int32_t matchJob =
        runMatch("agency match", matchConfiguration, {known, unknown});
    ASSERT_FALSE(HasFailure());
    const auto matched = records(matchJob, jobs::result_file::Match);
    ASSERT_EQ(matched.size(), 1u) << log(matchJob);
    ASSERT_EQ(records(matchJob, jobs::result_file::NoMatch), std::vector<std::string>{unknown});
    // The match's own field comes last among the 035s, with the id alone.
    std::vector<std::string> tagged;
    const marc::ParseResult first = marc::parseRecord(matched[0]);
    ASSERT_TRUE(first.record);
    for (const marc::FieldView f : *first.record)
        if (f.tag() == "035")
            tagged.emplace_back(f.value());
    ASSERT_EQ(tagged.size(), 3u);
    EXPECT_EQ(tagged[2], "  \x1f" "95");

    // The configuration now names another tag and profile: the merge and the
    // load still read the files as they were written.
    const auto changed = send("SAVE_RULE_SET", {{"ID", matchConfiguration}, {"RT", 3},
                                                {"NM", "035 match"s}, {"DSC", ""s},
                                                {"PN", "MATCH_PROFILE_CODE"s}, {"PV", "LCCN"s},
                                                {"PN", "MULTIMATCH_TAG"s}, {"PV", "999"s}});
    ASSERT_EQ(changed.status, 0);
    const std::string twelve = marcOf(3, 12);
    const std::string thirteen = marcOf(3, 13);
    JobRow merge;
    merge.name = "agency merge";
    merge.type = jobs::type::AuthLoadMerge;
    merge.recordType = 3;
    merge.ruleSetId = group(4, "sources", {"6XX|Retain existing field and incoming field"}, {});
    merge.sourceJobId = matchJob;
    const std::int32_t mergeJob = queue(merge);
    ASSERT_EQ(numberOf(waitForJob(mergeJob), "JS"), jobs::status::Done) << log(mergeJob);
    EXPECT_NE(log(mergeJob).find("merged into 5"), std::string::npos) << log(mergeJob);
    EXPECT_EQ(marcOf(3, 12), twelve);
    EXPECT_EQ(marcOf(3, 13), thirteen);
    std::vector<std::string> kept;
    const std::string five = marcOf(3, 5);
    const marc::ParseResult merged = marc::parseRecord(five);
    ASSERT_TRUE(merged.record);
    for (const marc::FieldView f : *merged.record)
        if (f.tag() == "035")
            kept.emplace_back(f.value());
    EXPECT_EQ(kept, (std::vector<std::string>{"  \x1f" "a(VDEMO)n0000005\x1f" "912",
                                              "  \x1f" "913"}));

    JobRow load;
    load.name = "agency load";
    load.type = jobs::type::AuthDbLoad;
    load.recordType = 3;
    load.sourceJobId = matchJob;
    const std::int32_t loadJob = queue(load);
    ASSERT_EQ(numberOf(waitForJob(loadJob), "JS"), jobs::status::Done) << log(loadJob);
    EXPECT_NE(log(loadJob).find("added as"), std::string::npos) << log(loadJob);
    const auto after = records(loadJob, jobs::result_file::After);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0].find("\x1f" "913\x1e"), std::string::npos); // the agency's own field
}

// A best match document that does not compile would weigh the others
// differently: the merge fails before it changes anything.
TEST_F(AuthLoad, ABestMatchDocumentThatDoesNotCompileStopsTheMergeFirst) {
    const std::int32_t matchJob =
        runMatch("035 match", group(3, "035 match", {}, {{"MATCH_PROFILE_CODE", "CTRLNO"}}), {agencyCopy(3)});
    ASSERT_FALSE(HasFailure());

    const auto broken = send("SAVE_RULE_DOCUMENT",
                             {{"RT", 5}, {"NM", "Half written"s}, {"DSC", ""s},
                              {"DOC", "rule \"Half\"\r\n  when\r\n    MARC is\r\n  then\r\n"
                                      "    CHANGED\r\nend\r\n"s}});
    ASSERT_EQ(broken.status, 0);
    const std::int32_t best = group(5, "prefer{linked}", {"Prefer full level records", "Half written"}, {});
    JobRow merge;
    merge.name = "merge with a broken companion";
    merge.type = jobs::type::AuthLoadMerge;
    merge.recordType = 3;
    merge.ruleSetId = group(4, "prefer", {"6XX|Retain existing field and incoming field"},
                            {{"LOAD_CHOOSE_BEST_RULE_SET_ID", std::to_string(best)}});
    merge.sourceJobId = matchJob;
    const std::string before = marcOf(3, 3);
    const std::int32_t mergeJob = queue(merge);
    ASSERT_EQ(numberOf(waitForJob(mergeJob), "JS"), jobs::status::Failed) << log(mergeJob);
    EXPECT_NE(log(mergeJob).find("The choose-best document \"Half written\" does not compile"),
              std::string::npos)
        << log(mergeJob);
    EXPECT_EQ(marcOf(3, 3), before);
}

// Several matches under one heading, reduced by the choose-best companion or
// rejected; deletion notices, refused while bibliographic records use the
// heading.
TEST_F(AuthLoad, SeveralMatchesAndDeletionNotices) {
    const std::int32_t matchConfiguration =
        group(3, "heading match", {"Delete-By-Auth-Status"}, {{"MATCH_PROFILE_CODE", "HEADING"}});
    // A second record under record 7's heading (no 035 of the agency's).
    const std::string seven = marcOf(3, 7);
    marc::Record twin = marc::Record::fromView(*marc::parseRecord(seven).record);
    twin.setControlValue("001", "t7");
    twin.setControlValue("003", "LOCAL");
    std::erase_if(twin.fields(), [](const marc::Field& f) { return f.tag() == "035"; });
    std::string twinOctets;
    marc::appendIso2709(twin, twinOctets);
    std::int32_t twinId = 0;
    {
        Transaction tx(server.db());
        twinId = RecordWriter(server.db(), "demo").save(twinOctets, RecordKind::Authority).id;
        tx.commit();
    }
    // An authority record no bibliographic record uses.
    marc::Record unused(*marc::Leader::fromText("00000nz  a2200000n  4500"));
    unused.appendField(marc::Field::control("001", "u1"));
    unused.appendField(marc::Field::control("003", "VDEMO"));
    unused.appendField(marc::Field::data("100", '1', ' ', {{'a', "Nobody, Unused,"}}));
    std::string unusedOctets;
    marc::appendIso2709(unused, unusedOctets);
    std::int32_t unusedId = 0;
    {
        Transaction tx(server.db());
        unusedId = RecordWriter(server.db(), "demo").save(unusedOctets, RecordKind::Authority).id;
        tx.commit();
    }
    const auto notice = [](std::string octets) {
        octets[5] = 'd';
        return octets;
    };
    const auto unusedNotice = [&] {
        marc::Record r = unused;
        r.setControlValue("001", "u2");
        std::string out;
        marc::appendIso2709(r, out);
        return notice(out);
    }();

    const std::int32_t matchJob =
        runMatch("heading match", matchConfiguration, {agencyCopy(7), notice(agencyCopy(1)), unusedNotice});
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(records(matchJob, jobs::result_file::MultiMatch).size(), 1u) << log(matchJob);

    const std::string twinBefore = marcOf(3, twinId);
    const auto runMerge = [&](const std::string& name, const std::string& mmm) {
        const std::int32_t best = group(5, name + "{linked}", {}, {});
        auto doc = send("SAVE_RULE_DOCUMENT",
                        {{"RT", 5}, {"NM", name + " prefers the twin"}, {"DSC", std::string()},
                         {"DOC", "rule \"Twin\"\r\n  when\r\n    MARC.control.\"001\" equals \"" +
                                     std::to_string(twinId) + "\"\r\n  then\r\n    CHANGED\r\nend\r\n"}});
        send("SAVE_RULE_SET", {{"ID", best}, {"RT", 5}, {"NM", name + "{linked}"},
                               {"DSC", std::string()}, {"RDID", numberOf(doc, "ID")}, {"RO", 0}});
        const std::int32_t configuration =
            group(4, name, {"6XX|Retain existing field and incoming field"},
                  {{"MMM_PERSONAL", mmm}, {"LOAD_CHOOSE_BEST_RULE_SET_ID", std::to_string(best)}});
        JobRow merge;
        merge.name = name;
        merge.type = jobs::type::AuthLoadMerge;
        merge.recordType = 3;
        merge.ruleSetId = configuration;
        merge.sourceJobId = matchJob;
        const std::int32_t id = queue(merge);
        EXPECT_EQ(numberOf(waitForJob(id), "JS"), jobs::status::Done) << log(id);
        return id;
    };
    const std::int32_t refused = runMerge("several refused", "N");
    EXPECT_EQ(records(refused, jobs::result_file::Reject).size(), 2u) << log(refused);
    EXPECT_EQ(marcOf(3, twinId), twinBefore);

    // The deletion before the refusal was saved with its bulk.
    EXPECT_TRUE(marcOf(3, unusedId).empty());
    EXPECT_EQ(records(refused, jobs::result_file::Deleted).size(), 1u);
    const std::int32_t merged = runMerge("several merged", "Y");
    EXPECT_EQ(records(merged, jobs::result_file::Redundant).size(), 1u) << log(merged);
    EXPECT_NE(marcOf(3, twinId), twinBefore); // the companion preferred the twin
    EXPECT_NE(marcOf(3, twinId).find("Agency source 7"), std::string::npos);
    // Merged, it is still the catalogue's record: its own 001.
    const std::string twinAfter = marcOf(3, twinId);
    EXPECT_EQ(marc::parseRecord(twinAfter).record->findField("001")->value(),
              std::to_string(twinId));
    // Record 1's heading is an author's: its notice is refused; the unused
    // record went in the first merge, so now its notice has nothing to delete.
    EXPECT_FALSE(marcOf(3, 1).empty());
    EXPECT_EQ(records(merged, jobs::result_file::Deleted).size(), 0u);
    EXPECT_NE(log(merged).find("whose heading bibliographic records use"), std::string::npos);
    EXPECT_NE(log(merged).find("the records it matched are gone"), std::string::npos);
}

// The fields of a record as "tag value" lines, without the tags given (the
// ones the catalogue sets itself).
std::vector<std::string> fieldLines(std::string_view octets,
                                    std::initializer_list<std::string_view> leftOut) {
    std::vector<std::string> lines;
    const auto parsed = marc::parseRecord(octets);
    if (!parsed.record)
        return {"not a record"};
    for (const marc::FieldView f : *parsed.record)
        if (std::find(leftOut.begin(), leftOut.end(), f.tag()) == leftOut.end())
            lines.push_back(std::string(f.tag()) + " " + std::string(f.value()));
    return lines;
}

// The demo's configurations take the sample authority file through the
// load, and the catalogue is checked record by record after each step:
// nothing matches at first, so the database load adds every record with the
// agency's control number in an 035; a cataloguer then changes two of them;
// loaded again, every record matches its copy by heading and the merge
// keeps exactly what the configuration says; the reconcile then takes a
// local $9 out of a see reference and leaves every other record as it was.
TEST_F(AuthLoad, TheDemoConfigurationsTakeTheSampleFileThroughTheLoad) {
    const std::string bytes =
        readFile((std::filesystem::path(VELUMAR_MARC_DATA_DIR) / "eg_auth-subset100.mrc").string());
    if (bytes.empty())
        GTEST_SKIP() << "the MARC sample folder is absent";
    std::vector<std::string> file;
    marc::Reader reader{std::string_view(bytes)};
    while (const auto r = reader.next())
        file.emplace_back(r->bytes());
    ASSERT_EQ(file.size(), 17u);
    const auto groupNamed = [&](const char* name) {
        auto st = server.db().prepare("SELECT id FROM rule_sets WHERE name = ?1");
        st.bind(1, name);
        return st.step() ? st.int32(0) : -1;
    };
    const auto matchFile = [&](const std::string& name) {
        return runMatch(name, groupNamed("Standard load match"), file, true);
    };
    const auto run = [&](JobRow row) {
        const std::int32_t id = queue(row);
        EXPECT_EQ(numberOf(waitForJob(id), "JS"), jobs::status::Done) << log(id);
        return id;
    };
    // The agency's control number, "(003)001", as each record's 035.
    std::vector<std::string> agencyNumbers;
    for (const std::string& r : file) {
        const auto v = marc::parseRecord(r);
        agencyNumbers.push_back("(" + std::string(v.record->findField("003")->value()) + ")" +
                                std::string(v.record->findField("001")->value()));
    }
    const auto idOf = [&](const std::string& number) {
        auto st = server.db().prepare("SELECT record_id FROM catalogue_index WHERE record_type = "
                                      "3 AND code = 'A35A' AND key = ?1");
        st.bind(1, normaliseKey(KeyForm::ControlNumber, number));
        std::vector<std::int32_t> ids;
        while (st.step())
            ids.push_back(st.int32(0));
        return ids;
    };

    // 1. Nothing matches; the load adds each record with its 035.
    const std::int32_t first = matchFile("sample, first");
    EXPECT_EQ(records(first, jobs::result_file::NoMatch), file) << log(first);
    JobRow load;
    load.name = "sample load";
    load.type = jobs::type::AuthDbLoad;
    load.recordType = 3;
    load.sourceJobId = first;
    run(load);
    std::vector<std::int32_t> ids;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const auto found = idOf(agencyNumbers[i]);
        ASSERT_EQ(found.size(), 1u) << agencyNumbers[i];
        ids.push_back(found[0]);
        const std::string saved = marcOf(3, found[0]);
        auto expected = fieldLines(file[i], {"001", "003", "005"});
        expected.push_back("035   \x1f" "a" + agencyNumbers[i]);
        auto got = fieldLines(saved, {"001", "003", "005"});
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected) << i;
        EXPECT_EQ(marc::parseRecord(saved).record->findField("001")->value(),
                  std::to_string(found[0]));
    }

    // 2. A cataloguer keeps local notes and 008/06 on the first record, and
    //    marks the second as at encoding level 7 (not to be merged).
    const auto edit = [&](std::int32_t id, const std::function<void(marc::Record&)>& change) {
        const std::string octets = marcOf(3, id);
        marc::Record r = marc::Record::fromView(*marc::parseRecord(octets).record);
        change(r);
        std::string out;
        marc::appendIso2709(r, out);
        Transaction tx(server.db());
        EXPECT_EQ(RecordWriter(server.db(), "demo").save(out, RecordKind::Authority).action,
                  SavedRecord::Action::Replaced);
        tx.commit();
        return marcOf(3, id);
    };
    edit(ids[0], [](marc::Record& r) {
        std::string fixed(*r.controlValue("008"));
        fixed[6] = 'i';
        r.setControlValue("008", fixed);
        r.insertField(marc::Field::data("500", ' ', ' ', {{'a', "Local note."}}));
        r.insertField(marc::Field::data("550", ' ', ' ', {{'a', "Local broader term"}}));
    });
    const std::string levelSeven = edit(ids[1], [](marc::Record& r) {
        r.leader().set(17, '7');
    });
    std::vector<std::string> beforeMerge;
    for (const std::int32_t id : ids)
        beforeMerge.push_back(marcOf(3, id));

    // 3. Matched again, each record finds its copy, and the merge keeps
    //    008/06 and the 500 (with the local $5) of the first, discards the
    //    second, and brings the others back as they were.
    const std::int32_t second = matchFile("sample, second");
    EXPECT_EQ(records(second, jobs::result_file::Match).size(), file.size()) << log(second);
    JobRow merge;
    merge.name = "sample merge";
    merge.type = jobs::type::AuthLoadMerge;
    merge.recordType = 3;
    merge.ruleSetId = groupNamed("Standard load merge");
    merge.sourceJobId = second;
    const std::int32_t mergeJob = run(merge);
    EXPECT_EQ(records(mergeJob, jobs::result_file::After).size(), file.size() - 1)
        << log(mergeJob);
    EXPECT_EQ(records(mergeJob, jobs::result_file::Discard).size(), 1u);
    EXPECT_NE(log(mergeJob).find("discarded by DNMLDR17"), std::string::npos);
    EXPECT_EQ(marcOf(3, ids[1]), levelSeven);
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (i == 1)
            continue;
        const std::string now = marcOf(3, ids[i]);
        auto expected = fieldLines(file[i], {"001", "003", "005"});
        expected.push_back("035   \x1f" "a" + agencyNumbers[i]);
        if (i == 0) {
            expected.push_back("500   \x1f" "aLocal note.\x1f" "5DEMO");
            for (std::string& line : expected)
                if (line.starts_with("008 "))
                    line[4 + 6] = 'i';
        }
        auto got = fieldLines(now, {"001", "003", "005"});
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected) << i;
        const auto view = marc::parseRecord(now);
        EXPECT_EQ(view.record->findField("001")->value(), std::to_string(ids[i]));
        // The incoming leader, apart from its lengths.
        const std::string_view leader = view.record->leader();
        const std::string_view incoming = marc::parseRecord(file[i]).record->leader();
        EXPECT_EQ(leader.substr(5, 7), incoming.substr(5, 7)) << i;
        EXPECT_EQ(leader.substr(17), incoming.substr(17)) << i;
    }

    // 4. Reconcile the loaded records after a local $9 came into a see reference.
    std::size_t withReference = file.size();
    for (std::size_t i = 0; i < file.size(); ++i)
        if (marc::parseRecord(beforeMerge[i]).record->findField("400"))
            withReference = i;
    ASSERT_LT(withReference, file.size());
    edit(ids[withReference], [](marc::Record& r) {
        for (marc::Field& f : r.fields())
            if (f.tag() == "400")
                f.addSubfield('9', "dthes");
    });
    std::vector<std::string> beforeReconcile;
    for (const std::int32_t id : ids)
        beforeReconcile.push_back(marcOf(3, id));
    JobRow reconcile;
    reconcile.name = "sample reconcile";
    reconcile.type = jobs::type::AuthLoadReconcile;
    reconcile.recordType = 3;
    reconcile.recordSetId = makeSet("sample authorities", 3, ids);
    reconcile.ruleSetId = groupNamed("Standard reconcile");
    run(reconcile);
    for (std::size_t i = 0; i < file.size(); ++i) {
        const std::string now = marcOf(3, ids[i]);
        if (i != withReference) {
            EXPECT_EQ(now, beforeReconcile[i]) << i;
            continue;
        }
        marc::Record was = marc::Record::fromView(*marc::parseRecord(beforeReconcile[i]).record);
        for (marc::Field& f : was.fields())
            f.removeSubfields('9');
        std::string expected;
        marc::appendIso2709(was, expected);
        EXPECT_EQ(fieldLines(now, {"005"}), fieldLines(expected, {"005"}));
        EXPECT_NE(fieldLines(now, {"005"}), fieldLines(beforeReconcile[i], {"005"}));
    }
}

// A merge killed mid-run: the bulk it was in is finished, every record is
// either as it was or fully merged, and the counts say how far it got.
TEST_F(AuthLoad, AKilledMergeLeavesWholeBulks) {
    const std::int32_t authorities = static_cast<std::int32_t>(
        count("SELECT count(*) FROM catalogue_records WHERE record_type = 3"));
    ASSERT_GE(authorities, 40);
    // Each demo record twice over, under its 035: 80 matches make one bulk
    // with room; so the file holds them four times over, 160 records.
    std::vector<std::string> file;
    for (int round = 0; round < 4; ++round)
        for (std::int32_t id = 1; id <= 40; ++id)
            file.push_back(agencyCopy(id));
    const std::int32_t matchConfiguration =
        group(3, "035 match", {}, {{"MATCH_PROFILE_CODE", "CTRLNO"}});
    const std::int32_t matchJob =
        runMatch("big match", matchConfiguration, file);
    ASSERT_FALSE(HasFailure());

    JobRow merge;
    merge.name = "killed merge";
    merge.type = jobs::type::AuthLoadMerge;
    merge.recordType = 3;
    merge.ruleSetId = group(4, "sources", {"6XX|Retain existing field and incoming field"}, {});
    merge.sourceJobId = matchJob;
    merge.scheduledStart = "2999-01-01 00:00:00"; // claimed below, not by the runner
    const std::int32_t mergeJob = queue(merge);
    std::vector<std::string> before;
    for (std::int32_t id = 1; id <= 40; ++id)
        before.push_back(marcOf(3, id));
    auto claimed = JobStore(server.db()).claimDue("2999-01-01 00:00:00");
    ASSERT_TRUE(claimed);
    ASSERT_EQ(claimed->id, mergeJob);
    ASSERT_TRUE(JobStore(server.db()).requestKill(mergeJob));
    std::atomic<bool> stopping{false};
    JobExecution run(server.db(), server.core().store().path(), *claimed, stopping);
    const JobEnd end = runAuthMergeJob(run);
    EXPECT_EQ(end.status, jobs::status::Killed);
    JobStore(server.db()).finish(mergeJob, end.status);
    const auto job = send("GET_JOB", {{"ID", mergeJob}});
    EXPECT_EQ(numberOf(job, "RP"), 1);  // bulks processed
    EXPECT_EQ(numberOf(job, "RTP"), 2); // of two
    // The first bulk merged the first hundred incoming records: each of the
    // 40 existing records at least twice, so every one of them is merged.
    for (std::int32_t id = 1; id <= 40; ++id) {
        const std::string now = marcOf(3, id);
        EXPECT_NE(now, before[static_cast<std::size_t>(id - 1)]) << id;
        EXPECT_TRUE(marc::parseRecord(now).record.has_value()) << id;
    }
    EXPECT_EQ(count("SELECT count(*) FROM catalogue_history WHERE record_type = 3 AND "
                    "action = 'replaced'"),
              100);
}

} // namespace
} // namespace orvane::server::testing
