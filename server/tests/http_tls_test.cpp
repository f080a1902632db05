// The HTTP front over TLS: a made-up certificate, requests answered through
// it, and clients that never finish the handshake cut off like slow ones.

#include "core/server_core.h"
#include "http/http_server.h"
#include "protocol/json_codec.h"
#include "protocol/status.h"
#include "raw_http_client.h"
#include "test_server.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <thread>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;
using namespace std::chrono_literals;

namespace {

// A self-signed certificate for 127.0.0.1 and its key, written as PEM files.
bool writeCertificate(const std::string& certificatePath, const std::string& keyPath) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    bool ok = key && cert;
    if (ok) {
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), 0);
        X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(cert, name);
        ok = X509_sign(cert, key, EVP_sha256()) > 0;
    }
    if (ok) {
        FILE* c = std::fopen(certificatePath.c_str(), "w");
        FILE* k = std::fopen(keyPath.c_str(), "w");
        ok = c && k && PEM_write_X509(c, cert) == 1 &&
             PEM_write_PrivateKey(k, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
        if (c)
            std::fclose(c);
        if (k)
            std::fclose(k);
    }
    X509_free(cert);
    EVP_PKEY_free(key);
    ::chmod(keyPath.c_str(), 0600);
    return ok;
}

class HttpTlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::signal(SIGPIPE, SIG_IGN);
        certificate_ = server_.dir().file("cert.pem");
        key_ = server_.dir().file("key.pem");
        ASSERT_TRUE(writeCertificate(certificate_, key_));
        token_ = server_.login("demo", "demo");
    }
    void TearDown() override {
        if (http_) {
            http_->stop();
            thread_.join();
        }
    }

    void start(HttpLimits limits = {}) {
        http_ = std::make_unique<HttpServer>(server_.core().endpoint(), server_.core().log(),
                                             TlsFiles{certificate_, key_}, limits);
        ASSERT_TRUE(http_->valid()) << http_->error();
        port_ = http_->bind("127.0.0.1", 0);
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { http_->serve(); });
    }

    int charsetsStatus() {
        httplib::SSLClient client("127.0.0.1", port_);
        client.enable_server_certificate_verification(false);
        client.set_read_timeout(5);
        auto res = client.Post("/orvane/v1/request", {{"Authorization", "Bearer " + token_}},
                               R"({"code":"GETCHARSETS"})", "application/json");
        if (!res || res->status != 200)
            return -1;
        auto answer = wire::decodeAnswer(res->body);
        return answer.value ? answer.value->status : -2;
    }

    TestServer server_;
    std::string certificate_;
    std::string key_;
    std::string token_;
    std::unique_ptr<HttpServer> http_;
    std::thread thread_;
    int port_ = 0;
};

} // namespace

TEST_F(HttpTlsTest, RequestsAreAnsweredOverTls) {
    start();
    EXPECT_EQ(charsetsStatus(), 0);
    EXPECT_EQ(charsetsStatus(), 0);
}

// Connections that never finish the handshake, or speak plain HTTP to it,
// are closed at the deadline and keep no worker from others.
TEST_F(HttpTlsTest, UnfinishedHandshakesAreCutOff) {
    HttpLimits limits;
    limits.workers = 1;
    limits.requestTimeout = 500ms;
    start(limits);
    std::vector<std::unique_ptr<RawHttpClient>> stalled;
    for (int i = 0; i < 10; ++i)
        stalled.push_back(std::make_unique<RawHttpClient>(port_));
    RawHttpClient plain(port_);
    plain.send(postBytes(R"({"code":"GETCHARSETS"})", token_));
    EXPECT_EQ(charsetsStatus(), 0);
    for (auto& c : stalled)
        EXPECT_TRUE(c->receive(5s)) << "a stalled handshake was kept open";
    EXPECT_TRUE(plain.receive(5s));
    EXPECT_EQ(plain.statuses(), "");
}

TEST_F(HttpTlsTest, KeyThatDoesNotMatchIsRefused) {
    const std::string otherCert = server_.dir().file("other.pem");
    const std::string otherKey = server_.dir().file("other-key.pem");
    ASSERT_TRUE(writeCertificate(otherCert, otherKey));
    HttpServer mismatched(server_.core().endpoint(), server_.core().log(),
                          TlsFiles{certificate_, otherKey});
    EXPECT_FALSE(mismatched.valid());
    EXPECT_NE(mismatched.error().find(otherKey), std::string::npos) << mismatched.error();
}

// A private key other users of the host can read is no longer private: the
// server refuses it rather than serve with it.
TEST_F(HttpTlsTest, KeyReadableByOthersIsRefused) {
    ::chmod(key_.c_str(), 0644);
    HttpServer exposed(server_.core().endpoint(), server_.core().log(),
                       TlsFiles{certificate_, key_});
    EXPECT_FALSE(exposed.valid());
    EXPECT_NE(exposed.error().find("readable by other users"), std::string::npos)
        << exposed.error();
    ::chmod(key_.c_str(), 0640);
    HttpServer kept(server_.core().endpoint(), server_.core().log(), TlsFiles{certificate_, key_});
    EXPECT_TRUE(kept.valid()) << kept.error();
}
