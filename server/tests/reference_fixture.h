#pragma once
// A server on a temporary database holding the reference data and the demo
// reference objects, with one logged-in operator; requests go straight to
// its dispatcher.

#include "core/server_core.h"
#include "demo/seed.h"
#include "protocol/message.h"
#include "store/database.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace orvane::server::testing {

class ReferenceServer : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("velumar-reference-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        ServerOptions options;
        options.dbPath = (dir_ / "server.db").string();
        options.logPath = (dir_ / "server.log").string();
        core_ = std::make_unique<ServerCore>(options);
        Database& base = db();
        seedReferenceData(base);
        seedDemoReference(base);
        base.exec("INSERT INTO operators (operator_id, password_hash) VALUES ('cataloguer', '-')");
        token_ = core_->sessions().open(base.lastInsertId(), "cataloguer").token;
    }

    void TearDown() override {
        core_.reset();
        std::filesystem::remove_all(dir_);
    }

    Database& db() { return core_->store().db(); }
    ServerCore& core() { return *core_; }
    const std::string& token() const { return token_; }

    Outcome dispatch(std::string code, wire::Fields fields = {}) {
        return core_->dispatcher().dispatch({std::move(code), std::move(fields)}, token_);
    }

    // The answer of a request the dispatcher lets through.
    wire::Answer send(std::string code, wire::Fields fields = {}) {
        auto outcome = dispatch(std::move(code), std::move(fields));
        EXPECT_EQ(outcome.httpStatus, 200) << outcome.error;
        return outcome.answer;
    }

private:
    std::filesystem::path dir_;
    std::unique_ptr<ServerCore> core_;
    std::string token_;
};

// The records of an answer as the client walks them: from each occurrence
// of key up to the next.
inline std::vector<wire::Fields> records(const wire::Answer& answer, std::string_view key) {
    std::vector<wire::Fields> out;
    for (const auto& field : answer.fields) {
        if (field.key == key)
            out.emplace_back();
        if (!out.empty())
            out.back().push_back(field);
    }
    return out;
}

// Fields as KEY=value, texts quoted, so a comparison shows kinds as well as values.
inline std::string describe(const wire::Fields& fields) {
    std::string out;
    for (const auto& f : fields) {
        if (!out.empty())
            out += ' ';
        out += f.key + '=';
        if (const auto* text = std::get_if<std::string>(&f.value))
            out += '"' + *text + '"';
        else if (const auto* number = std::get_if<std::int32_t>(&f.value))
            out += std::to_string(*number);
        else
            out += std::get<bool>(f.value) ? "true" : "false";
    }
    return out;
}

} // namespace orvane::server::testing
