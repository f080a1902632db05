#include "reference_fixture.h"

#include <gtest/gtest.h>
#include <set>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

using ReferenceHandlers = ReferenceServer;

// Each record of an answer, described, in answer order.
std::vector<std::string> described(const wire::Answer& answer, std::string_view key) {
    std::vector<std::string> out;
    for (const auto& record : records(answer, key))
        out.push_back(describe(record));
    return out;
}

std::string idOf(Database& db, const std::string& table, const std::string& name) {
    auto st = db.prepare("SELECT id FROM " + table + " WHERE name = ?1");
    st.bind(1, name);
    return st.step() ? std::to_string(st.int64(0)) : std::string("none");
}

} // namespace

TEST_F(ReferenceHandlers, EveryCodeNeedsASessionButNoRight) {
    for (const char* code : {"PKGCHK", "OWNINGLIBRARIES", "GETMARCFIELDORDER", "LstCatDp",
                             "GET_RULE_DOC_HEADERS", "GETCHARSETS", "CONVERTMARCCHARSET"}) {
        EXPECT_TRUE(core().dispatcher().knows(code)) << code;
        EXPECT_EQ(core().dispatcher().dispatch({code, {}}, "").httpStatus, 401) << code;
    }
    // The operator holds no rights at all.
    EXPECT_EQ(send("GETMARCFIELDORDER").status, 0);
    EXPECT_EQ(send("PKGCHK", {{"PKGNM", "x"}}).status, 0);
}

TEST_F(ReferenceHandlers, PackageCheckAnswersWhetherInstalled) {
    EXPECT_EQ(send("PKGCHK", {{"PKGNM", "MFHD Keyword Search"}}),
              (wire::Answer{0, {{"PKGINST", true}}}));
    EXPECT_EQ(send("PKGCHK", {{"PKGNM", "MFHD Keyword"}}), (wire::Answer{0, {{"PKGINST", false}}}));
    EXPECT_EQ(send("PKGCHK", {{"PKGNM", ""}}), (wire::Answer{0, {{"PKGINST", false}}}));
    EXPECT_EQ(dispatch("PKGCHK").httpStatus, 400);
    EXPECT_EQ(dispatch("PKGCHK", {{"PKGNM", 1}}).httpStatus, 400);
}

TEST_F(ReferenceHandlers, OwningLibrariesByName) {
    EXPECT_EQ(send("OWNINGLIBRARIES"), (wire::Answer{0, {}}));

    db().exec("INSERT INTO owning_libraries (code, name) VALUES "
              "('W', 'Westbrook Branch'), ('C', 'Central Library'), ('M', 'Music Library')");
    const auto id = [&](const char* name) { return idOf(db(), "owning_libraries", name); };
    EXPECT_EQ(described(send("OWNINGLIBRARIES"), "LBI"),
              (std::vector<std::string>{
                  "LBI=" + id("Central Library") + " LBN=\"Central Library\"",
                  "LBI=" + id("Music Library") + " LBN=\"Music Library\"",
                  "LBI=" + id("Westbrook Branch") + " LBN=\"Westbrook Branch\"",
              }));
}

TEST_F(ReferenceHandlers, FieldOrderConfigurationsByName) {
    const auto id = [&](const char* name) { return idOf(db(), "field_order_configs", name); };
    EXPECT_EQ(described(send("GETMARCFIELDORDER"), "MFOCID"),
              (std::vector<std::string>{
                  "MFOCID=" + id("Holdings order") + " MFONAME=\"Holdings order\"",
                  "MFOCID=" + id("Standard bibliographic order") +
                      " MFONAME=\"Standard bibliographic order\"",
                  "MFOCID=" + id("Tag order") + " MFONAME=\"Tag order\"",
              }));
}

TEST_F(ReferenceHandlers, DuplicateDetectionProfilesByName) {
    const auto id = [&](const char* name) { return idOf(db(), "dupe_profiles", name); };
    const std::vector<std::string> expected{
        "DID=" + id("Authority heading (1XX)") +
            " DCd=\"HEADING\" DNm=\"Authority heading (1XX)\"",
        "DID=" + id("ISBN (020 $a)") + " DCd=\"ISBN\" DNm=\"ISBN (020 $a)\"",
        "DID=" + id("LC control number (010 $a)") +
            " DCd=\"LCCN\" DNm=\"LC control number (010 $a)\"",
        "DID=" + id("System control number (035 $a)") +
            " DCd=\"CTRLNO\" DNm=\"System control number (035 $a)\"",
        "DID=" + id("Title, main entry and date (245 $a, 1XX $a, 260/264 $c)") +
            " DCd=\"TITLE\" DNm=\"Title, main entry and date (245 $a, 1XX $a, 260/264 $c)\"",
    };
    EXPECT_EQ(described(send("LstCatDp"), "DID"), expected);
}

TEST_F(ReferenceHandlers, RuleDocumentHeaderTemplate) {
    EXPECT_EQ(send("GET_RULE_DOC_HEADERS"),
              (wire::Answer{0, {{"HT", "# Rule document\r\n# Created with Velumar\r\n#\r\n"}}}));

    db().exec("DELETE FROM settings WHERE key = 'rule_doc_header'");
    EXPECT_EQ(send("GET_RULE_DOC_HEADERS"), (wire::Answer{0, {{"HT", ""}}}));
}
