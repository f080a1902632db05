#pragma once
// "Session Defaults and Preferences": every preference in one modal screen.
// Nothing is kept before OK; OK checks the folders, the default tag and the
// viewer, stores everything, and hands the search settings to the record
// search component. Cancel changes nothing.

#include <QColor>
#include <QDialog>
#include <QList>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace velumar {

class PathInput;
class SessionState;

class frmPrefs : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 60100;

    explicit frmPrefs(SessionState& state, QWidget* parent = nullptr);

    // Run after OK when the rule highlighting may have changed.
    void SetRuleHighlightingChanged(std::function<void()> changed) {
        ruleHighlightingChanged_ = std::move(changed);
    }

    // What OK does; the screen closes only when every check passes.
    void Confirm();

    // The colour values the samples show: 0 changed, 1 deleted, 2 inserted.
    qint32 PreviewSample(int index) const {
        return previewColours_[static_cast<std::size_t>(index)];
    }
    qint32 RuleSample() const { return ruleColour_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildGeneralTab();
    QWidget* buildDisplayTab();
    void load();
    PathInput* folderInput(const QString& name, const QString& prompt);
    void browseFolder(PathInput& input, const QString& prompt);
    void browseViewer();
    void pickColour(qint32& value, QLabel& sample);
    void showColour(qint32 value, QLabel& sample);
    bool warn(const QString& text);
    // Shows the tab that holds the field, then puts the focus in it.
    void focusField(QWidget& field);

    SessionState& state_;
    QTabWidget* tabs_;
    PathInput* fpDslrDataChange_ = nullptr;
    PathInput* fpDslrScan_ = nullptr;
    PathInput* fpRecordIds_ = nullptr;
    PathInput* fpBinaryMarcRecs_ = nullptr;
    PathInput* fpExtAppLogViewer_ = nullptr;
    PathInput* fpMatchIdTag_ = nullptr;
    QCheckBox* chkAutoTruncation_ = nullptr;
    QCheckBox* chkRetainLastSearch_ = nullptr;
    QCheckBox* chkWarnOnClose_ = nullptr;
    QCheckBox* chkAdd035WhenCreatingNewAuthRecords_ = nullptr;
    QCheckBox* chkFontBold_ = nullptr;
    QComboBox* cboDefaultFileEncoding_ = nullptr;
    QComboBox* cboFontName_ = nullptr;
    QComboBox* cboFontSize_ = nullptr;
    std::array<QLabel*, 3> lblPreviewHighlight_{};
    QLabel* lblRuleHighlight_ = nullptr;
    std::array<qint32, 3> previewColours_{};
    qint32 ruleColour_ = 0;
    // The colour picker's custom colours as the operator leaves them; kept
    // in the preferences only on OK.
    QList<QColor> customColours_;
    std::function<void()> ruleHighlightingChanged_;
};

} // namespace velumar
