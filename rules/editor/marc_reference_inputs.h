#pragma once
// The inputs of one MARC reference: field tag, indicators, field
// occurrence, subfield codes and subfield occurrence. Each template shows
// the parts its line form writes.

#include <QWidget>
#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace velumar {

struct MarcReferenceParts {
    QString tagCaption = QStringLiteral("&Field:");
    int tagLength = 3;
    bool indicators = true;
    bool fieldOccurrence = true;
    bool subfields = true;
    bool severalSubfields = true;
    bool wildcard = false;
    bool subfieldOccurrence = true;
    QString subfieldCaption = QStringLiteral("&Subfield:");
};

struct MarcReference {
    std::string field;
    std::string indicator1 = "#";
    std::string indicator2 = "#";
    std::int32_t fieldOccurrence = -1;
    std::string subfields;
    std::int32_t subfieldOccurrence = -1;
};

class MarcReferenceInputs : public QWidget {
    Q_OBJECT
public:
    explicit MarcReferenceInputs(const QString& name, QWidget* parent = nullptr);

    void Configure(const MarcReferenceParts& parts);
    const MarcReferenceParts& Parts() const { return parts_; }
    void SetReference(const MarcReference& reference);
    // The parts shown; those hidden answer their defaults.
    MarcReference Reference() const;

    QLineEdit* TagInput() const { return txtField_; }
    QLineEdit* SubfieldInput() const { return txtSubfields_; }

signals:
    void Changed();

private:
    MarcReferenceParts parts_;
    QLabel* lblField_;
    QLineEdit* txtField_;
    QLabel* lblIndicators_;
    QLineEdit* txtIndicator1_;
    QLineEdit* txtIndicator2_;
    QLabel* lblFieldOccurrence_;
    QComboBox* cboFieldOccurrence_;
    QLabel* lblSubfields_;
    QLineEdit* txtSubfields_;
    QLabel* lblSubfieldOccurrence_;
    QComboBox* cboSubfieldOccurrence_;
};

} // namespace velumar
