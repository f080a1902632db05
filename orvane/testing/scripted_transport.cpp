#include "scripted_transport.h"

#include "protocol/status.h"
#include "reply_decoding.h"

namespace orvane::testing {

void ScriptedTransport::queue(const std::string& code, wire::Answer answer) {
    TransportResult result;
    result.status = answer.status;
    result.answer = std::move(answer);
    queued_[code].push_back(std::move(result));
}

void ScriptedTransport::queueFailure(const std::string& code, qint32 status, std::string error) {
    queued_[code].push_back(transportFailure(status, std::move(error)));
}

void ScriptedTransport::respond(const std::string& code, Responder responder) {
    responders_[code] = std::move(responder);
}

TransportResult ScriptedTransport::exchange(const wire::Request& request,
                                            const std::string& token) {
    sent_.push_back({request, token});
    if (auto q = queued_.find(request.code); q != queued_.end() && !q->second.empty()) {
        TransportResult result = std::move(q->second.front());
        q->second.pop_front();
        return result;
    }
    wire::Answer answer;
    if (auto r = responders_.find(request.code); r != responders_.end())
        answer = r->second(request);
    else
        answer.status = wire::status::UnknownRequest;
    TransportResult result;
    result.status = answer.status;
    result.answer = std::move(answer);
    return result;
}

std::vector<wire::Request> ScriptedTransport::sent(const std::string& code) const {
    std::vector<wire::Request> out;
    for (const auto& s : sent_)
        if (s.request.code == code)
            out.push_back(s.request);
    return out;
}

std::vector<std::string> ScriptedTransport::codes() const {
    std::vector<std::string> out;
    out.reserve(sent_.size());
    for (const auto& s : sent_)
        out.push_back(s.request.code);
    return out;
}

std::size_t ScriptedTransport::unused() const {
    std::size_t n = 0;
    for (const auto& [code, results] : queued_)
        n += results.size();
    return n;
}

} // namespace orvane::testing
