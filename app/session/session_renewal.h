#pragma once
// What the run does when the server no longer knows the session (it was
// restarted, or the session was left idle too long): the operator is told
// so and offered the login again. The channel asks this of every request
// that meets a lost session, and sends the request again once the operator
// is logged in again, so no screen handles it on its own.

#include <QString>

namespace velumar {

class SessionState;

// The question put to the operator (Yes logs in again).
QString SessionEndedQuestion();

// True when the operator chose to log in again and did.
bool RenewLostSession(SessionState& state);

} // namespace velumar
