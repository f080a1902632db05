#include "session/session_renewal.h"

#include "general_helper.h"
#include "platform/platform_services.h"
#include "request_channel.h"
#include "session.h"
#include "session/session_state.h"

#include <QCursor>
#include <QGuiApplication>

namespace velumar {

namespace {

// The normal pointer while the operator answers, whatever busy state the
// request was sent in; the wait pointer comes back for the resent request.
struct NormalPointer {
    NormalPointer() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalPointer() { QGuiApplication::restoreOverrideCursor(); }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;
};

} // namespace

QString SessionEndedQuestion() {
    return QStringLiteral("The session with the server has ended: the server may have been "
                          "restarted, or the session was left idle too long.\r\n\r\n"
                          "Log in again? What you were doing is then sent to the server again.");
}

bool RenewLostSession(SessionState& state) {
    const NormalPointer pointer;
    Message question;
    question.text = SessionEndedQuestion();
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (state.platform().ShowMessage(question) != MessageAnswer::Yes) {
        state.channel().WriteLog(QStringLiteral("Session ended; the operator did not log in again"));
        return false;
    }
    return state.helper().Login(state.session(), orvane::GeneralHelper::RenewSession) == 0;
}

} // namespace velumar
