#include "http_server.h"

#include "dispatch/endpoint.h"
#include "protocol/json_codec.h"
#include "util/log.h"

#include <httplib.h>

#include <chrono>
#include <thread>

namespace orvane::server {

namespace {
constexpr const char* JsonType = "application/json";
}

HttpServer::HttpServer(Endpoint& endpoint, Log& log, const TlsFiles& tls)
    : endpoint_(endpoint), log_(log) {
    if (tls.enabled())
        server_ = std::make_unique<httplib::SSLServer>(tls.certificate.c_str(), tls.key.c_str());
    else
        server_ = std::make_unique<httplib::Server>();

    // Bodies a little over the endpoint's limit still reach it, so the
    // refusal is the endpoint's JSON error; far larger ones stop here.
    server_->set_payload_max_length(Endpoint::MaxBodyBytes * 2);
    // SO_REUSEADDR alone: a restart may bind over connections in TIME_WAIT,
    // but a second server cannot share a port another one listens on.
    server_->set_socket_options([](int sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server_->set_read_timeout(30, 0);
    server_->set_write_timeout(30, 0);

    server_->Post(std::string(Endpoint::Path),
                  [this](const httplib::Request& req, httplib::Response& res) {
                      HttpReply reply =
                          endpoint_.handle(req.body, req.get_header_value("Authorization"));
                      res.status = reply.status;
                      res.set_content(std::move(reply.body), JsonType);
                  });
    server_->set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            const char* what = res.status == 404 ? "no such path; requests go to POST "
                                                   "/orvane/v1/request"
                               : res.status == 413 ? "request body is larger than the server accepts"
                                                   : "request refused";
            res.set_content(wire::encodeError(what), JsonType);
        }
    });
    server_->set_exception_handler(
        [this](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
            try {
                std::rethrow_exception(ep);
            } catch (const std::exception& e) {
                log_.line(std::string("http: ") + e.what());
            } catch (...) {
                log_.line("http: unknown exception");
            }
            res.status = 500;
            res.set_content(wire::encodeError("internal server error"), JsonType);
        });
}

HttpServer::~HttpServer() { stop(); }

bool HttpServer::valid() const { return server_->is_valid(); }

int HttpServer::bind(const std::string& host, int port) {
    if (port == 0)
        return server_->bind_to_any_port(host.c_str());
    return server_->bind_to_port(host.c_str(), port) ? port : -1;
}

bool HttpServer::serve() {
    serving_ = true;
    bool ok = true;
    if (!stopRequested_)
        ok = server_->listen_after_bind();
    serving_ = false;
    return ok;
}

// The library's stop does nothing until its loop runs, so a stop that comes
// while serve() is starting is repeated until the loop has seen it.
void HttpServer::stop() {
    stopRequested_ = true;
    while (serving_) {
        server_->stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace orvane::server
