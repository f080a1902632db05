#pragma once
// What the catalogue tests share: records made to order, the real sample
// files, and a store on a temporary file.

#include "catalogue/record_kind.h"
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "store/database.h"
#include "catalogue/record_writer.h"
#include "store/store.h"
#include "test_server.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvane::server::testing {

struct FieldSpec {
    std::string tag;
    std::string value; // a control field's value, or "ab" indicators then subfields as "$a..."
};

// A record from a leader and fields; data fields are written with "$" for
// the subfield delimiter: {"245", "10$aTitle :$bsub"}.
inline std::string makeRecord(std::string_view leader, std::initializer_list<FieldSpec> fields) {
    marc::Record record(*marc::Leader::fromText(leader));
    for (const auto& f : fields) {
        if (marc::isControlTag(f.tag)) {
            record.appendField(marc::Field::control(f.tag, f.value));
            continue;
        }
        std::vector<marc::Subfield> subfields;
        std::size_t at = f.value.find('$');
        while (at != std::string::npos) {
            const std::size_t next = f.value.find('$', at + 1);
            subfields.push_back({f.value[at + 1], f.value.substr(at + 2, next == std::string::npos
                                                                             ? std::string::npos
                                                                             : next - at - 2)});
            at = next;
        }
        record.appendField(marc::Field::data(f.tag, f.value.substr(0, 2), std::move(subfields)));
    }
    std::string out;
    EXPECT_FALSE(marc::appendIso2709(record, out).has_value());
    return out;
}

inline constexpr std::string_view BibLeader = "00000nam a2200000 a 4500";
inline constexpr std::string_view Marc8BibLeader = "00000nam  2200000 a 4500";
inline constexpr std::string_view HoldingsLeader = "00000nx  a2200000un 4500";
inline constexpr std::string_view AuthorityLeader = "00000nz  a2200000n  4500";

// A sample file's path; nothing (and the test should skip) when the shared
// folder is absent.
inline std::optional<std::string> sampleFile(std::string_view name) {
    const auto path = std::filesystem::path(VELUMAR_MARC_DATA_DIR) / name;
    if (!std::filesystem::exists(path))
        return std::nullopt;
    return path.string();
}

#define VELUMAR_SAMPLE_OR_SKIP(var, name)                                                          \
    const auto var = ::orvane::server::testing::sampleFile(name);                                  \
    if (!var)                                                                                      \
    GTEST_SKIP() << "the MARC sample folder " << VELUMAR_MARC_DATA_DIR << " lacks " << name

inline std::int64_t scalar(Database& db, const std::string& sql) {
    auto st = db.prepare(sql);
    st.step();
    return st.int64(0);
}

// A migrated store on a temporary file with one owning library and location,
// and nothing in its catalogue.
class CatalogueStore : public ::testing::Test {
protected:
    void SetUp() override {
        store_ = std::make_unique<Store>(database_.location(), Database::DefaultBusyTimeout,
                                         database_.filesBase());
        db().exec("INSERT INTO owning_libraries (id, code, name) VALUES (1, 'MAIN', 'Main')");
        db().exec(
            "INSERT INTO locations (id, code, name, library) VALUES (4, 'STACKS', 'Stacks', 1)");
    }
    Database& db() { return store_->db(); }
    // Its file path or URL.
    const std::string& path() const { return database_.location(); }
    const TempDir& dir() const { return dir_; }

    std::string stored(RecordKind kind, std::int32_t id) {
        auto st = db().prepare(
            "SELECT marc FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2");
        st.bind(1, toNumber(kind)).bind(2, id);
        return st.step() ? st.blob(0) : std::string();
    }
    std::int64_t count(const std::string& sql) { return scalar(db(), sql); }
    // One record saved in a transaction of its own, as by an operator.
    SavedRecord save(const std::string& octets, RecordKind kind = RecordKind::Bibliographic) {
        RecordWriter writer(db(), "jsmith");
        Transaction tx(db());
        const auto saved = writer.save(octets, kind);
        tx.commit();
        return saved;
    }

private:
    TempDir dir_;
    TestDatabase database_{dir_.path(), "catalogue.db"};
    std::unique_ptr<Store> store_;
};

} // namespace orvane::server::testing
