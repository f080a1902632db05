#pragma once
// The frame of the scan and match screens that says where found records go:
// index 0 an existing set of the job's record type, index 1 a new set of a
// name typed. Each option is offered only with the operator's right for the
// record type: to change sets of it, or to create them.

#include <QGroupBox>

class QComboBox;
class QLineEdit;

namespace orvane {
class Channel;
}

namespace velumar {

class OptionGroup;
class RecordSets;
class SecurityProfile;

class SaveSetChoice : public QGroupBox {
    Q_OBJECT
public:
    enum Option { ExistingSet = 0, NewSet = 1 };

    SaveSetChoice(const QString& title, const QString& newSetCaption, QWidget* parent = nullptr);

    // The sets of the record type, keeping the set chosen when still listed,
    // and the options the rights allow.
    void Refill(const RecordSets& sets, const SecurityProfile& profile, int recordType);
    // An existing set chosen, or a new name that is not blank.
    bool Complete() const;
    // "SRS" the set's id, or "RSN" the new name trimmed.
    void AddFields(orvane::Channel& channel) const;
    void Reset();

    int Chosen() const;
    qint32 ChosenSetId() const; // -1 when none
    QString NewSetName() const; // trimmed
    QLineEdit* NewSetBox() const { return fpNewRecordSet_; }

signals:
    void Changed();

private:
    OptionGroup* optSave_;
    QComboBox* cboSaveRecordSet_;
    QLineEdit* fpNewRecordSet_;
};

} // namespace velumar
