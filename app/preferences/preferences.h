#pragma once
// The operator's settings of this program, kept per user under the
// application "OrvaneVLM", section "Preferences", as text: true/false as
// "True"/"False", numbers and colours (see colour_value.h) in decimal.
// Loads itself when created; writes back only on SavePreferences.
//
// A stored value that does not convert to its kind (a word where a number
// belongs, a true/false other than "True" or "False") keeps the default.

#include "common/settings_store.h"

#include <QList>
#include <QString>
#include <array>

class QComboBox;
class QWidget;

namespace velumar {

class CharacterSetTable;
struct ColourRequest;

class Preferences {
public:
    static constexpr char Application[] = "OrvaneVLM";
    static constexpr char Section[] = "Preferences";
    static constexpr int CustomColourCount = 16;

    explicit Preferences(SettingsStore store = UserSettingsStore());

    // Writes every setting, the custom colours included.
    void SavePreferences() const;

    QString LogViewerApp() const { return logViewerApp_; }
    void SetLogViewerApp(const QString& value) { logViewerApp_ = value; }
    QString DefaultMatchIdTag() const { return defaultMatchIdTag_; }
    void SetDefaultMatchIdTag(const QString& value) { defaultMatchIdTag_ = value; }
    bool Add035ToNewAuthRecords() const { return add035_; }
    void SetAdd035ToNewAuthRecords(bool value) { add035_ = value; }

    bool FontBold() const { return fontBold_; }
    // A position in the font sizes "8" to "12".
    int FontSizeIndex() const { return fontSizeIndex_; }
    void SetFontSizeIndex(int value) { fontSizeIndex_ = value; }
    QString FontName() const { return fontName_; }
    void SetFontName(const QString& value) { fontName_ = value; }
    bool FontNameSet() const { return !fontName_.isEmpty(); }

    qint32 PreviewHighlightChanged() const { return previewChanged_; }
    void SetPreviewHighlightChanged(qint32 value) { previewChanged_ = value; }
    qint32 PreviewHighlightDeleted() const { return previewDeleted_; }
    void SetPreviewHighlightDeleted(qint32 value) { previewDeleted_ = value; }
    qint32 PreviewHighlightInserted() const { return previewInserted_; }
    void SetPreviewHighlightInserted(qint32 value) { previewInserted_ = value; }
    qint32 RulesHighlightNotImplemented() const { return rulesNotImplemented_; }
    void SetRulesHighlightNotImplemented(qint32 value) { rulesNotImplemented_ = value; }
    qint32 CustomColour(int index) const;
    void SetCustomColour(int index, qint32 value);

    QString DslrDataChangeDir() const { return dslrDataChangeDir_; }
    void SetDslrDataChangeDir(const QString& value) { dslrDataChangeDir_ = value; }
    QString DslrScanDir() const { return dslrScanDir_; }
    void SetDslrScanDir(const QString& value) { dslrScanDir_ = value; }
    QString RecordIdDir() const { return recordIdDir_; }
    void SetRecordIdDir(const QString& value) { recordIdDir_ = value; }
    QString BinaryMarcRecDir() const { return binaryMarcRecDir_; }
    void SetBinaryMarcRecDir(const QString& value) { binaryMarcRecDir_ = value; }

    bool RetainSearch() const { return retainSearch_; }
    bool AutoTruncate() const { return autoTruncate_; }
    bool WarnOnClose() const { return warnOnClose_; }
    // A position in the character set table.
    int CharSetIndex() const { return charSetIndex_; }
    void SetCharSetIndex(int value) { charSetIndex_ = value; }

    // The four true/false settings as check box values: 1 when set, else 0;
    // any non-zero value sets.
    int FontBoldValue() const { return fontBold_ ? 1 : 0; }
    void SetFontBoldValue(int value) { fontBold_ = value != 0; }
    int AutoTruncateValue() const { return autoTruncate_ ? 1 : 0; }
    void SetAutoTruncateValue(int value) { autoTruncate_ = value != 0; }
    int RetainSearchValue() const { return retainSearch_ ? 1 : 0; }
    void SetRetainSearchValue(int value) { retainSearch_ = value != 0; }
    int WarnOnCloseValue() const { return warnOnClose_ ? 1 : 0; }
    void SetWarnOnCloseValue(int value) { warnOnClose_ = value != 0; }

    // "8" to "12", the entry at FontSizeIndex selected.
    void PopulateFontSizes(QComboBox& combo) const;
    // The character set names in table order, the entry at CharSetIndex selected.
    void PopulateCharSets(QComboBox& combo, const CharacterSetTable& table) const;
    // The font name, when one is set; with sizeAndBold also the size and bold.
    void SetGridFont(QWidget& grid, bool sizeAndBold) const;
    // The font size at FontSizeIndex; 0 when the index is outside the list.
    int FontSize() const;

    // The picker gets, and gives back, the 16 custom colours; no picker: nothing.
    void CustomColors_Send(ColourRequest* picker) const;
    void CustomColors_Retrieve(const ColourRequest* picker);

    // The defaults where nothing is stored.
    static constexpr char DefaultTag[] = "935";
    static constexpr int DefaultCharSetIndex = 2;
    static qint32 DefaultPreviewHighlightChanged();
    static qint32 DefaultPreviewHighlightDeleted();
    static qint32 DefaultPreviewHighlightInserted();
    static qint32 DefaultRulesHighlightNotImplemented();

private:
    void load();

    SettingsStore store_;
    QString logViewerApp_;
    QString defaultMatchIdTag_ = QString::fromLatin1(DefaultTag);
    bool add035_ = false;
    bool fontBold_ = false;
    int fontSizeIndex_ = 0;
    QString fontName_;
    qint32 previewChanged_;
    qint32 previewDeleted_;
    qint32 previewInserted_;
    qint32 rulesNotImplemented_;
    std::array<qint32, CustomColourCount> customColours_{};
    QString dslrDataChangeDir_;
    QString dslrScanDir_;
    QString recordIdDir_;
    QString binaryMarcRecDir_;
    bool retainSearch_ = false;
    bool autoTruncate_ = false;
    bool warnOnClose_ = false;
    int charSetIndex_ = DefaultCharSetIndex;
};

} // namespace velumar
