#include "record_set.h"

#include "channel.h"
#include "record_types.h"

#include <QComboBox>

namespace velumar {

void RecordSet::PopulateFromPelm(orvane::Channel& channel) {
    id_ = channel.GetNumericField(QStringLiteral("RSID"));
    createOperator_ = channel.GetField(QStringLiteral("RSCO"));
    description_ = channel.GetField(QStringLiteral("RSD"));
    name_ = channel.GetField(QStringLiteral("RSN"));
    recordCount_ = channel.GetNumericField(QStringLiteral("RSC"));
    setType_ = channel.GetNumericField(QStringLiteral("RST"));
    recordType_ = channel.GetNumericField(QStringLiteral("RT"));
    updateDate_ = channel.GetField(QStringLiteral("RSUD"));
    updateOperator_ = channel.GetField(QStringLiteral("RSUO"));
}

void RecordSet::AddToComboBox(QComboBox& combo) const { combo.addItem(name_, id_); }

QString RecordSet::RecordTypeName() const { return RecordTypeShortName(recordType_); }

} // namespace velumar
