// Every demo rule set group does on the demo catalogue what its documents'
// descriptions say, record by record, as a preview or a job would run it.
#include "job_test_support.h"
#include "rulerun/catalogue_facts.h"
#include "rulerun/compiled_group_cache.h"

#include "group_runner.h"

#include "marc/record_view.h"

#include <type_traits>

namespace orvane::server::testing {
namespace {

class DemoRules : public JobServer {
protected:
    std::int32_t groupId(const std::string& name) {
        auto st = server.db().prepare("SELECT id FROM rule_sets WHERE name = ?1");
        st.bind(1, name);
        return st.step() ? st.int32(0) : -1;
    }

    // Runs `check` on each record of the type with the outcome the group gives it.
    template <typename Check>
    void forEachRecord(const std::string& group, int recordType, engine::RunParameters parameters,
                       Check check) {
        const auto compiled = compiledGroups().get(server.db(), groupId(group));
        ASSERT_TRUE(compiled && compiled->group) << group;
        engine::GroupRunner runner(*compiled->group, parameters);
        CatalogueReader reader(server.db());
        std::vector<std::int32_t> ids;
        auto st = server.db().prepare("SELECT record_id FROM catalogue_records WHERE record_type = ?1");
        st.bind(1, recordType);
        while (st.step())
            ids.push_back(st.int32(0));
        st.reset();
        for (const std::int32_t id : ids) {
            const auto record = reader.load(recordType, id);
            const auto before = marc::parseRecord(record->marc);
            const auto outcome = runner.apply(*before.record, record->facts);
            check(id, *before.record, outcome);
        }
    }
};

bool has(const marc::RecordView& r, std::string_view tag) {
    return r.findField(tag).has_value();
}

bool hasTagStarting(const marc::RecordView& r, char digit) {
    for (const marc::FieldView f : r)
        if (f.tag()[0] == digit)
            return true;
    return false;
}

TEST_F(DemoRules, MonthlyCleanUpTidiesLocalFieldsMarksLinksAndRetagsUniformTitles) {
    std::size_t changed = 0;
    forEachRecord("Monthly clean-up", 1, {}, [&](std::int32_t id, const marc::RecordView& before,
                                                 const engine::RecordOutcome& out) {
        const bool expected = has(before, "590") || hasTagStarting(before, '9') ||
                              has(before, "856") || has(before, "240");
        ASSERT_EQ(out.outcome == engine::Outcome::Changed, expected) << id;
        if (!expected)
            return;
        ++changed;
        const auto after = marc::parseRecord(out.record);
        ASSERT_TRUE(after.record);
        EXPECT_FALSE(has(*after.record, "590")) << id;
        EXPECT_FALSE(hasTagStarting(*after.record, '9')) << id;
        EXPECT_FALSE(has(*after.record, "240")) << id;
        EXPECT_EQ(has(*after.record, "130"), has(before, "240")) << id;
        const auto title = after.record->findField("245");
        std::string codes;
        for (const auto& s : title->subfields())
            codes.push_back(s.code);
        if (has(before, "856")) {
            EXPECT_EQ(codes, "ahbc") << id;
            EXPECT_EQ(title->subfield('h'), "[electronic resource]");
            EXPECT_EQ(after.record->findField("500")->subfield('a'), "Online resource.");
        } else {
            EXPECT_EQ(codes, "abc") << id;
        }
    });
    EXPECT_GT(changed, 50u);
}

TEST_F(DemoRules, WithdrawalsSuppressWithdrawnCopiesAndMoveLawTitles) {
    std::size_t withdrawn = 0;
    forEachRecord("Withdrawals", 2, {}, [&](std::int32_t id, const marc::RecordView& before,
                                            const engine::RecordOutcome& out) {
        const auto shelf = before.findField("852");
        const bool expected = shelf && shelf->subfield('z') == "Withdrawn";
        withdrawn += expected;
        EXPECT_EQ(out.outcome == engine::Outcome::Changed, expected) << id;
        EXPECT_EQ(out.facts.suppressed == true, expected) << id;
        EXPECT_EQ(out.facts.okToExport == false, expected) << id;
        EXPECT_TRUE(out.record.empty() || out.record == before.bytes()) << id;
    });
    EXPECT_GT(withdrawn, 0u);

    engine::RunParameters law;
    law.libraryId = "LAW";
    std::size_t moved = 0;
    forEachRecord("Withdrawals", 1, law, [&](std::int32_t id, const marc::RecordView& before,
                                              const engine::RecordOutcome& out) {
        const auto cls = before.findField("050");
        const bool expected = cls && cls->subfield('a') && cls->subfield('a')->starts_with("K");
        moved += expected;
        EXPECT_EQ(out.facts.owningLibrary.has_value(), expected) << id;
    });
    EXPECT_GT(moved, 0u);
}

TEST_F(DemoRules, CatalogueChecksFindTheLinkedRecords) {
    engine::RunParameters scan;
    scan.kind = engine::GroupKind::Scan;
    std::size_t included = 0;
    forEachRecord("Catalogue checks", 1, scan, [&](std::int32_t id, const marc::RecordView& before,
                                                   const engine::RecordOutcome& out) {
        EXPECT_EQ(out.included, has(before, "856")) << id;
        included += out.included;
    });
    EXPECT_GT(included, 0u);
}

// A job reads each bulk's records ahead (on PostgreSQL, in one statement):
// each comes as loading it alone gives it, facts and all, and an id the
// catalogue lacks still comes as none.
TEST_F(DemoRules, RecordsReadAheadAreTheRecordsLoadedOneByOne) {
    const auto describe = [](const std::optional<CatalogueRecord>& r) {
        if (!r)
            return std::string("none");
        const engine::RecordFacts& f = r->facts;
        const auto text = [](const auto& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(*v)>, bool>)
                return v ? std::string(*v ? "yes" : "no") : std::string("-");
            else
                return v ? *v : std::string("-");
        };
        return std::to_string(f.id) + " " + text(f.createdDate) + " " + text(f.updatedDate) +
               " " + text(f.createdBy) + " " + text(f.updatedBy) + " " +
               text(f.owningLibrary) + " " + text(f.owningLibraryName) + " " + text(f.location) +
               " " + text(f.suppressed) + " " + text(f.okToExport) + " " +
               text(f.okToExportDate) + " " + text(f.hasHoldings) + " " + r->marc;
    };
    for (const int recordType : {1, 2, 3}) {
        std::vector<std::int32_t> ids;
        auto st = server.db().prepare(
            "SELECT record_id FROM catalogue_records WHERE record_type = ?1 ORDER BY record_id");
        st.bind(1, recordType);
        while (st.step())
            ids.push_back(st.int32(0));
        st.reset();
        ASSERT_GT(ids.size(), 3u) << recordType;
        ids.push_back(2'000'000'000); // no such record
        const std::int32_t twice = ids[1];
        ids.insert(ids.begin() + 2, twice);
        CatalogueReader alone(server.db());
        CatalogueReader ahead(server.db());
        ahead.readAhead(recordType, ids);
        std::size_t withHoldings = 0;
        for (const std::int32_t id : ids) {
            const auto expected = alone.load(recordType, id);
            withHoldings += expected && expected->facts.hasHoldings.value_or(false);
            EXPECT_EQ(describe(ahead.load(recordType, id)), describe(expected)) << id;
        }
        if (recordType == 1) {
            EXPECT_GT(withHoldings, 0u);
        }
    }
}

} // namespace
} // namespace orvane::server::testing
