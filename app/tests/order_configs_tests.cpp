// The field order configurations: loaded once, by their own keys, with no
// fields sent, and offered in a combo box by name with the id kept.
#include "qt_printers.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session/order_configs.h"

#include <QComboBox>
#include <gtest/gtest.h>
#include <memory>

namespace velumar {
namespace {

using orvane::wire::Answer;
using Transport = orvane::testing::ScriptedTransport;

TEST(OrderConfigs, LoadsEveryConfigurationInOrderWithoutSendingAnyField) {
    auto transport = std::make_shared<Transport>();
    transport->queue("GETMARCFIELDORDER", Answer{0,
                                                 {{"MFOCID", 12},
                                                  {"MFONAME", "Tag order"},
                                                  {"MFOCID", 3},
                                                  {"MFONAME", "Local fields last"}}});
    orvane::RequestChannel channel(transport, "tok");

    const OrderConfigs configs(channel);

    EXPECT_EQ(transport->codes(), std::vector<std::string>{"GETMARCFIELDORDER"});
    EXPECT_TRUE(transport->sent()[0].request.fields.empty());
    EXPECT_EQ(configs.Items(), (QList<OrderConfig>{{12, "Tag order"}, {3, "Local fields last"}}));
}

TEST(OrderConfigs, AnyFailureLeavesTheListEmpty) {
    auto transport = std::make_shared<Transport>();
    transport->queue("GETMARCFIELDORDER", Answer{6, {{"MFOCID", 1}, {"MFONAME", "x"}}});
    transport->queueFailure("GETMARCFIELDORDER", 9001);
    orvane::RequestChannel channel(transport, "tok");

    EXPECT_TRUE(OrderConfigs(channel).Items().isEmpty());
    EXPECT_TRUE(OrderConfigs(channel).Items().isEmpty());
}

TEST(OrderConfigs, AddsNamesWithTheirIdsAfterWhatTheBoxHolds) {
    auto transport = std::make_shared<Transport>();
    transport->queue("GETMARCFIELDORDER", Answer{0,
                                                 {{"MFOCID", 12},
                                                  {"MFONAME", "Tag order"},
                                                  {"MFOCID", 3},
                                                  {"MFONAME", "Local fields last"}}});
    orvane::RequestChannel channel(transport, "tok");
    const OrderConfigs configs(channel);
    QComboBox combo;
    combo.addItem("", 0); // the screens' own "none" entry

    configs.LoadOrderConfigs(combo);

    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), "");
    EXPECT_EQ(combo.itemText(1), "Tag order");
    EXPECT_EQ(combo.itemData(1), QVariant(12));
    EXPECT_EQ(combo.itemText(2), "Local fields last");
    EXPECT_EQ(combo.itemData(2), QVariant(3));
}

} // namespace
} // namespace velumar
