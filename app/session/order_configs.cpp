#include "session/order_configs.h"

#include "channel.h"

#include <QComboBox>

namespace velumar {

OrderConfigs::OrderConfigs(orvane::Channel& channel) {
    if (channel.SendRequest(QStringLiteral("GETMARCFIELDORDER")) != 0)
        return;
    const QString key = QStringLiteral("MFOCID");
    while (channel.NextRecord(key))
        items_.push_back(
            {channel.GetNumericField(key), channel.GetField(QStringLiteral("MFONAME"))});
}

void OrderConfigs::LoadOrderConfigs(QComboBox& combo) const {
    for (const auto& config : items_)
        combo.addItem(config.Name, config.Id);
}

} // namespace velumar
