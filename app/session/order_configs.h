#pragma once
// The MARC field order configurations the server offers, loaded once when
// created; the data change job and the preview offer them by name.

#include <QList>
#include <QString>

class QComboBox;

namespace orvane {
class Channel;
}

namespace velumar {

struct OrderConfig {
    qint32 Id = 0; // "MFOCID"
    QString Name;  // "MFONAME"

    bool operator==(const OrderConfig&) const = default;
};

class OrderConfigs {
public:
    // "GETMARCFIELDORDER"; any failure leaves the list empty, without a message.
    explicit OrderConfigs(orvane::Channel& channel);

    const QList<OrderConfig>& Items() const { return items_; }

    // Adds each name with its id as item data, after what the box holds.
    void LoadOrderConfigs(QComboBox& combo) const;

private:
    QList<OrderConfig> items_;
};

} // namespace velumar
