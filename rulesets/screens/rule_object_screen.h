#pragma once
// What every rule screen shares: the list of its type's objects (vsf) with
// New, Copy, Edit and Delete by the operator's rights, the selected object
// in a read-only view panel (fraView), and an edit panel (fraEdit) with its
// name, description, caption, Save and Cancel. The screens below say what
// is listed, what an edit works on and how it is saved.

#include "main_window/function_screen.h"

#include <optional>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace velumar {

class Grid;
class RuleSets;
class SessionState;
struct RuleScreenKind;

class RuleObjectScreen : public FunctionScreen {
    Q_OBJECT
public:
    // Each time the screen comes to the front: its list from the server, unless an edit is open.
    void Activate() override;
    bool EditInProgress() const override { return editing_; }

    void New();
    void Copy();
    void Edit();
    void Delete();
    // Saves with the trimmed name and description; the panel stays open when it fails.
    void Save();
    void Cancel();

    qint32 SelectedId() const;
    const RuleScreenKind& ScreenKind() const { return kind_; }

protected:
    RuleObjectScreen(SessionState& state, const RuleScreenKind& kind, QWidget* parent);

    struct Shown {
        QString name;
        QString description;
        QString modified;
        QString modifiedBy;
    };

    // The type's objects loaded from the server.
    virtual void load() = 0;
    // The loaded objects in vsf, the given id selected.
    virtual void fill(Grid& grid, qint32 selectId) = 0;
    // The listed object of this id; none when it is not listed.
    virtual std::optional<Shown> shown(qint32 id) = 0;
    // The object an edit works on, made ready; false when there is none.
    virtual bool prepareNew() = 0;
    virtual bool prepareCopy(qint32 id) = 0;
    virtual bool prepareEdit(qint32 id) = 0;
    virtual Shown working() const = 0;
    // The saved id, or 0 when the save failed (the operator has been told).
    virtual qint32 saveWorking(const QString& name, const QString& description) = 0;
    virtual void deleteObject(qint32 id) = 0;
    virtual void discardWorking() = 0;
    // The selected object shown: the subclass's own view fields.
    virtual void showSelected(qint32 /*id*/) {}

    // The list again from the server, selecting the id (or the row selected before).
    void reload(qint32 selectId = -1);
    // Opens the edit panel on the working object under the caption.
    void openPanel(const QString& caption);
    void closePanel();
    // The buttons by rights, selection and whether an edit is open; subclasses add theirs.
    virtual void setButtons();
    bool MayAdd() const;
    bool MayUpdate() const;
    bool MayDelete() const;

    QPushButton* MakeButton(const char* name, const QString& caption);
    // Where subclasses put their own controls.
    QVBoxLayout* ListButtons() const { return listButtons_; }
    QVBoxLayout* ViewBody() const { return viewBody_; }
    QVBoxLayout* EditBody() const { return editBody_; }
    QPushButton* SaveButton() const { return cmdSave_; }
    Grid& List() const { return *vsf_; }

    SessionState& state_;
    RuleSets& ruleSets_;
    const RuleScreenKind& kind_;

private:
    void build();
    void showView();

    bool editing_ = false;
    Grid* vsf_;
    QVBoxLayout* listButtons_;
    QPushButton* cmdNew_;
    QPushButton* cmdCopy_;
    QPushButton* cmdEdit_;
    QPushButton* cmdDelete_;
    QStackedWidget* panels_;
    QGroupBox* fraView_;
    QLineEdit* lblViewName_;
    QPlainTextEdit* txtViewDesc_;
    QLineEdit* fpModified_;
    QLineEdit* fpModifiedBy_;
    QVBoxLayout* viewBody_;
    QGroupBox* fraEdit_;
    QLineEdit* fpName_;
    QPlainTextEdit* txtDesc_;
    QLineEdit* lblEditModified_;
    QVBoxLayout* editBody_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
};

} // namespace velumar
