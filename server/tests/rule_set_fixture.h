#pragma once
// A server with no demo data and operators of chosen rights, for the rule
// document and rule set group requests; requests go through the endpoint.

#include "auth/operators.h"
#include "auth/password.h"
#include "protocol/message.h"
#include "test_server.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server::testing {

class RuleSetServer : public ::testing::Test {
protected:
    // Makes an operator holding exactly these rights and logs it in.
    std::string operatorWith(const std::string& id, std::vector<std::string_view> rights) {
        const auto row = addOperator(server.db(), id, id, hashPassword("pw"));
        grantRights(server.db(), row, rights);
        return server.login(id, "pw");
    }

    wire::Answer send(const std::string& token, std::string code, wire::Fields fields) {
        return server.send(token, {std::move(code), std::move(fields)});
    }

    // A stored document's id; the test fails when the save does.
    std::int32_t saveDocument(const std::string& token, std::int32_t type, const std::string& name,
                              wire::Fields extra = {}) {
        wire::Fields fields{{"RT", type}, {"NM", name}, {"DSC", "about " + name},
                            {"DOC", "# " + name + "\r\n"}};
        fields.insert(fields.end(), extra.begin(), extra.end());
        const auto answer = send(token, "SAVE_RULE_DOCUMENT", fields);
        EXPECT_EQ(answer.status, 0) << name;
        const auto* id = wire::findField(answer.fields, "ID");
        return id ? std::get<std::int32_t>(id->value) : 0;
    }

    std::int32_t saveGroup(const std::string& token, std::int32_t type, const std::string& name,
                           const std::vector<std::int32_t>& documents) {
        wire::Fields fields{{"RT", type}, {"NM", name}, {"DSC", ""}};
        std::int32_t order = 0;
        for (const auto doc : documents) {
            fields.push_back({"RDID", doc});
            fields.push_back({"RO", order++});
        }
        const auto answer = send(token, "SAVE_RULE_SET", fields);
        EXPECT_EQ(answer.status, 0) << name;
        const auto* id = wire::findField(answer.fields, "ID");
        return id ? std::get<std::int32_t>(id->value) : 0;
    }

    TestServer server{[] {
        TestServerOptions options;
        options.demo = false;
        return options;
    }()};
};

} // namespace orvane::server::testing
