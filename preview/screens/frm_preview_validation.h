#pragma once
// "Preview Messages": every message of the current preview in a grid, for
// when the compare screen's message area cannot show them all.

#include <QWidget>

class QPushButton;

namespace velumar {

class Grid;

class frmPreviewValidation : public QWidget {
    Q_OBJECT
public:
    explicit frmPreviewValidation(QWidget* parent = nullptr);

    void ShowMessages(const QStringList& messages);
    const Grid& Messages() const { return *vsfMessages_; }

private:
    Grid* vsfMessages_;
    QPushButton* cmdClose_;
};

} // namespace velumar
