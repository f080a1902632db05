#pragma once
// A text input with a browse button beside it; F4 in the input browses too.
// The screens' "fp" inputs: folders, programs, and plain short texts (with
// the button hidden).

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace velumar {

class PathInput : public QWidget {
    Q_OBJECT
public:
    explicit PathInput(const QString& objectName, QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
    QLineEdit* Edit() const { return edit_; }
    QToolButton* BrowseButton() const { return browse_; }
    void SetBrowseVisible(bool visible);

signals:
    void BrowseRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    QToolButton* browse_;
};

} // namespace velumar
