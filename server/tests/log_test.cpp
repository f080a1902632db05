// The server's log takes text from clients (request codes, names, ids) and
// must stay one line per event: nothing a client sends can start a line of
// its own, hide in a NUL, or flood the file.

#include "protocol/status.h"
#include "test_server.h"
#include "util/log.h"

#include <gtest/gtest.h>
#include <regex>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The text of each line after its time stamp.
std::vector<std::string> events(const std::string& path) {
    std::vector<std::string> out;
    const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (.*)$)");
    for (const auto& line : lines(readFile(path))) {
        std::smatch m;
        out.push_back(std::regex_match(line, m, stamp) ? m[1].str() : "<no stamp> " + line);
    }
    return out;
}

} // namespace

TEST(ServerLog, ControlCharactersAreEscapedAndLongLinesCut) {
    TempDir dir;
    const auto path = dir.file("log");
    {
        Log log;
        log.toFile(path);
        log.line("plain text");
        log.line(std::string("new\nline\r\n2024-01-01 00:00:00 LOGIN admin"));
        log.line(std::string("nul\0after", 9));
        log.line("tab\there \x1b[31m red \x7f");
        log.line("caf\xC3\xA9 stays");
        log.line(std::string(10000, 'x'));
        log.line("unknown request code " + logQuoted(std::string(500, 'y')));
    }
    const auto got = events(path);
    ASSERT_EQ(got.size(), 7u) << readFile(path);
    EXPECT_EQ(got[0], "plain text");
    EXPECT_EQ(got[1], R"(new\nline\r\n2024-01-01 00:00:00 LOGIN admin)");
    EXPECT_EQ(got[2], R"(nul\x00after)");
    EXPECT_EQ(got[3], R"(tab\there \x1b[31m red \x7f)");
    EXPECT_EQ(got[4], "caf\xC3\xA9 stays");
    EXPECT_EQ(got[5], std::string(Log::MaxLineOctets, 'x') + " ... (" +
                          std::to_string(10000 - Log::MaxLineOctets) + " octets more)");
    EXPECT_EQ(got[6], "unknown request code \"" + std::string(100, 'y') + "\" ... (400 octets more)");
}

// Through the endpoint: codes that could forge or flood lines are refused
// before anything is logged; the code of an unknown request is logged
// quoted; a refused login names the address it came from.
TEST(ServerLog, ClientTextCannotForgeOrFloodTheLog) {
    TempDir logDir;
    const auto path = logDir.file("server.log");
    TestServer server(TestServerOptions::loggingTo(path));
    const std::string token = server.login("demo", "demo");
    for (const std::string& code :
         {std::string("GETCHARSETS\n2024-01-01 00:00:00 LOGIN admin"), std::string("A\0B", 3),
          std::string(1024 * 1024, 'C'), std::string("TAB\tCODE")}) {
        SCOPED_TRACE(code.substr(0, 20));
        EXPECT_EQ(server.post({code, {}}, token).status, 400);
    }
    EXPECT_EQ(server.send(token, {"NO_SUCH_REQUEST", {}}).status, wire::status::UnknownRequest);
    const auto refused = server.post({"LOGIN", {{"OI", std::string("demo")}, {"PW", std::string("x")}}},
                                     {}, "192.0.2.7");
    EXPECT_EQ(wire::decodeAnswer(refused.body).value->status, wire::status::NotAuthorized);

    EXPECT_EQ(events(path), (std::vector<std::string>{
                                "LOGIN demo",
                                "unknown request code \"NO_SUCH_REQUEST\" from demo",
                                "LOGIN refused for operator demo from 192.0.2.7",
                            }));
}
