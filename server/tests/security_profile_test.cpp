// GET_VLM_SECURITY and the right each handler needs: what the client is told
// an operator may do, and what the server then lets them do.

#include "auth/operators.h"
#include "auth/rights.h"
#include "dispatch/request_context.h"
#include "protocol/status.h"
#include "store/database.h"
#include "test_server.h"

#include <gtest/gtest.h>
#include <set>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

// The order in which the client reads the rights.
const std::vector<std::string> ClientRightOrder{
    "AV",   "RSBA",  "RSBU", "RSBD", "RSBV", "RSBP", "RSBDR", "RSMA",  "RSMU", "RSMD", "RSMV",
    "RSMP", "RSMDR", "RSAA", "RSAU", "RSAD", "RSAV", "RSAP",  "RSADR", "DCRA", "DCRU", "DCRD",
    "DCRV", "SRA",   "SRU",  "SRD",  "SRV",  "DCB",  "SJB",   "IJB",   "JHB",  "RLB",  "RRB",
    "DCM",  "SJM",   "JHM",  "RLM",  "RRM",  "DCA",  "SJA",   "JHA",   "RLA",  "RRA",  "ALA",
    "JHAL", "RLAL",  "RRAL", "KALJ", "KDJ",  "KSJ",  "KIJ"};

class SecurityProfile : public ::testing::Test {
protected:
    wire::Answer profile(const std::string& id, const std::string& password) {
        return server.send(server.login(id, password), {"GET_VLM_SECURITY", {{"OI", id}}});
    }

    wire::Field location(const std::string& code) {
        auto st = server.db().prepare("SELECT id FROM locations WHERE code = ?1");
        st.bind(1, code);
        EXPECT_TRUE(st.step()) << code;
        return {"LI", static_cast<std::int32_t>(st.int64(0))};
    }

    // The fields a profile should have: every right in order, then the locations.
    wire::Fields expected(const std::set<std::string>& held,
                          const std::vector<std::pair<std::string, std::string>>& locations) {
        wire::Fields fields;
        for (const auto& code : ClientRightOrder)
            fields.push_back({code, held.contains(code)});
        for (const auto& [code, name] : locations) {
            fields.push_back(location(code));
            fields.push_back({"LN", name});
        }
        return fields;
    }

    TestServer server;
};

} // namespace

TEST_F(SecurityProfile, DemoHoldsEveryRightAndEveryLocationByName) {
    const std::set<std::string> all(ClientRightOrder.begin(), ClientRightOrder.end());
    EXPECT_EQ(profile("demo", "demo"),
              (wire::Answer{0, expected(all, {{"EAST-GEN", "East Branch General Collection"},
                                              {"LAW-RES", "Law Reserve"},
                                              {"MAIN-STACKS", "Main Stacks"},
                                              {"MAIN-RARE", "Rare Books Room"},
                                              {"MAIN-REF", "Reference Room"}})}));
}

TEST_F(SecurityProfile, ViewerHoldsTheViewRightsAndTwoLocations) {
    const std::set<std::string> view{"AV",  "RSBV", "RSMV", "RSAV", "DCRV",
                                     "SRV", "JHB",  "JHM",  "JHA",  "JHAL"};
    EXPECT_EQ(profile("viewer", "viewer"),
              (wire::Answer{0, expected(view, {{"MAIN-STACKS", "Main Stacks"},
                                               {"MAIN-REF", "Reference Room"}})}));
}

TEST_F(SecurityProfile, AnotherOperatorsIdIsRefusedAndCaseDoesNotMatter) {
    const auto token = server.login("viewer", "viewer");
    EXPECT_EQ(server.send(token, {"GET_VLM_SECURITY", {{"OI", "demo"}}}),
              (wire::Answer{wire::status::NotAuthorized, {}}));
    EXPECT_EQ(server.send(token, {"GET_VLM_SECURITY", {{"OI", "VIEWER"}}}).status, 0);
}

TEST_F(SecurityProfile, AHandlersRightIsCheckedAgainstTheStoreOnEveryRequest) {
    server.core().dispatcher().add(
        {.code = "TEST_ADD_BIB_SET", .right = "RSBA", .fields = {}, .run = [](RequestContext& ctx) {
             ctx.reply("OK", true);
         }});
    const wire::Request request{"TEST_ADD_BIB_SET", {}};
    const wire::Answer refused{wire::status::NotAuthorized, {}};
    const auto demo = server.login("demo", "demo");
    const auto viewer = server.login("viewer", "viewer");

    EXPECT_EQ(server.send(demo, request), (wire::Answer{0, {{"OK", true}}}));
    EXPECT_EQ(server.send(viewer, request), refused);

    // Rights changed while logged in take effect at once.
    const std::string_view code = "RSBA";
    grantRights(server.db(), findOperator(server.db(), "viewer")->row, {&code, 1});
    revokeRights(server.db(), findOperator(server.db(), "demo")->row, {&code, 1});
    EXPECT_EQ(server.send(viewer, request).status, 0);
    EXPECT_EQ(server.send(demo, request), refused);
}

TEST_F(SecurityProfile, AnOperatorWithoutAnyRightIsNotAuthorised) {
    const auto token = server.login("viewer", "viewer");
    const auto viewer = findOperator(server.db(), "viewer")->row;
    revokeRights(server.db(), viewer, allRightCodes());
    EXPECT_EQ(server.send(token, {"GET_VLM_SECURITY", {{"OI", "viewer"}}}),
              (wire::Answer{wire::status::NotAuthorized, {}}));

    // One right is enough to be told the rest.
    const std::string_view code = "SRV";
    grantRights(server.db(), viewer, {&code, 1});
    EXPECT_EQ(server.send(token, {"GET_VLM_SECURITY", {{"OI", "viewer"}}}).status, 0);
}
