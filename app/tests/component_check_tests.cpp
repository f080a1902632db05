// The component table and what the check tells the operator.
#include "components/component_check.h"
#include "components/component_table.h"
#include "qt_printers.h"
#include "version.h"

#include <gtest/gtest.h>

namespace velumar {
namespace {

TEST(ComponentCheck, NoCheckIsRecognisedInAnyLetterCaseAndOnlyAsAWholeArgument) {
    EXPECT_TRUE(SkipsComponentCheck({"velumar", "/nocheck"}));
    EXPECT_TRUE(SkipsComponentCheck({"velumar", "--operator", "demo", "/NoCheck"}));
    EXPECT_TRUE(SkipsComponentCheck({"velumar", "/NOCHECK"}));
    EXPECT_FALSE(SkipsComponentCheck({"velumar"}));
    EXPECT_FALSE(SkipsComponentCheck({"velumar", "nocheck"}));
    EXPECT_FALSE(SkipsComponentCheck({"velumar", "/nochecks"}));
}

TEST(ComponentCheck, ThisProgramsTableMatchesItselfAndExpectsProtocolOne) {
    const ComponentTable table = ComponentTable::OfThisProgram();
    ASSERT_EQ(table.Components().size(), 3);
    EXPECT_EQ(table.Components()[0].Name, "Velumar client");
    EXPECT_EQ(table.Components()[1].Name, "orvane library");
    EXPECT_EQ(table.Components()[1].Installed, orvane::LibraryVersion());
    EXPECT_EQ(table.Components()[2].Name, "server protocol");
    EXPECT_EQ(table.Components()[2].Required, "1");
    EXPECT_TRUE(table.Components()[2].Installed.isEmpty());
    EXPECT_EQ(LocalComponentMismatchText(table), "");
}

TEST(ComponentCheck, NamesEveryComponentInTheProgramThatIsNotTheVersionNeeded) {
    ComponentTable table;
    table.Add({"Velumar client", "2.0", "2.0"});
    table.Add({"orvane library", "2.0", "1.9"});
    table.Add({"spelling", "3", ""});
    table.Add({"server protocol", "1", "7"}); // the server's turn comes later

    EXPECT_EQ(LocalComponentMismatchText(table),
              "Velumar cannot start: some of its components are not the versions it needs.\n\n"
              "orvane library: version 1.9, version 2.0 needed\n"
              "spelling: not found, version 3 needed\n"
              "\nPlease install Velumar again.");
}

TEST(ComponentCheck, TellsWhichProtocolTheServerSpeaksOrThatItDoesNotSay) {
    ComponentTable table = ComponentTable::OfThisProgram();
    EXPECT_EQ(ServerProtocolMismatchText(table, "https://lib.example"),
              "Velumar cannot work with the server https://lib.example.\n\n"
              "The server does not say which protocol version it speaks; this Velumar needs "
              "protocol version 1. Please use the Velumar that goes with this server.");
    table.SetInstalled("server protocol", "2");
    EXPECT_EQ(ServerProtocolMismatchText(table, "https://lib.example"),
              "Velumar cannot work with the server https://lib.example.\n\n"
              "The server speaks protocol version 2; this Velumar needs protocol version 1. "
              "Please use the Velumar that goes with this server.");
    table.SetInstalled("server protocol", "1");
    EXPECT_EQ(ServerProtocolMismatchText(table, "https://lib.example"), "");
}

} // namespace
} // namespace velumar
