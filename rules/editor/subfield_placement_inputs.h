#pragma once
// Where an added subfield goes: at the end of the field, or after or before
// the first or the last subfield of a code.

#include <QWidget>
#include <string>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace velumar {

struct SubfieldPlacement {
    std::string keyword;    // "after", "before", or empty: at the end
    std::string subfield;   // the code placed against
    std::string occurrence; // "0" the first, "99" the last
};

class SubfieldPlacementInputs : public QWidget {
    Q_OBJECT
public:
    explicit SubfieldPlacementInputs(QWidget* parent = nullptr);

    void SetPlacement(const SubfieldPlacement& placement);
    // Empty when the subfield goes at the end.
    SubfieldPlacement Placement() const;

private:
    void enableChosen();

    QRadioButton* optAtEnd_;
    QRadioButton* optAfter_;
    QRadioButton* optBefore_;
    QLineEdit* txtOrderSubfield_;
    QComboBox* cboOrderOccurrence_;
};

} // namespace velumar
