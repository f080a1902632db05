#pragma once
// One record set as the server lists it.

#include <QString>

class QComboBox;

namespace orvane {
class Channel;
}

namespace velumar {

class RecordSet {
public:
    // Reads the current answer record: "RSID", "RSCO", "RSD", "RSN", "RSC",
    // "RST", "RT", "RSUD", "RSUO", in that order.
    void PopulateFromPelm(orvane::Channel& channel);

    // Adds Name with Id as item data.
    void AddToComboBox(QComboBox& combo) const;

    qint32 Id() const { return id_; }
    QString Key() const { return QString::number(id_); }
    const QString& Name() const { return name_; }
    const QString& Description() const { return description_; }
    const QString& CreateOperator() const { return createOperator_; }
    qint32 RecordCount() const { return recordCount_; }
    qint32 SetType() const { return setType_; }
    qint32 RecordType() const { return recordType_; }
    // The short name of RecordType; empty for an unknown type.
    QString RecordTypeName() const;
    const QString& UpdateDate() const { return updateDate_; }
    // Who changed the set last, or who made it when nobody has changed it since.
    const QString& UpdateOperator() const {
        return updateOperator_.isEmpty() ? createOperator_ : updateOperator_;
    }

private:
    qint32 id_ = 0;
    QString createOperator_;
    QString description_;
    QString name_;
    qint32 recordCount_ = 0;
    qint32 setType_ = 0;
    qint32 recordType_ = 0;
    QString updateDate_;
    QString updateOperator_;
};

} // namespace velumar
