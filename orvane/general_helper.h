#pragma once
// The shared helper object of the server-access library. Its login step
// brings the session to a logged-in operator or tells the caller it could not.

#include "log_writer.h"

#include <functional>

namespace orvane {

class LoginDialog;
class Session;

class GeneralHelper {
public:
    static constexpr int StartupLogin = 1;
    // The same operator again on the same server, once the server no longer
    // knows the session: only the password is asked for.
    static constexpr int RenewSession = 2;
    // Login's answer when the operator cancelled the dialog.
    static constexpr int Cancelled = -1;

    // Shows the login dialog and answers its QDialog result. exec() unless
    // replaced (tests drive the dialog without a modal loop).
    using DialogRunner = std::function<int(LoginDialog&)>;

    explicit GeneralHelper(LogWriter log = LogWriter());

    // mode StartupLogin: when the command line named an operator, logs in
    // unattended (password from VELUMAR_PASSWORD) and never shows a dialog;
    // mode RenewSession: the dialog for the session's own operator and server;
    // otherwise, and in every other mode, asks with the login dialog.
    // 0 when logged in; the refusing status, or Cancelled, otherwise.
    int Login(Session& session, int mode);

    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

private:
    LogWriter log_;
    DialogRunner runDialog_;
};

} // namespace orvane
