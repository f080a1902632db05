#pragma once
// What the three templates share: the kind list, the inputs of the chosen
// kind, the rule line the template will write shown live as the inputs
// change (the model's own written form), and OK, which runs the kind's
// checks and closes only when they pass.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace velumar {

class PlatformServices;

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    // OK: the dialog is accepted only when the checks pass.
    void Confirm();

    // The chosen kind's item data; -1 when none is chosen.
    int Kind() const;
    void SetKind(int kind);
    // The line (or lines) the template would write now.
    QString LineText() const;

protected:
    TemplateDialog(PlatformServices& platform, const QString& name, const QString& title,
                   int helpContextId, QWidget* parent);

    // While the inputs are filled from the template's object: no line is
    // written back into the object from inputs not yet filled.
    class Loading {
    public:
        explicit Loading(TemplateDialog& dialog) : dialog_(dialog) { ++dialog_.loading_; }
        ~Loading() { --dialog_.loading_; }
        Loading(const Loading&) = delete;
        Loading& operator=(const Loading&) = delete;

    private:
        TemplateDialog& dialog_;
    };

    void addKind(const QString& text, int kind);
    QVBoxLayout* inputs() const { return inputs_; }
    // Rebuilds the line from the inputs; every input calls it when it changes.
    void refresh();
    // Connects the change signal of every input below the template to refresh().
    void watchInputs();

    // The chosen kind's inputs shown, the others hidden.
    virtual void showKind(int kind) = 0;
    // The inputs written into the template's object, and its lines rendered.
    virtual QStringList renderedLines() = 0;
    // False, after telling the operator why, when the line may not be stored.
    virtual bool check() = 0;

    // An exclamation message box; answers false for the caller to return.
    bool refuse(const QString& text);
    PlatformServices& platform() { return platform_; }

    void keyPressEvent(QKeyEvent* event) override;

private:
    PlatformServices& platform_;
    int helpContextId_;
    QComboBox* cboKind_;
    QVBoxLayout* inputs_;
    QLabel* lblLine_;
    QPushButton* cmdOK_;
    bool refreshing_ = false;
    int loading_ = 0;
};

} // namespace velumar
