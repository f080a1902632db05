#pragma once
// The inputs of a replace-string group: its TEMP variable, the subfield or
// control field it works on, and what it writes: a string at a position, or
// a string (or pattern) in place of another. On a control field a chosen
// control variable gives the position.

#include <QWidget>
#include <cstdint>
#include <string>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace velumar {

class ControlFieldInputs;
class MarcReferenceInputs;

struct ReplaceString {
    std::int32_t variableNumber = 1;
    std::string controlField; // set: the group works on this control field
    std::string field;
    std::string subfield;
    std::string search;
    std::string replacement;
    std::int32_t position = 0;
    bool pattern = false;
};

class ReplaceStringInputs : public QWidget {
    Q_OBJECT
public:
    explicit ReplaceStringInputs(QWidget* parent = nullptr);

    void Configure(bool atPosition);
    void SetReplace(const ReplaceString& replace);
    ReplaceString Replace() const;

private:
    void showChosen();

    bool atPosition_ = true;
    QSpinBox* spnTempVariable_;
    QRadioButton* optDataField_;
    QRadioButton* optControlField_;
    MarcReferenceInputs* refSource_;
    ControlFieldInputs* ctlSource_;
    QLineEdit* txtSearch_;
    QWidget* positionRow_;
    QSpinBox* spnPosition_;
    QWidget* replaceRow_;
    QLineEdit* txtReplace_;
    QCheckBox* chkPattern_;
};

} // namespace velumar
