#pragma once
// Routes a decoded request to its handler after the checks every request
// gets: session, field kinds, operator id, right.

#include "handler.h"
#include "protocol/message.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

class Log;
class LoginGuard;
class SessionTable;
class Store;

// A request's fate: an answer (HTTP 200), or a refusal with an HTTP status.
struct Outcome {
    int httpStatus = 200;
    wire::Answer answer;
    std::string error; // set when httpStatus != 200
};

struct DispatchPolicy {
    bool trustLocalLogin = false;
    // Slows password guessing; none where no passwords are checked.
    LoginGuard* loginGuard = nullptr;
};

class Dispatcher {
public:
    Dispatcher(Store& store, SessionTable& sessions, Log& log, DispatchPolicy policy = {});

    // Registers a handler; a second handler for the same code is a programming error.
    void add(Handler handler);
    bool knows(std::string_view code) const;
    // Every registered code, in order, and a code's handler (null if none):
    // what a test of the rights of every request walks.
    std::vector<std::string> codes() const;
    const Handler* handler(std::string_view code) const;
    bool knowsSession(const std::string& token) const;

    // `peer` is the client's address (empty on the embedded server).
    Outcome dispatch(const wire::Request& request, const std::string& token,
                     std::string_view peer = {});

private:
    Store& store_;
    SessionTable& sessions_;
    Log& log_;
    DispatchPolicy policy_;
    std::map<std::string, Handler, std::less<>> handlers_;
};

} // namespace orvane::server
