#pragma once
// Where an added subfield takes its value from: a value typed in, a MARC
// expression (built in the expression template), or a TEMP variable left by
// a replace-string group.

#include <QWidget>
#include <cstdint>
#include <string>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace velumar {

struct ValueSource {
    std::string value;
    std::string expression;
    std::int32_t variableNumber = 0;
};

class ValueSourceInputs : public QWidget {
    Q_OBJECT
public:
    explicit ValueSourceInputs(QWidget* parent = nullptr);

    void SetSource(const ValueSource& source);
    // Only the chosen source is filled.
    ValueSource Source() const;
    void SetExpression(const QString& expression);
    QString ExpressionText() const;
    QPushButton* ExpressionButton() const { return cmdExpression_; }

private:
    void enableChosen();

    QRadioButton* optValue_;
    QRadioButton* optExpression_;
    QRadioButton* optVariable_;
    QLineEdit* txtValue_;
    QLineEdit* txtExpression_;
    QPushButton* cmdExpression_;
    QSpinBox* spnVariable_;
};

} // namespace velumar
