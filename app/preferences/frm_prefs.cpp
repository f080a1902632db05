#include "preferences/frm_prefs.h"

#include "common/colour_value.h"
#include "files/file_system.h"
#include "help/help_topics.h"
#include "platform/desktop_programs.h"
#include "platform/platform_services.h"
#include "preferences/folder_check.h"
#include "preferences/path_input.h"
#include "preferences/preferences.h"
#include "record_search.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <optional>

namespace velumar {

namespace {

constexpr char DataChangePrompt[] =
    "Please select a directory as your preferred import/export folder for Data Change rule sets.";
constexpr char ScanPrompt[] =
    "Please select a directory as your preferred import/export folder for Scan rule sets.";
constexpr char RecordIdPrompt[] =
    "Please select a directory as your preferred folder for Record Id Lists.";
constexpr char BinaryMarcPrompt[] = "Please select a directory as your preferred folder for files "
                                    "containing binary MARC records.";

const std::array<qint32 (*)(), 3> previewDefaults{&Preferences::DefaultPreviewHighlightChanged,
                                                  &Preferences::DefaultPreviewHighlightDeleted,
                                                  &Preferences::DefaultPreviewHighlightInserted};

QLabel* sampleLabel(const QString& name, QWidget* parent) {
    auto* sample = new QLabel(QStringLiteral("  245 10 $a Sample title  "), parent);
    sample->setObjectName(name);
    sample->setAutoFillBackground(true);
    sample->setFrameShape(QFrame::StyledPanel);
    sample->setMinimumWidth(200);
    return sample;
}

QPushButton* namedButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

// The folder part of a path, up to and including its last separator.
QString folderPart(const QString& path) {
    const qsizetype last =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return last < 0 ? QString() : path.left(last + 1);
}

} // namespace

frmPrefs::frmPrefs(SessionState& state, QWidget* parent)
    : QDialog(parent), state_(state), tabs_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(QStringLiteral("Session Defaults and Preferences"));
    setModal(true);
    tabs_->setObjectName(QStringLiteral("tabPrefs"));
    tabs_->addTab(buildGeneralTab(), QStringLiteral("&General"));
    tabs_->addTab(buildDisplayTab(), QStringLiteral("D&isplay"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, &frmPrefs::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    load();
}

PathInput* frmPrefs::folderInput(const QString& name, const QString& prompt) {
    auto* input = new PathInput(name, this);
    connect(input, &PathInput::BrowseRequested, this,
            [this, input, prompt] { browseFolder(*input, prompt); });
    return input;
}

QWidget* frmPrefs::buildGeneralTab() {
    auto* page = new QWidget;
    fpDslrDataChange_ =
        folderInput(QStringLiteral("fpDslrDataChange"), QString::fromLatin1(DataChangePrompt));
    fpDslrScan_ = folderInput(QStringLiteral("fpDslrScan"), QString::fromLatin1(ScanPrompt));
    fpRecordIds_ = folderInput(QStringLiteral("fpRecordIds"), QString::fromLatin1(RecordIdPrompt));
    fpBinaryMarcRecs_ =
        folderInput(QStringLiteral("fpBinaryMarcRecs"), QString::fromLatin1(BinaryMarcPrompt));
    fpExtAppLogViewer_ = new PathInput(QStringLiteral("fpExtAppLogViewer"), this);
    connect(fpExtAppLogViewer_, &PathInput::BrowseRequested, this, &frmPrefs::browseViewer);
    fpMatchIdTag_ = new PathInput(QStringLiteral("fpMatchIdTag"), this);
    fpMatchIdTag_->SetBrowseVisible(false);
    fpMatchIdTag_->Edit()->setMaxLength(10);
    fpMatchIdTag_->setMaximumWidth(80);

    const auto labelled = [page](const QString& caption, QWidget* input) {
        auto* label = new QLabel(caption, page);
        label->setBuddy(input);
        return label;
    };
    const auto folderFrame = [&](const QString& title,
                                 std::initializer_list<std::pair<QString, PathInput*>> rows) {
        auto* box = new QGroupBox(title, page);
        auto* form = new QFormLayout(box);
        for (const auto& [caption, input] : rows)
            form->addRow(labelled(caption, input), input);
        return box;
    };

    auto* rules = folderFrame(QStringLiteral("Folders - Import/Export Rule Sets"),
                              {{QStringLiteral("&Data Change:"), fpDslrDataChange_},
                               {QStringLiteral("&Scan:"), fpDslrScan_}});
    auto* ids = folderFrame(QStringLiteral("Folder - Record Id Lists"),
                            {{QStringLiteral("Record Id &Lists:"), fpRecordIds_}});
    auto* marc = folderFrame(QStringLiteral("Folder - Binary MARC Records"),
                             {{QStringLiteral("&MARC Records:"), fpBinaryMarcRecs_}});

    auto* external = new QGroupBox(QStringLiteral("External Applications"), page);
    auto* externalLayout = new QVBoxLayout(external);
    auto* viewerCaption = new QLabel(ViewerCaptionFor(ThisDesktop()), external);
    viewerCaption->setWordWrap(true);
    viewerCaption->setBuddy(fpExtAppLogViewer_);
    externalLayout->addWidget(viewerCaption);
    externalLayout->addWidget(fpExtAppLogViewer_);

    auto* search = new QGroupBox(QStringLiteral("Search Properties"), page);
    auto* searchLayout = new QGridLayout(search);
    chkAutoTruncation_ =
        new QCheckBox(QStringLiteral("&Automatic truncation for non keyword searches"), search);
    chkAutoTruncation_->setObjectName(QStringLiteral("chkAutoTruncation"));
    chkRetainLastSearch_ = new QCheckBox(QStringLiteral("&Retain last search "), search);
    chkRetainLastSearch_->setObjectName(QStringLiteral("chkRetainLastSearch"));
    cboDefaultFileEncoding_ = new QComboBox(search);
    cboDefaultFileEncoding_->setObjectName(QStringLiteral("cboDefaultFileEncoding"));
    searchLayout->addWidget(chkAutoTruncation_, 0, 0, 1, 2);
    searchLayout->addWidget(chkRetainLastSearch_, 1, 0, 1, 2);
    searchLayout->addWidget(
        labelled(QStringLiteral("Default MARC Records &Encoding:"), cboDefaultFileEncoding_), 2, 0,
        1, 2);
    searchLayout->addWidget(cboDefaultFileEncoding_, 3, 0, 1, 2);

    auto* authLoad = new QGroupBox(QStringLiteral("Auth Load"), page);
    auto* authLayout = new QGridLayout(authLoad);
    chkAdd035WhenCreatingNewAuthRecords_ =
        new QCheckBox(QStringLiteral("Add &035 field when creating new Auth records"), authLoad);
    chkAdd035WhenCreatingNewAuthRecords_->setObjectName(
        QStringLiteral("chkAdd035WhenCreatingNewAuthRecords"));
    authLayout->addWidget(chkAdd035WhenCreatingNewAuthRecords_, 0, 0, 1, 3);
    authLayout->addWidget(
        labelled(QStringLiteral("Default &Tag for Writing Matched Ids:"), fpMatchIdTag_), 1, 0);
    authLayout->addWidget(fpMatchIdTag_, 1, 1);
    authLayout->setColumnStretch(2, 1);

    chkWarnOnClose_ = new QCheckBox(QStringLiteral("Display &warning on module close"), page);
    chkWarnOnClose_->setObjectName(QStringLiteral("chkWarnOnClose"));

    auto* layout = new QGridLayout(page);
    layout->addWidget(rules, 0, 0);
    layout->addWidget(external, 0, 1);
    layout->addWidget(ids, 1, 0);
    layout->addWidget(search, 1, 1, 2, 1);
    layout->addWidget(marc, 2, 0);
    layout->addWidget(authLoad, 3, 0);
    layout->addWidget(chkWarnOnClose_, 3, 1, Qt::AlignBottom);
    layout->setRowStretch(4, 1);
    return page;
}

QWidget* frmPrefs::buildDisplayTab() {
    auto* page = new QWidget;

    auto* rules = new QGroupBox(QStringLiteral("Rule Editor Highlighting"), page);
    auto* rulesLayout = new QGridLayout(rules);
    lblRuleHighlight_ = sampleLabel(QStringLiteral("lblRuleHighlight"), rules);
    QPushButton* ruleColour =
        namedButton(QStringLiteral("Unimplemented Rules"), QStringLiteral("cmdRuleColor"), rules);
    ruleColour->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QPushButton* ruleReset =
        namedButton(QStringLiteral("Reset"), QStringLiteral("cmdRuleReset"), rules);
    rulesLayout->addWidget(ruleColour, 0, 0);
    rulesLayout->addWidget(lblRuleHighlight_, 0, 1);
    rulesLayout->addWidget(ruleReset, 0, 2);
    rulesLayout->setColumnStretch(1, 1);
    connect(ruleColour, &QPushButton::clicked, this,
            [this] { pickColour(ruleColour_, *lblRuleHighlight_); });
    connect(ruleReset, &QPushButton::clicked, this, [this] {
        ruleColour_ = Preferences::DefaultRulesHighlightNotImplemented();
        showColour(ruleColour_, *lblRuleHighlight_);
    });

    auto* preview = new QGroupBox(QStringLiteral("Preview Highlighting"), page);
    auto* previewLayout = new QGridLayout(preview);
    const std::array<QString, 3> captions{QStringLiteral("C&hanged Fields"),
                                          QStringLiteral("&Deleted Fields"),
                                          QStringLiteral("&Inserted Fields")};
    for (int i = 0; i < 3; ++i) {
        const auto at = static_cast<std::size_t>(i);
        lblPreviewHighlight_[at] =
            sampleLabel(QStringLiteral("lblPreviewHighlight%1").arg(i), preview);
        QPushButton* colour =
            namedButton(captions[at], QStringLiteral("cmdPreviewColor%1").arg(i), preview);
        colour->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        QPushButton* reset = namedButton(QStringLiteral("Reset"),
                                         QStringLiteral("cmdPreviewReset%1").arg(i), preview);
        previewLayout->addWidget(colour, i, 0);
        previewLayout->addWidget(lblPreviewHighlight_[at], i, 1);
        previewLayout->addWidget(reset, i, 2);
        previewLayout->setColumnStretch(1, 1);
        connect(colour, &QPushButton::clicked, this,
                [this, at] { pickColour(previewColours_[at], *lblPreviewHighlight_[at]); });
        connect(reset, &QPushButton::clicked, this, [this, at] {
            previewColours_[at] = previewDefaults[at]();
            showColour(previewColours_[at], *lblPreviewHighlight_[at]);
        });
    }

    auto* font = new QGroupBox(QStringLiteral("Rule Set and Preview Font"), page);
    auto* fontLayout = new QGridLayout(font);
    cboFontName_ = new QComboBox(font);
    cboFontName_->setObjectName(QStringLiteral("cboFontName"));
    cboFontSize_ = new QComboBox(font);
    cboFontSize_->setObjectName(QStringLiteral("cboFontSize"));
    chkFontBold_ = new QCheckBox(QStringLiteral("&Bold"), font);
    chkFontBold_->setObjectName(QStringLiteral("chkFontBold"));
    auto* nameLabel = new QLabel(QStringLiteral("&Name:"), font);
    nameLabel->setBuddy(cboFontName_);
    auto* sizeLabel = new QLabel(QStringLiteral("&Size:"), font);
    sizeLabel->setBuddy(cboFontSize_);
    fontLayout->addWidget(nameLabel, 0, 0);
    fontLayout->addWidget(cboFontName_, 0, 1);
    fontLayout->addWidget(sizeLabel, 0, 2);
    fontLayout->addWidget(cboFontSize_, 0, 3);
    fontLayout->addWidget(chkFontBold_, 0, 4);
    fontLayout->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(rules);
    layout->addWidget(preview);
    layout->addWidget(font);
    layout->addStretch(1);
    return page;
}

void frmPrefs::load() {
    const Preferences& prefs = state_.preferences();
    cboFontName_->addItem(QString());
    cboFontName_->addItems(QFontDatabase::families());
    // A font no longer installed stays the choice until the operator picks another.
    if (!prefs.FontName().isEmpty() && cboFontName_->findText(prefs.FontName()) < 0)
        cboFontName_->addItem(prefs.FontName());
    cboFontName_->setCurrentIndex(std::max(0, cboFontName_->findText(prefs.FontName())));
    prefs.PopulateFontSizes(*cboFontSize_);
    chkFontBold_->setChecked(prefs.FontBoldValue() != 0);

    previewColours_ = {prefs.PreviewHighlightChanged(), prefs.PreviewHighlightDeleted(),
                       prefs.PreviewHighlightInserted()};
    for (std::size_t i = 0; i < previewColours_.size(); ++i)
        showColour(previewColours_[i], *lblPreviewHighlight_[i]);
    ruleColour_ = prefs.RulesHighlightNotImplemented();
    showColour(ruleColour_, *lblRuleHighlight_);

    fpDslrDataChange_->SetText(prefs.DslrDataChangeDir());
    fpDslrScan_->SetText(prefs.DslrScanDir());
    fpRecordIds_->SetText(prefs.RecordIdDir());
    fpBinaryMarcRecs_->SetText(prefs.BinaryMarcRecDir());
    chkRetainLastSearch_->setChecked(prefs.RetainSearchValue() != 0);
    chkAutoTruncation_->setChecked(prefs.AutoTruncateValue() != 0);
    chkWarnOnClose_->setChecked(prefs.WarnOnCloseValue() != 0);
    fpMatchIdTag_->SetText(prefs.DefaultMatchIdTag());
    chkAdd035WhenCreatingNewAuthRecords_->setChecked(prefs.Add035ToNewAuthRecords());
    fpExtAppLogViewer_->SetText(prefs.LogViewerApp());
    prefs.PopulateCharSets(*cboDefaultFileEncoding_, state_.characterSets());
    // A stored choice the list cannot show (no character sets were loaded, or
    // fewer than before) shows as none, so OK keeps it rather than the first.
    if (prefs.CharSetIndex() < 0 || prefs.CharSetIndex() >= cboDefaultFileEncoding_->count())
        cboDefaultFileEncoding_->setCurrentIndex(-1);
    // The picker's custom colours are the screen's until OK.
    ColourRequest colours;
    prefs.CustomColors_Send(&colours);
    customColours_ = colours.customColours;
    tabs_->setCurrentIndex(0);
}

void frmPrefs::browseFolder(PathInput& input, const QString& prompt) {
    FolderRequest request;
    request.prompt = prompt;
    request.initialFolder = input.Text().trimmed();
    request.parent = this;
    const QString chosen = state_.platform().ChooseFolder(request);
    if (!chosen.isEmpty())
        input.SetText(chosen);
}

void frmPrefs::browseViewer() {
    FileSystem files(state_.platform());
    const QString chosen =
        files.GetFileNameForImport(ImportKind::Program, folderPart(fpExtAppLogViewer_->Text()));
    if (!chosen.isEmpty())
        fpExtAppLogViewer_->SetText(chosen);
}

void frmPrefs::pickColour(qint32& value, QLabel& sample) {
    ColourRequest picker;
    picker.parent = this;
    picker.customColours = customColours_;
    picker.initial = ColourOf(value);
    if (const auto chosen = state_.platform().ChooseColour(picker)) {
        value = ColourValueOf(*chosen);
        showColour(value, sample);
    }
    customColours_ = picker.customColours;
}

void frmPrefs::showColour(qint32 value, QLabel& sample) {
    QPalette palette = sample.palette();
    const QColor colour = ColourOf(value);
    palette.setColor(QPalette::Window, colour);
    // Keep the sample's text readable on dark colours too.
    palette.setColor(QPalette::WindowText, colour.lightness() < 110 ? Qt::white : Qt::black);
    sample.setPalette(palette);
}

bool frmPrefs::warn(const QString& text) {
    Message message;
    message.text = text;
    message.icon = MessageIcon::Exclamation;
    message.parent = this;
    state_.platform().ShowMessage(message);
    return false;
}

void frmPrefs::focusField(QWidget& field) {
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->widget(i)->isAncestorOf(&field))
            tabs_->setCurrentIndex(i);
    field.setFocus();
}

void frmPrefs::Confirm() {
    for (PathInput* folder : {fpDslrDataChange_, fpDslrScan_, fpRecordIds_, fpBinaryMarcRecs_})
        if (!CheckFolder(state_.platform(), folder->Text().trimmed())) {
            focusField(*folder);
            return;
        }
    if (fpMatchIdTag_->Text().size() < 3) {
        focusField(*fpMatchIdTag_);
        warn(QStringLiteral("Three digit field required for Default Tag for Writing Matched Ids!"));
        return;
    }

    std::optional<ScreenBusyGuard> busy(std::in_place, state_.busy(), *this);
    const QString viewer = fpExtAppLogViewer_->Text().trimmed();
    if (!viewer.isEmpty() && !QFileInfo(viewer).isFile()) {
        // The screen must be usable again before it can take the focus.
        busy.reset();
        focusField(*fpExtAppLogViewer_);
        warn(QStringLiteral("The specified viewer for job log and result files was not found."));
        return;
    }
    if (!viewer.isEmpty() && !IsRunnableProgram(viewer, ThisDesktop())) {
        busy.reset();
        focusField(*fpExtAppLogViewer_);
        warn(QStringLiteral("The specified viewer for job log and result files is not a program "
                            "that can be run."));
        return;
    }

    Preferences& prefs = state_.preferences();
    prefs.SetDslrDataChangeDir(fpDslrDataChange_->Text().trimmed());
    prefs.SetDslrScanDir(fpDslrScan_->Text().trimmed());
    prefs.SetRecordIdDir(fpRecordIds_->Text().trimmed());
    prefs.SetBinaryMarcRecDir(fpBinaryMarcRecs_->Text().trimmed());
    prefs.SetLogViewerApp(viewer);
    prefs.SetDefaultMatchIdTag(fpMatchIdTag_->Text());
    prefs.SetAdd035ToNewAuthRecords(chkAdd035WhenCreatingNewAuthRecords_->isChecked());
    prefs.SetAutoTruncateValue(chkAutoTruncation_->isChecked() ? 1 : 0);
    prefs.SetRetainSearchValue(chkRetainLastSearch_->isChecked() ? 1 : 0);
    prefs.SetWarnOnCloseValue(chkWarnOnClose_->isChecked() ? 1 : 0);
    prefs.SetFontBoldValue(chkFontBold_->isChecked() ? 1 : 0);
    prefs.SetFontName(cboFontName_->currentText());
    prefs.SetFontSizeIndex(cboFontSize_->currentIndex());
    if (cboDefaultFileEncoding_->currentIndex() >= 0)
        prefs.SetCharSetIndex(cboDefaultFileEncoding_->currentIndex());
    prefs.SetPreviewHighlightChanged(previewColours_[0]);
    prefs.SetPreviewHighlightDeleted(previewColours_[1]);
    prefs.SetPreviewHighlightInserted(previewColours_[2]);
    prefs.SetRulesHighlightNotImplemented(ruleColour_);
    ColourRequest colours;
    colours.customColours = customColours_;
    prefs.CustomColors_Retrieve(&colours);
    prefs.SavePreferences();

    orvane::RecordSearch& search = state_.recordSearch();
    if (search.IsInitialised()) {
        search.SetAutoTruncation(prefs.AutoTruncate());
        search.SetRetainSearch(prefs.RetainSearch());
        search.SetFontName(prefs.FontName());
    }
    if (ruleHighlightingChanged_)
        ruleHighlightingChanged_();
    accept();
}

void frmPrefs::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::HelpContents)) {
        state_.platform().OpenUrl(HelpTopicUrl(HelpContextId));
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velumar
