// Saving a rule document and reading it back through a channel over the
// scripted server: the exact fields sent, in order.
#include "request_channel.h"
#include "rule_document.h"
#include "rule_document_requests.h"
#include "scripted_transport.h"

#include <gtest/gtest.h>

namespace rules::channel {
namespace {

using orvane::testing::ScriptedTransport;
namespace wire = orvane::wire;

const std::string kRule = "rule \"Caf\xc3\xa9 \xe6\x9b\xb8\"\r\n#priority n\r\n  when\r\n"
                          "    MARC.\"245\".\"a\" equals \"\xc3\xbc\"\r\n  then\r\n"
                          "    Change owning library\r\n    SUPPRESS\r\nend\r\n\r\n";

class RuleDocumentRequestsTest : public ::testing::Test {
protected:
    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    orvane::RequestChannel channel{transport, "tok"};
};

TEST_F(RuleDocumentRequestsTest, SaveOfANewDocumentFetchesTheHeaderAndSendsItsFieldsInOrder) {
    transport->queue("GET_RULE_DOC_HEADERS", {0, {{"HT", "# template"}}});
    transport->queue("SAVE_RULE_DOCUMENT", {0, {{"ID", 31}}});
    RuleDocument document;
    document.LoadText(kRule);

    EXPECT_EQ(SaveRuleDocument(channel, document, 2, "Titles", "Fix them", "jsmith"), "");
    EXPECT_EQ(document.Id, 31);
    EXPECT_EQ(transport->codes(),
              (std::vector<std::string>{"GET_RULE_DOC_HEADERS", "SAVE_RULE_DOCUMENT"}));
    EXPECT_TRUE(transport->sent("GET_RULE_DOC_HEADERS").front().fields.empty());
    EXPECT_EQ(transport->sent("SAVE_RULE_DOCUMENT").front().fields,
              (wire::Fields{{"RT", 2},
                            {"NM", "Titles"},
                            {"DSC", "Fix them"},
                            {"DOC", "# template\r\n" + kRule},
                            {"PN", "REQ_LIBRARY_ID"},
                            {"PN", "REQ_LOCATION_ID"},
                            {"OI", "jsmith"}}));
}

TEST_F(RuleDocumentRequestsTest, SaveOfAStoredDocumentSendsItsIdAndKeepsItsHeader) {
    transport->queue("SAVE_RULE_DOCUMENT", {0, {{"ID", 12}}});
    RuleDocument document;
    document.LoadText("# mine\r\n" + kRule);
    document.Id = 12;
    EXPECT_EQ(SaveRuleDocument(channel, document, 1, "n", "", "op"), "");
    EXPECT_EQ(transport->codes(), std::vector<std::string>{"SAVE_RULE_DOCUMENT"});
    EXPECT_EQ(transport->sent("SAVE_RULE_DOCUMENT").front().fields,
              (wire::Fields{{"ID", 12},
                            {"RT", 1},
                            {"NM", "n"},
                            {"DSC", ""},
                            {"DOC", "# mine\r\n" + kRule},
                            {"PN", "REQ_LIBRARY_ID"},
                            {"PN", "REQ_LOCATION_ID"},
                            {"OI", "op"}}));
}

TEST_F(RuleDocumentRequestsTest, SaveNamesOnlyTheParametersTheTextNeeds) {
    const std::string exportRule = "rule \"e\"\r\n#priority n\r\n  when\r\n  then\r\n"
                                   "    Unset OK to Export\r\nend\r\n\r\n";
    const std::string plainRule = "rule \"p\"\r\n#priority n\r\n  when\r\n  then\r\n"
                                  "    EXCLUDE\r\nend\r\n\r\n";
    transport->queue("SAVE_RULE_DOCUMENT", {0, {{"ID", 1}}});
    transport->queue("SAVE_RULE_DOCUMENT", {0, {{"ID", 2}}});
    RuleDocument exporting;
    exporting.LoadText("# h\r\n" + exportRule);
    ASSERT_EQ(SaveRuleDocument(channel, exporting, 2, "e", "d", "op"), "");
    RuleDocument plain;
    plain.LoadText("# h\r\n" + plainRule);
    ASSERT_EQ(SaveRuleDocument(channel, plain, 1, "p", "d", "op"), "");

    const auto sent = transport->sent("SAVE_RULE_DOCUMENT");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].fields, (wire::Fields{{"RT", 2},
                                            {"NM", "e"},
                                            {"DSC", "d"},
                                            {"DOC", "# h\r\n" + exportRule},
                                            {"PN", "REQ_LOCATION_ID"},
                                            {"OI", "op"}}));
    EXPECT_EQ(
        sent[1].fields,
        (wire::Fields{
            {"RT", 1}, {"NM", "p"}, {"DSC", "d"}, {"DOC", "# h\r\n" + plainRule}, {"OI", "op"}}));
    EXPECT_EQ(exporting.Id, 1);
    EXPECT_EQ(plain.Id, 2);
}

TEST_F(RuleDocumentRequestsTest, SaveFailures) {
    transport->queue("SAVE_RULE_DOCUMENT", {4, {}});
    transport->queue("SAVE_RULE_DOCUMENT", {99, {}});
    RuleDocument document;
    document.HeaderText = "# h\r\n";
    EXPECT_EQ(SaveRuleDocument(channel, document, 2, "n", "d", "op"),
              "Name already in use. Please choose another name for this rule set.");
    EXPECT_EQ(SaveRuleDocument(channel, document, 2, "n", "d", "op"), "Failed to save rule set.");
    EXPECT_EQ(document.Id, 0);
}

TEST_F(RuleDocumentRequestsTest, HeaderTemplateGetsALineBreakAndFailureGivesNone) {
    transport->queue("GET_RULE_DOC_HEADERS", {0, {{"HT", "# a\r\n# b"}}});
    EXPECT_EQ(ReadHeaderTemplate(channel), "# a\r\n# b\r\n");
    transport->queue("GET_RULE_DOC_HEADERS", {6, {{"HT", "# a"}}});
    EXPECT_EQ(ReadHeaderTemplate(channel), "");
}

TEST_F(RuleDocumentRequestsTest, ASavedTextReadBackEqualsTheTextBuilt) {
    std::string stored;
    transport->respond("SAVE_RULE_DOCUMENT", [&](const wire::Request& request) {
        stored = std::get<std::string>(wire::findField(request.fields, "DOC")->value);
        return wire::Answer{0, {{"ID", 5}}};
    });
    transport->respond("GET_RULE_DOCUMENTS", [&](const wire::Request&) {
        return wire::Answer{0,
                            {{"ID", 5},
                             {"NM", "Titles"},
                             {"DSC", "d"},
                             {"CO", "amy"},
                             {"UO", ""},
                             {"UD", "2024-01-02 03:04:05"},
                             {"DOC", stored}}};
    });
    RuleDocument document;
    document.LoadText("# \xc3\xa9t\xc3\xa9\r\n" + kRule);
    const std::string built = document.BuildText();
    ASSERT_EQ(SaveRuleDocument(channel, document, 2, "Titles", "d", "amy"), "");

    channel.SendRequest("GET_RULE_DOCUMENTS");
    ASSERT_TRUE(channel.NextRecord("ID"));
    RuleDocument read;
    LoadRuleDocument(channel, read);
    EXPECT_EQ(read.Id, 5);
    EXPECT_EQ(read.Name, "Titles");
    EXPECT_EQ(read.CreatedBy, "amy");
    EXPECT_EQ(read.LastEditor(), "amy");
    EXPECT_EQ(read.Text, built);
    EXPECT_EQ(read.BuildText(), built);
    ASSERT_EQ(read.Rules.size(), 1u);
    EXPECT_EQ(read.Rules[0].Name, "Caf\xc3\xa9 \xe6\x9b\xb8");
    EXPECT_EQ(read.Rules[0].Conditions[0].Value1, "\xc3\xbc");
}

} // namespace
} // namespace rules::channel
