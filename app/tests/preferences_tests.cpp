// The preferences object: its defaults, the stored form of every setting
// under its exact key, values that do not convert, and the list and font
// helpers.
#include "charsets/character_set_table.h"
#include "common/colour_value.h"
#include "platform/platform_services.h"
#include "preferences/preferences.h"
#include "qt_printers.h"
#include "temp_settings.h"

#include <QComboBox>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace velumar {
namespace {

class PreferencesTest : public ::testing::Test {
protected:
    void store(const QString& key, const QString& value) {
        auto settings = temp.Open();
        settings->setValue("Preferences/" + key, value);
    }
    QString stored(const QString& key) const {
        return temp.Open()->value("Preferences/" + key).toString();
    }
    testing::TempSettings temp;
};

TEST_F(PreferencesTest, WithNothingStoredTheDefaultsApply) {
    const Preferences prefs(temp.Store());
    EXPECT_EQ(prefs.LogViewerApp(), "");
    EXPECT_EQ(prefs.DefaultMatchIdTag(), "935");
    EXPECT_FALSE(prefs.Add035ToNewAuthRecords());
    EXPECT_FALSE(prefs.FontBold());
    EXPECT_EQ(prefs.FontSizeIndex(), 0);
    EXPECT_FALSE(prefs.FontNameSet());
    EXPECT_EQ(prefs.PreviewHighlightChanged(), 255 + 256 * 255 + 65536 * 119);
    EXPECT_EQ(prefs.PreviewHighlightDeleted(), 255 + 256 * 170 + 65536 * 170);
    EXPECT_EQ(prefs.PreviewHighlightInserted(), 170 + 256 * 255 + 65536 * 170);
    EXPECT_EQ(prefs.RulesHighlightNotImplemented(), -2147483633);
    for (int i = 0; i < Preferences::CustomColourCount; ++i)
        EXPECT_EQ(prefs.CustomColour(i), 0);
    EXPECT_EQ(prefs.DslrDataChangeDir(), "");
    EXPECT_EQ(prefs.BinaryMarcRecDir(), "");
    EXPECT_FALSE(prefs.RetainSearch());
    EXPECT_FALSE(prefs.AutoTruncate());
    EXPECT_FALSE(prefs.WarnOnClose());
    EXPECT_EQ(prefs.CharSetIndex(), 2);
}

TEST_F(PreferencesTest, SavingWritesEverySettingUnderItsKeyInItsStoredForm) {
    Preferences prefs(temp.Store());
    prefs.SetLogViewerApp("/usr/bin/less");
    prefs.SetDefaultMatchIdTag("901");
    prefs.SetAdd035ToNewAuthRecords(true);
    prefs.SetFontBoldValue(1);
    prefs.SetFontSizeIndex(3);
    prefs.SetFontName("DejaVu Sans Mono");
    prefs.SetPreviewHighlightChanged(RgbValue(1, 2, 3));
    prefs.SetPreviewHighlightDeleted(RgbValue(4, 5, 6));
    prefs.SetPreviewHighlightInserted(RgbValue(7, 8, 9));
    prefs.SetCustomColour(15, RgbValue(0, 0, 255));
    prefs.SetDslrDataChangeDir("/dc");
    prefs.SetDslrScanDir("/scan");
    prefs.SetRecordIdDir("/ids");
    prefs.SetBinaryMarcRecDir("/marc");
    prefs.SetRetainSearchValue(7);
    prefs.SetAutoTruncateValue(0);
    prefs.SetWarnOnCloseValue(-1);
    prefs.SetCharSetIndex(0);
    prefs.SavePreferences();

    EXPECT_EQ(stored("LogViewerApp"), "/usr/bin/less");
    EXPECT_EQ(stored("DefaultAuthLoadMatchIdTag"), "901");
    EXPECT_EQ(stored("Add035FieldWhenCreatingNewAuthRecords"), "True");
    EXPECT_EQ(stored("FontBold"), "True");
    EXPECT_EQ(stored("FontSizeIndex"), "3");
    EXPECT_EQ(stored("FontName"), "DejaVu Sans Mono");
    EXPECT_EQ(stored("PreviewHightlightChanged"), "197121");
    EXPECT_EQ(stored("PreviewHightlightDeleted"), "394500");
    EXPECT_EQ(stored("PreviewHightlightInserted"), "591879");
    EXPECT_EQ(stored("RulesHighlightNotImplemented"), "-2147483633");
    EXPECT_EQ(stored("VLMCustomColors0"), "0");
    EXPECT_EQ(stored("VLMCustomColors15"), "16711680");
    EXPECT_EQ(stored("DslrDataChangeDir"), "/dc");
    EXPECT_EQ(stored("DslrScanDir"), "/scan");
    EXPECT_EQ(stored("RecordIdDir"), "/ids");
    EXPECT_EQ(stored("BinaryMarcRecDir"), "/marc");
    EXPECT_EQ(stored("RetainSearch"), "True");
    EXPECT_EQ(stored("AutoTruncation"), "False");
    EXPECT_EQ(stored("WarnOnClose"), "True");
    EXPECT_EQ(stored("CharSetIndex"), "0");
    EXPECT_EQ(temp.Open()->allKeys().size(), 18 + 16);

    const Preferences again(temp.Store());
    EXPECT_EQ(again.LogViewerApp(), "/usr/bin/less");
    EXPECT_EQ(again.DefaultMatchIdTag(), "901");
    EXPECT_TRUE(again.Add035ToNewAuthRecords());
    EXPECT_EQ(again.FontBoldValue(), 1);
    EXPECT_EQ(again.FontSizeIndex(), 3);
    EXPECT_EQ(again.FontName(), "DejaVu Sans Mono");
    EXPECT_EQ(again.PreviewHighlightInserted(), RgbValue(7, 8, 9));
    EXPECT_EQ(again.CustomColour(15), RgbValue(0, 0, 255));
    EXPECT_EQ(again.RecordIdDir(), "/ids");
    EXPECT_EQ(again.RetainSearchValue(), 1);
    EXPECT_EQ(again.AutoTruncateValue(), 0);
    EXPECT_EQ(again.WarnOnCloseValue(), 1);
    EXPECT_EQ(again.CharSetIndex(), 0);
}

TEST_F(PreferencesTest, AValueThatDoesNotConvertKeepsItsDefault) {
    store("WarnOnClose", "yes");
    store("RetainSearch", "1");
    store("AutoTruncation", "true"); // the platform's form, in any letter case
    store("FontSizeIndex", "large");
    store("CharSetIndex", "70000"); // beyond a 16-bit index
    store("PreviewHightlightDeleted", "pink");
    store("RulesHighlightNotImplemented", "-2147483640");
    store("VLMCustomColors3", "12.5");
    store("DefaultAuthLoadMatchIdTag", "");

    const Preferences prefs(temp.Store());
    EXPECT_FALSE(prefs.WarnOnClose());
    EXPECT_FALSE(prefs.RetainSearch());
    EXPECT_TRUE(prefs.AutoTruncate());
    EXPECT_EQ(prefs.FontSizeIndex(), 0);
    EXPECT_EQ(prefs.CharSetIndex(), 2);
    EXPECT_EQ(prefs.PreviewHighlightDeleted(), Preferences::DefaultPreviewHighlightDeleted());
    EXPECT_EQ(prefs.RulesHighlightNotImplemented(), -2147483640);
    EXPECT_EQ(prefs.CustomColour(3), 0);
    // Text is kept as stored, empty included.
    EXPECT_EQ(prefs.DefaultMatchIdTag(), "");
}

TEST_F(PreferencesTest, ListsAndTheGridFontFollowTheSettings) {
    store("FontSizeIndex", "2");
    store("CharSetIndex", "1");
    Preferences prefs(temp.Store());

    QComboBox sizes;
    prefs.PopulateFontSizes(sizes);
    ASSERT_EQ(sizes.count(), 5);
    EXPECT_EQ(sizes.itemText(0), "8");
    EXPECT_EQ(sizes.itemText(4), "12");
    EXPECT_EQ(sizes.currentText(), "10");

    QComboBox sets;
    prefs.PopulateCharSets(sets, CharacterSetTable());
    EXPECT_EQ(sets.count(), 0);

    QTableWidget grid;
    const QFont before = grid.font();
    prefs.SetGridFont(grid, true); // no font name: the grid keeps its own
    EXPECT_EQ(grid.font(), before);

    prefs.SetFontName("Serif Test");
    prefs.SetFontBoldValue(1);
    prefs.SetGridFont(grid, false);
    EXPECT_EQ(grid.font().family(), "Serif Test");
    EXPECT_EQ(grid.font().bold(), before.bold());
    prefs.SetGridFont(grid, true);
    EXPECT_TRUE(grid.font().bold());
    EXPECT_EQ(grid.font().pointSize(), 10);
}

TEST_F(PreferencesTest, CustomColoursGoToThePickerAndComeBack) {
    Preferences prefs(temp.Store());
    prefs.SetCustomColour(0, RgbValue(10, 20, 30));
    ColourRequest picker;
    prefs.CustomColors_Send(&picker);
    ASSERT_EQ(picker.customColours.size(), 16);
    EXPECT_EQ(picker.customColours[0], QColor(10, 20, 30));

    picker.customColours[5] = QColor(200, 100, 50);
    prefs.CustomColors_Retrieve(&picker);
    EXPECT_EQ(prefs.CustomColour(5), RgbValue(200, 100, 50));
    EXPECT_EQ(prefs.CustomColour(0), RgbValue(10, 20, 30));

    prefs.CustomColors_Send(nullptr); // no picker: nothing happens
    prefs.CustomColors_Retrieve(nullptr);
    EXPECT_EQ(prefs.CustomColour(5), RgbValue(200, 100, 50));
}

} // namespace
} // namespace velumar
