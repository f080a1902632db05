#include "http_transport.h"

#include "dispatch/endpoint.h"
#include "protocol/json_codec.h"
#include "protocol/status.h"
#include "reply_decoding.h"

#include <QUrl>
#include <httplib.h>

namespace orvane {

struct HttpTransport::Client {
    std::unique_ptr<httplib::Client> http;
    std::string path;
    std::string invalid; // why the URL cannot be used
};

HttpTransport::HttpTransport(const QString& url, HttpTimeouts timeouts)
    : client_(std::make_unique<Client>()) {
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        client_->invalid = "not a server address: " + url.toStdString();
        return;
    }
    const int port = parsed.port(scheme == QLatin1String("https") ? 443 : 80);
    const QString host = parsed.host().contains(QLatin1Char(':'))
                             ? QLatin1Char('[') + parsed.host() + QLatin1Char(']')
                             : parsed.host();
    client_->http = std::make_unique<httplib::Client>(
        QStringLiteral("%1://%2:%3").arg(scheme, host).arg(port).toStdString());
    if (!client_->http->is_valid()) {
        client_->invalid = "cannot use the server address " + url.toStdString();
        return;
    }
    QString prefix = parsed.path();
    while (prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    client_->path = prefix.toStdString() + std::string(server::Endpoint::Path);
    client_->http->set_connection_timeout(timeouts.connect);
    client_->http->set_read_timeout(timeouts.read);
    client_->http->set_write_timeout(timeouts.write);
}

HttpTransport::~HttpTransport() = default;

TransportResult HttpTransport::exchange(const wire::Request& request, const std::string& token) {
    if (!client_->invalid.empty())
        return transportFailure(wire::status::Unreachable, client_->invalid);

    httplib::Headers headers;
    if (!token.empty())
        headers.emplace("Authorization", "Bearer " + token);
    auto reply = client_->http->Post(client_->path, headers, wire::encodeRequest(request),
                                     "application/json");
    if (!reply)
        return transportFailure(wire::status::Unreachable,
                                "no answer from the server: " + httplib::to_string(reply.error()));
    return decodeReply(reply->status, reply->body);
}

} // namespace orvane
