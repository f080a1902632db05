// CHANGE_PASSWORD: the old password is proven, the new one is checked and
// stored, and every other session of the operator ends.

#include "auth/operators.h"
#include "protocol/status.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

wire::Request change(const std::string& old, const std::string& replacement) {
    return {"CHANGE_PASSWORD", {{"PW", old}, {"NPW", replacement}}};
}

const wire::Request Open{"OPEN", {{"AC", 5}}};

class SessionPassword : public ::testing::Test {
protected:
    std::string storedHash() { return findOperator(server.db(), "demo")->passwordHash; }

    TestServer server;
};

} // namespace

TEST_F(SessionPassword, WrongOldPasswordChangesNothing) {
    const auto token = server.login("demo", "demo");
    const auto before = storedHash();

    EXPECT_EQ(server.send(token, change("wrong", "better")),
              (wire::Answer{wire::status::NotAuthorized, {}}));
    EXPECT_EQ(storedHash(), before);
    EXPECT_EQ(server.send(token, Open).status, 0);
}

TEST_F(SessionPassword, NewPasswordOfFewerThanFourCharactersIsRefused) {
    const auto token = server.login("demo", "demo");
    const auto before = storedHash();

    for (const std::string tooShort : {"", "abc", "äöü"})
        EXPECT_EQ(server.send(token, change("demo", tooShort)).status, wire::status::InvalidValue)
            << tooShort;
    EXPECT_EQ(storedHash(), before);
    // Four characters of more than one octet each are enough.
    EXPECT_EQ(server.send(token, change("demo", "äöüß")).status, 0);
}

TEST_F(SessionPassword, NewPasswordWorksOldFailsOtherSessionsEnd) {
    const auto caller = server.login("demo", "demo");
    const auto elsewhere = server.login("demo", "demo");
    const auto otherOperator = server.login("viewer", "viewer");

    EXPECT_EQ(server.send(caller, change("demo", "n3w-secret")), (wire::Answer{0, {}}));

    EXPECT_EQ(server.send(caller, Open).status, 0);
    EXPECT_EQ(server.post(Open, elsewhere).status, 401);
    EXPECT_EQ(server.send(otherOperator, Open).status, 0);

    EXPECT_EQ(server.send({}, {"LOGIN", {{"OI", "demo"}, {"PW", "demo"}}}).status,
              wire::status::NotAuthorized);
    EXPECT_FALSE(server.login("demo", "n3w-secret").empty());
    // Stored as a hash, never as the text.
    EXPECT_EQ(storedHash().find("n3w-secret"), std::string::npos);
    EXPECT_TRUE(storedHash().starts_with("$argon2id$"));
}
