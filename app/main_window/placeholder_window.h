#pragma once
// The main window until the real one with its navigation lands: who is
// logged in where, the File menu's Change Password and Exit entries, and the
// navigation's function groups, trimmed to the operator's rights.

#include <QMainWindow>
#include <QStringList>

class QAction;
class QListWidget;

namespace orvane {
class Session;
}

namespace velumar {

class SecurityProfile;

class PlaceholderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PlaceholderWindow(const orvane::Session& session, QWidget* parent = nullptr);

    QAction* ChangePasswordAction() const { return changePassword_; }
    void SetChangePasswordAvailable(bool available);

    // Removes the function groups the operator has no right to.
    void ApplyRights(const SecurityProfile& profile);
    // The captions of the navigation's groups, top to bottom.
    QStringList NavigationGroups() const;

private:
    QAction* changePassword_;
    QListWidget* navigation_;
};

} // namespace velumar
