#pragma once
// The rule screens over the scripted server: an operator ("jsmith") with
// the rights a test gives, rule sets and groups answered per rule type, and
// the rule editor answered by the test instead of a modal loop.

#include "main_window/function_screen.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "testing/scripted_server.h"
#include "tests/qt_printers.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

namespace wire = orvane::wire;

inline wire::Fields documentRecord(qint32 id, const std::string& name, const std::string& text) {
    return {{"ID", id},    {"NM", name},  {"DSC", "about " + name},
            {"CO", "ann"}, {"UO", "bob"}, {"UD", "2026-03-04 05:06:07"},
            {"DOC", text}};
}

inline wire::Fields groupRecord(qint32 id, const std::string& name) {
    return {{"ID", id},    {"NM", name}, {"DSC", "about " + name},
            {"CO", "ann"}, {"UO", ""},   {"UD", "2026-03-04 05:06:07"},
            {"PN", ""}};
}

inline const std::string TidyText = "# header\r\nrule \"Drop 9XX\"\r\n#priority n\r\n  when\r\n"
                                    "    MARC is \"9XX\"\r\n  then\r\n    remove MARC.\"9XX\"\r\n"
                                    "end\r\n\r\nrule \"Broken\"\r\n#priority n\r\n  when\r\n"
                                    "    MARC is \"24\"\r\n  then\r\n    CHANGED\r\nend\r\n\r\n";

// One operator's run of the client against the scripted server.
struct ScriptedClient {
    void start(const QStringList& held = securityCodes()) {
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        scriptHealthyServer(*transport, held);
        transport->respond("GET_RULE_DOCUMENTS", [](const wire::Request& request) {
            wire::Answer answer;
            const auto* type = wire::findField(request.fields, "RT");
            const int ruleType = type ? std::get<std::int32_t>(type->value) : 0;
            const auto add = [&answer](const wire::Fields& record) {
                answer.fields.insert(answer.fields.end(), record.begin(), record.end());
            };
            if (ruleType == 2 || ruleType == 1) {
                add(documentRecord(11, "Tidy", TidyText));
                add(documentRecord(12, "Notes", ""));
                add(documentRecord(13, "Add review", ""));
            } else if (ruleType == 3) {
                add(documentRecord(31, "Delete-By-Auth-Status", ""));
                add(documentRecord(32, "MatchCode-And-Tag-Field", ""));
                add(documentRecord(33, "Name match", ""));
            }
            return answer;
        });
        transport->respond("GET_RULE_SETS", [](const wire::Request&) {
            wire::Answer answer;
            for (const auto& record : {groupRecord(21, "Monthly"), groupRecord(22, "Weekly")})
                answer.fields.insert(answer.fields.end(), record.begin(), record.end());
            return answer;
        });
        transport->respond("GET_RULE_DOCUMENTS_FOR_SET", [](const wire::Request&) {
            return wire::Answer{0, {{"ID", 11}, {"RO", 0}, {"ID", 12}, {"RO", 1}}};
        });
        ASSERT_EQ(state.session().Login("", "jsmith", ""), 0);
        ASSERT_TRUE(state.channel().Open(5, state.session(), nullptr));
        transport->clearSent();
    }

    // The fields of the only request sent under this code.
    wire::Fields sentFields(const std::string& code) {
        const auto requests = transport->sent(code);
        EXPECT_EQ(requests.size(), 1u) << code;
        return requests.empty() ? wire::Fields{} : requests[0].fields;
    }

    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
};

class ScriptedRuleScreens : public ::testing::Test, public ScriptedClient {};

// A screen's controls by their names.
struct Controls {
    explicit Controls(QWidget& shown) : screen(shown) {}
    QPushButton* button(const char* name) {
        auto* found = screen.findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* field(const char* name) {
        return screen.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    std::vector<bool> enabled(std::initializer_list<const char*> names) {
        std::vector<bool> out;
        for (const char* name : names)
            out.push_back(button(name)->isEnabled());
        return out;
    }
    QWidget& screen;
};

} // namespace velumar::testing
