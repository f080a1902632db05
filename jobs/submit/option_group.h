#pragma once
// An indexed group of option buttons as the submission screens have them
// ("optScan_0", "optScan_1", ...): at most one chosen, and none at all
// until the operator or the screen chooses one.

#include <QObject>
#include <map>

class QButtonGroup;
class QRadioButton;
class QString;

namespace velumar {

class OptionGroup : public QObject {
    Q_OBJECT
public:
    // Buttons are named `name` + "_" + their index.
    OptionGroup(const char* name, QObject* owner);

    QRadioButton* Add(int index, const QString& caption);
    QRadioButton* Option(int index) const;
    // The chosen index; -1 when none is.
    int Chosen() const;
    bool IsChosen(int index) const { return Chosen() == index; }
    // Chooses an enabled option; a disabled one is left alone.
    void Choose(int index);
    void Clear();
    // Enables or disables an option; a disabled option is no longer chosen.
    void SetOptionEnabled(int index, bool enabled);

signals:
    void Changed();

private:
    const char* name_;
    QButtonGroup* group_;
    std::map<int, QRadioButton*> options_;
};

} // namespace velumar
