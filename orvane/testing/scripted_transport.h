#pragma once
// A transport for tests: answers each request code from a script and keeps
// every request it was sent, with its exact fields in order and its token.
// Client code under test runs on a RequestChannel over it, so the channel
// behaves exactly as it does against a real server.
//
// For each code, queued results are used first, one per request, in order;
// then the code's responder, when it has one; otherwise the answer is
// status 90 (unknown request), as from a server that lacks the code.

#include "transport.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orvane::testing {

struct SentRequest {
    wire::Request request;
    std::string token;
};

class ScriptedTransport final : public Transport {
public:
    using Responder = std::function<wire::Answer(const wire::Request&)>;

    // Answers the next request of this code.
    void queue(const std::string& code, wire::Answer answer);
    // The next request of this code gets no answer: status is a client
    // status (9001 to 9004).
    void queueFailure(const std::string& code, qint32 status, std::string error = "scripted");
    // Answers every request of this code once its queue is empty.
    void respond(const std::string& code, Responder responder);

    TransportResult exchange(const wire::Request& request, const std::string& token) override;

    const std::vector<SentRequest>& sent() const { return sent_; }
    // The requests sent under this code, in order.
    std::vector<wire::Request> sent(const std::string& code) const;
    // Codes in the order they were sent.
    std::vector<std::string> codes() const;
    // Queued results not used yet, over all codes.
    std::size_t unused() const;
    void clearSent() { sent_.clear(); }

private:
    std::map<std::string, std::deque<TransportResult>> queued_;
    std::map<std::string, Responder> responders_;
    std::vector<SentRequest> sent_;
};

} // namespace orvane::testing
