// A rule set group's own operations: links and their order, parameters,
// the grids and lists it fills, and the coded names of merge
// configurations.
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "merge_rules.h"
#include "rule_set.h"
#include "rule_sets_fixture.h"

#include <QComboBox>

namespace velumar {
namespace {

namespace wire = orvane::wire;
using testing::RuleSetsTest;

// An answer of "GET_RULE_DOCUMENTS" with these ids and names.
wire::Answer documentsNamed(const std::vector<std::pair<qint32, std::string>>& docs) {
    wire::Answer answer{0, {}};
    for (const auto& [id, name] : docs)
        for (wire::Field field : wire::Fields{{"ID", id}, {"NM", name}, {"DSC", "about " + name},
                                              {"CO", "a"}, {"UO", ""}, {"UD", ""}, {"DOC", ""}})
            answer.fields.push_back(field);
    return answer;
}

QStringList keys(const RuleSet& group) {
    QStringList out;
    for (const auto& link : group.Links)
        out << QString::fromStdString(link.Key());
    return out;
}

QStringList column(const Grid& grid) {
    QStringList out;
    for (int row = 0; row < grid.rowCount(); ++row)
        out << grid.TextMatrix(row, 0);
    return out;
}

TEST(RuleSetModel, LinksAreAddedWithFallingOrdersAndMovedByKey) {
    RuleSet group;
    EXPECT_EQ(group.AddLink(12), "12|-1");
    group.AddLink(13);
    group.AddLink(12);
    EXPECT_EQ(keys(group), (QStringList{"12|-1", "13|-2", "12|-3"}));

    group.MoveLinkUp("12|-1"); // first: stays
    group.MoveLinkUp("99|0");  // absent: nothing
    EXPECT_EQ(keys(group), (QStringList{"12|-1", "13|-2", "12|-3"}));
    group.MoveLinkUp("12|-3");
    EXPECT_EQ(keys(group), (QStringList{"12|-1", "12|-3", "13|-2"}));
    group.MoveLinkDown("12|-1");
    EXPECT_EQ(keys(group), (QStringList{"12|-3", "12|-1", "13|-2"}));
    group.RemoveLink("12|-1");
    EXPECT_EQ(keys(group), (QStringList{"12|-3", "13|-2"}));
    EXPECT_TRUE(group.IsLinked(12));
    EXPECT_FALSE(group.IsLinked(99));

    // Copies of links are new links of the target, in the same order.
    RuleSet target;
    target.AddLink(1);
    target.CopyLinksFrom(group);
    EXPECT_EQ(keys(target), (QStringList{"12|-2", "13|-3"}));
    EXPECT_EQ(keys(group.CloneLinks()), (QStringList{"12|-1", "13|-2"}));
}

TEST(RuleSetModel, CopyKeepsOnlyNameAndDescription) {
    RuleSet group;
    group.SetFields("Authors", "d", "ann", "bob", "2026-01-01 00:00:00", 4);
    group.AddLink(3);
    group.SetParameter("P", "Y");
    const RuleSet copy = group.Copy();
    EXPECT_EQ(copy.Name + "/" + copy.Description + "/" + copy.LastOperator(), "Copy of Authors/d/");
    EXPECT_TRUE(copy.Id == 0 && copy.Links.empty() && copy.Parameters.isEmpty());
    group.SetFields("n", "", "", "", ""); // no id given: kept
    EXPECT_EQ(group.Id, 4);
}

TEST(RuleSetModel, ParametersAndRequiredNames) {
    RuleSet group;
    group.RequiredParameters = "REQ_LOCATION_ID,REQ_LIBRARY_ID";
    EXPECT_TRUE(group.HasRequiredParameter("REQ_LIBRARY_ID"));
    EXPECT_FALSE(group.HasRequiredParameter("req_library_id"));
    group.SetParameter("MMM_SERIES", "Y");
    group.SetParameter("MMM_TOPICAL", "N");
    group.SetParameter("MMM_SERIES", "y");
    EXPECT_EQ(group.Parameters.size(), 2);
    EXPECT_FALSE(group.IsParameterSet("MMM_SERIES"));
    EXPECT_EQ(group.GetParameter("mmm_topical"), "");
}

TEST(RuleSetModel, TagsFrom010To999AreValid) {
    for (const char* valid : {"010", "245", "999"})
        EXPECT_FALSE(RuleSets::IsInvalidTag(valid)) << valid;
    for (const char* invalid : {"009", "001", "1000", "24", "abc", "", "24a", " 24", "-10"})
        EXPECT_TRUE(RuleSets::IsInvalidTag(invalid)) << invalid;
}

TEST(MergeRules, CodedNamesAndDoNotMergeInputs) {
    EXPECT_EQ(RuleSet::SplitCodedName("1XX|Move old heading to 688").code, "1XX");
    EXPECT_EQ(RuleSet::SplitCodedName("a|b|c").label, "b|c");
    EXPECT_TRUE(RuleSet::SplitCodedName("Plain").code.isEmpty());
    EXPECT_TRUE(RuleSet::RequiresInput("DNM040$a"));
    EXPECT_FALSE(RuleSet::RequiresInput("DNM040$e"));
    RuleSet group;
    group.SetParameter("DNM040_D_INPUT", "DLC");
    EXPECT_EQ(group.GetDoNotMergeInput("DNM040$d|040 $d contains"), "DLC");
    EXPECT_EQ(group.GetDoNotMergeInput("DNM040GT|040 has more"), "");
    rules::RuleDocument document;
    document.Name = "DNMLDR18|Leader/18";
    EXPECT_TRUE(group.IsDoNotMergeRuleDocument(document));
    document.Name = "DNMLDR19|x";
    EXPECT_FALSE(group.IsDoNotMergeRuleDocument(document));
}

TEST(MergeRules, FieldListsKeepOnlyTheCategorysTags) {
    using merge_rules::ValidateFieldList;
    EXPECT_EQ(ValidateFieldList("1XX", "100, 150,abc, 245"), "100,150");
    EXPECT_EQ(ValidateFieldList("0XX", "10,43,42,44,89,90"), "010,042,044,089");
    EXPECT_EQ(ValidateFieldList("09X", "090,99,100,9"), "090,099");
    EXPECT_EQ(ValidateFieldList("6XX", "600,642,644,645,646,647,699"), "600,647,699");
    EXPECT_EQ(ValidateFieldList("7XX", "700,781,-799"), "700,799");
    EXPECT_EQ(ValidateFieldList("9XX", "900, 1000"), "900");
    EXPECT_EQ(ValidateFieldList("043", "043"), "");
    EXPECT_EQ(merge_rules::OptionsOf(*merge_rules::FindCategory("781")).size(), 8);
    EXPECT_EQ(merge_rules::OptionsOf(*merge_rules::FindCategory("1XX")).front(),
              "Discard old heading");
}

TEST_F(RuleSetsTest, MergeConfigurationSummaries) {
    transport->queue("GET_RULE_DOCUMENTS",
                     documentsNamed({{1, "DNMLDR17|Leader/17 is"}, {2, "DNM040GT|040 has more"},
                                     {3, "00806|Retain Local 008/06"},
                                     {4, "4XX|Retain existing field and incoming field"},
                                     {5, "1XX|Move old heading to 688"}}));
    transport->queue("GET_RULE_DOCUMENTS", documentsNamed({{8, "Prefer newest"}}));
    ruleSets().LoadRuleDocuments(4);
    ruleSets().LoadRuleDocuments(5);
    RuleSet merge;
    for (const qint32 id : {1, 3, 2, 4, 5})
        merge.AddLink(id);
    merge.SetParameter("DNMLDR17_INPUT", "o");
    merge.SetParameter("FIELDS_4XX", "400,410");
    merge.SetParameter("ADD_SUB5_4XX", "Y");
    merge.SetParameter("IGNORE_4XX_MATCHED_008", "Y");
    merge.SetParameter("MMM_TOPICAL", "Y");
    merge.SetParameter("MMM_SERIES", "N");

    EXPECT_EQ(merge.DoNotMergeSummary(ruleSets()),
              (QStringList{"Do Not Merge If:", "Leader/17 is o", "040 has more "}));
    EXPECT_EQ(merge.MergeRulesSummary(ruleSets()),
              (QStringList{"Merge Rules:", "Retain Local 008/06",
                           "4XX Retain existing field and incoming field [400,410] [Add $5] "
                           "[ignore existing 4XX...]",
                           "1XX Move old heading to 688"}));
    EXPECT_EQ(merge.MergeMultipleMatchesSummary(),
              (QStringList{"Merge Multiple Matches of Type:", "Topical (contains field 150)"}));
    RuleSet best;
    best.AddLink(8);
    EXPECT_EQ(best.BestMatchRulesSummary(ruleSets()),
              (QStringList{"Best Match Rules:", "Prefer newest"}));
    EXPECT_TRUE(RuleSet().MergeRulesSummary(ruleSets()).isEmpty());
}

TEST_F(RuleSetsTest, GridsShowDocumentsLinkedAndAvailable) {
    transport->queue("GET_RULE_DOCUMENTS",
                     documentsNamed({{4, "Zeta"}, {5, "MatchCode-And-Tag-Field"}, {6, "Alpha"},
                                     {7, "Delete-By-Auth-Status"}}));
    ruleSets().LoadRuleDocuments(3);
    RuleSet group;
    group.AddLink(7);
    const QString matchKey = group.AddLink(5);
    group.AddLink(99); // not loaded: not shown

    Grid linked;
    linked.SetHeadings({"Name"});
    group.FillLinkedGrid(ruleSets(), linked, 3, matchKey);
    EXPECT_EQ(column(linked), (QStringList{"Delete-By-Auth-Status", "MatchCode-And-Tag-Field"}));
    EXPECT_EQ(RuleSet::LinkKeyAt(linked, GetGridSelection(linked).row), matchKey);

    Grid available;
    available.SetHeadings({"Name"});
    group.FillAvailableGrid(ruleSets(), available, 3, 4);
    EXPECT_EQ(column(available), (QStringList{"Alpha", "Zeta"}));
    EXPECT_EQ(GetGridSelection(available).rowData, 4);

    const auto* taken = group.TakeMatchCodeRuleDocument(ruleSets());
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->Id, 5);
    EXPECT_EQ(keys(group), (QStringList{"7|-1", "99|-3"}));
    EXPECT_EQ(group.TakeMatchCodeRuleDocument(ruleSets()), nullptr);

    // The document grid keeps the order the operator sorted it in.
    Grid documents;
    documents.SetHeadings({"Name", "Description"});
    ruleSets().FillRuleDocumentGrid(3, documents, 6);
    GridSort(documents, 0, 0);
    GridSort(documents, 0, 0); // descending
    ruleSets().FillRuleDocumentGrid(3, documents, 6);
    EXPECT_EQ(column(documents), (QStringList{"Zeta", "MatchCode-And-Tag-Field",
                                              "Delete-By-Auth-Status", "Alpha"}));
    EXPECT_EQ(GetGridSelection(documents).rowData, 6);
    EXPECT_EQ(documents.TextMatrix(0, 1), "about Zeta");
}

} // namespace
} // namespace velumar
