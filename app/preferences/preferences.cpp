#include "preferences/preferences.h"

#include "charsets/character_set_table.h"
#include "common/colour_value.h"
#include "platform/platform_services.h"

#include <QComboBox>
#include <QWidget>
#include <limits>

namespace velumar {

namespace {

// The stored names; several differ from the properties, three keep an old misspelling.
constexpr char LogViewerAppKey[] = "LogViewerApp";
constexpr char DefaultMatchIdTagKey[] = "DefaultAuthLoadMatchIdTag";
constexpr char Add035Key[] = "Add035FieldWhenCreatingNewAuthRecords";
constexpr char FontBoldKey[] = "FontBold";
constexpr char FontSizeIndexKey[] = "FontSizeIndex";
constexpr char FontNameKey[] = "FontName";
constexpr char PreviewChangedKey[] = "PreviewHightlightChanged";
constexpr char PreviewDeletedKey[] = "PreviewHightlightDeleted";
constexpr char PreviewInsertedKey[] = "PreviewHightlightInserted";
constexpr char RulesNotImplementedKey[] = "RulesHighlightNotImplemented";
constexpr char CustomColourKey[] = "VLMCustomColors";
constexpr char DslrDataChangeDirKey[] = "DslrDataChangeDir";
constexpr char DslrScanDirKey[] = "DslrScanDir";
constexpr char RecordIdDirKey[] = "RecordIdDir";
constexpr char BinaryMarcRecDirKey[] = "BinaryMarcRecDir";
constexpr char RetainSearchKey[] = "RetainSearch";
constexpr char AutoTruncateKey[] = "AutoTruncation";
constexpr char WarnOnCloseKey[] = "WarnOnClose";
constexpr char CharSetIndexKey[] = "CharSetIndex";

constexpr int FirstFontSize = 8;
constexpr int FontSizeCount = 5;

// Each reader leaves the value alone when the key is missing or does not convert.
class Reader {
public:
    explicit Reader(const QSettings& settings) : settings_(settings) {}

    void text(const char* key, QString& value) const {
        const QVariant stored = settings_.value(QLatin1String(key));
        if (stored.isValid())
            value = stored.toString();
    }

    void flag(const char* key, bool& value) const {
        const QString stored = settings_.value(QLatin1String(key)).toString();
        if (stored.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            value = true;
        else if (stored.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            value = false;
    }

    void index(const char* key, int& value) const {
        bool ok = false;
        const int stored = settings_.value(QLatin1String(key)).toString().trimmed().toInt(&ok);
        if (ok && stored >= std::numeric_limits<qint16>::min() &&
            stored <= std::numeric_limits<qint16>::max())
            value = stored;
    }

    void colour(const QString& key, qint32& value) const {
        bool ok = false;
        const qint32 stored = settings_.value(key).toString().trimmed().toInt(&ok);
        if (ok)
            value = stored;
    }

private:
    const QSettings& settings_;
};

QString flagText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString customColourKey(int index) {
    return QLatin1String(CustomColourKey) + QString::number(index);
}

} // namespace

qint32 Preferences::DefaultPreviewHighlightChanged() {
    return RgbValue(255, 255, 119);
}
qint32 Preferences::DefaultPreviewHighlightDeleted() {
    return RgbValue(255, 170, 170);
}
qint32 Preferences::DefaultPreviewHighlightInserted() {
    return RgbValue(170, 255, 170);
}
qint32 Preferences::DefaultRulesHighlightNotImplemented() {
    return ButtonFaceColour;
}

Preferences::Preferences(SettingsStore store)
    : store_(std::move(store)), previewChanged_(DefaultPreviewHighlightChanged()),
      previewDeleted_(DefaultPreviewHighlightDeleted()),
      previewInserted_(DefaultPreviewHighlightInserted()),
      rulesNotImplemented_(DefaultRulesHighlightNotImplemented()) {
    load();
}

void Preferences::load() {
    const auto settings = store_();
    settings->beginGroup(QString::fromLatin1(Section));
    const Reader read(*settings);
    read.text(LogViewerAppKey, logViewerApp_);
    read.text(DefaultMatchIdTagKey, defaultMatchIdTag_);
    read.flag(Add035Key, add035_);
    read.flag(FontBoldKey, fontBold_);
    read.index(FontSizeIndexKey, fontSizeIndex_);
    read.text(FontNameKey, fontName_);
    read.colour(QLatin1String(PreviewChangedKey), previewChanged_);
    read.colour(QLatin1String(PreviewDeletedKey), previewDeleted_);
    read.colour(QLatin1String(PreviewInsertedKey), previewInserted_);
    read.colour(QLatin1String(RulesNotImplementedKey), rulesNotImplemented_);
    for (int i = 0; i < CustomColourCount; ++i)
        read.colour(customColourKey(i), customColours_[static_cast<std::size_t>(i)]);
    read.text(DslrDataChangeDirKey, dslrDataChangeDir_);
    read.text(DslrScanDirKey, dslrScanDir_);
    read.text(RecordIdDirKey, recordIdDir_);
    read.text(BinaryMarcRecDirKey, binaryMarcRecDir_);
    read.flag(RetainSearchKey, retainSearch_);
    read.flag(AutoTruncateKey, autoTruncate_);
    read.flag(WarnOnCloseKey, warnOnClose_);
    read.index(CharSetIndexKey, charSetIndex_);
}

void Preferences::SavePreferences() const {
    const auto settings = store_();
    settings->beginGroup(QString::fromLatin1(Section));
    const auto put = [&](const QString& key, const QString& value) {
        settings->setValue(key, value);
    };
    put(QLatin1String(LogViewerAppKey), logViewerApp_);
    put(QLatin1String(DefaultMatchIdTagKey), defaultMatchIdTag_);
    put(QLatin1String(Add035Key), flagText(add035_));
    put(QLatin1String(FontBoldKey), flagText(fontBold_));
    put(QLatin1String(FontSizeIndexKey), QString::number(fontSizeIndex_));
    put(QLatin1String(FontNameKey), fontName_);
    put(QLatin1String(PreviewChangedKey), QString::number(previewChanged_));
    put(QLatin1String(PreviewDeletedKey), QString::number(previewDeleted_));
    put(QLatin1String(PreviewInsertedKey), QString::number(previewInserted_));
    put(QLatin1String(RulesNotImplementedKey), QString::number(rulesNotImplemented_));
    for (int i = 0; i < CustomColourCount; ++i)
        put(customColourKey(i), QString::number(customColours_[static_cast<std::size_t>(i)]));
    put(QLatin1String(DslrDataChangeDirKey), dslrDataChangeDir_);
    put(QLatin1String(DslrScanDirKey), dslrScanDir_);
    put(QLatin1String(RecordIdDirKey), recordIdDir_);
    put(QLatin1String(BinaryMarcRecDirKey), binaryMarcRecDir_);
    put(QLatin1String(RetainSearchKey), flagText(retainSearch_));
    put(QLatin1String(AutoTruncateKey), flagText(autoTruncate_));
    put(QLatin1String(WarnOnCloseKey), flagText(warnOnClose_));
    put(QLatin1String(CharSetIndexKey), QString::number(charSetIndex_));
    settings->sync();
}

qint32 Preferences::CustomColour(int index) const {
    if (index < 0 || index >= CustomColourCount)
        return 0;
    return customColours_[static_cast<std::size_t>(index)];
}

void Preferences::SetCustomColour(int index, qint32 value) {
    if (index >= 0 && index < CustomColourCount)
        customColours_[static_cast<std::size_t>(index)] = value;
}

void Preferences::PopulateFontSizes(QComboBox& combo) const {
    for (int i = 0; i < FontSizeCount; ++i)
        combo.addItem(QString::number(FirstFontSize + i));
    if (fontSizeIndex_ >= 0 && fontSizeIndex_ < combo.count())
        combo.setCurrentIndex(fontSizeIndex_);
}

void Preferences::PopulateCharSets(QComboBox& combo, const CharacterSetTable& table) const {
    for (const CharacterSet& set : table.Entries())
        combo.addItem(set.Name);
    if (charSetIndex_ >= 0 && charSetIndex_ < combo.count())
        combo.setCurrentIndex(charSetIndex_);
}

int Preferences::FontSize() const {
    if (fontSizeIndex_ < 0 || fontSizeIndex_ >= FontSizeCount)
        return 0;
    return FirstFontSize + fontSizeIndex_;
}

void Preferences::SetGridFont(QWidget& grid, bool sizeAndBold) const {
    if (!FontNameSet())
        return;
    QFont font = grid.font();
    font.setFamily(fontName_);
    if (sizeAndBold) {
        font.setBold(fontBold_);
        if (FontSize() > 0)
            font.setPointSize(FontSize());
    }
    grid.setFont(font);
}

void Preferences::CustomColors_Send(ColourRequest* picker) const {
    if (!picker)
        return;
    picker->customColours.clear();
    for (const qint32 value : customColours_)
        picker->customColours.push_back(ColourOf(value));
}

void Preferences::CustomColors_Retrieve(const ColourRequest* picker) {
    if (!picker)
        return;
    for (int i = 0; i < CustomColourCount && i < picker->customColours.size(); ++i)
        customColours_[static_cast<std::size_t>(i)] = ColourValueOf(picker->customColours[i]);
}

} // namespace velumar
