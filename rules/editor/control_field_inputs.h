#pragma once
// The inputs of a control field reference: the control field, and for LDR
// and 008 a control variable, which stands in for the byte range inputs.

#include <QWidget>
#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QSpinBox;

namespace velumar {

struct ControlFieldParts {
    bool onlyLeaderAnd008 = false; // the list offers LDR and 008 alone
    bool variables = true;
    bool byteRange = true;
};

struct ControlReference {
    std::string field;
    std::string variable;
    std::int16_t byteStart = -1;
    std::int16_t byteEnd = -1;
};

class ControlFieldInputs : public QWidget {
    Q_OBJECT
public:
    explicit ControlFieldInputs(const QString& name, QWidget* parent = nullptr);

    void Configure(const ControlFieldParts& parts);
    void SetReference(const ControlReference& reference);
    // A chosen variable leaves the byte range at -1: the variable gives it.
    ControlReference Reference() const;

signals:
    void Changed();

private:
    void fillVariables();
    void showRange();

    ControlFieldParts parts_;
    QComboBox* cboControlField_;
    QLabel* lblControlVariable_;
    QComboBox* cboControlVariable_;
    QLabel* lblByteRange_;
    QSpinBox* spnByteStart_;
    QSpinBox* spnByteEnd_;
};

} // namespace velumar
