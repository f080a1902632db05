#pragma once
// "Load Match Configuration": authority-load match groups (type 3) with the
// duplicate detection profile and the match id tag they save as parameters.
// "Delete-By-Auth-Status" is linked into every new configuration and stays;
// "MatchCode-And-Tag-Field" is never listed and always linked last on save.

#include "rule_set_group_screen.h"

class QComboBox;
class QLineEdit;

namespace velumar {

class frmRuleSetGroups_AuthLoadMatch : public RuleSetGroupScreen {
    Q_OBJECT
public:
    static constexpr char DeleteByAuthStatus[] = "Delete-By-Auth-Status";

    explicit frmRuleSetGroups_AuthLoadMatch(SessionState& state, QWidget* parent = nullptr);

    void Activate() override;

protected:
    bool prepareNew() override;
    bool prepareCopy(qint32 id) override;
    bool prepareEdit(qint32 id) override;
    qint32 saveWorking(const QString& name, const QString& description) override;
    void showSelected(qint32 id) override;

private:
    // The working group's settings shown, its match-code link taken out of the lists.
    void showSettings();

    bool profilesLoaded_ = false;
    QLineEdit* txtViewMatchIdTag_;
    QLineEdit* txtViewProfile_;
    QComboBox* cboProfile_;
    QLineEdit* txtMatchIdTag_;
};

} // namespace velumar
