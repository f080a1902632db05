#pragma once
// The record search component's window: the operator picks a record type,
// an index and search terms; the ids found fill a grid of id, title (or
// heading) and date a page at a time; the hits, all or those selected, can
// go into a new or existing record set.

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace orvane {

class AddToSetPanel;
class Channel;
class RecordSearch;

class SearchWindow : public QDialog {
public:
    static constexpr int DefaultWidth = 750;
    static constexpr int DefaultHeight = 550;

    SearchWindow(RecordSearch& search, Channel& channel, QWidget* parent = nullptr);
    ~SearchWindow() override;

    // Runs the search the inputs describe. False when it could not be made;
    // the operator has been told why.
    bool Search();
    // Fetches at once what the grid still lacks, rather than page by page
    // as the event loop allows.
    void FinishFill();
    bool FillPending() const { return filled_ < hits_.size(); }

    const QList<qint32>& Hits() const { return hits_; }
    QList<qint32> SelectedHits() const;

    QComboBox* RecordTypeList() const { return cboRecordType_; }
    QComboBox* IndexList() const { return cboIndex_; }
    QLineEdit* Terms() const { return txtTerms_; }
    QCheckBox* AutoTruncation() const { return chkAutoTruncation_; }
    QLabel* ResultLabel() const { return lblResult_; }
    QTableWidget* Results() const { return grdResults_; }
    AddToSetPanel& AddPanel() const { return *addPanel_; }

private:
    void fillRecordTypes();
    void recordTypeChosen();
    void restoreLastSearch();
    int recordType() const;
    void fillNextPage();
    void schedulePage();
    void showHitCounts();

    RecordSearch& search_;
    Channel& channel_;
    QComboBox* cboRecordType_;
    QComboBox* cboIndex_;
    QLineEdit* txtTerms_;
    QPushButton* cmdSearch_;
    QCheckBox* chkAutoTruncation_;
    QLabel* lblResult_;
    QTableWidget* grdResults_;
    AddToSetPanel* addPanel_;
    QPushButton* cmdClose_;
    QList<qint32> hits_;
    int hitsType_ = 0;
    qsizetype filled_ = 0;
    // A new search makes the pages still scheduled for the old one stale.
    int generation_ = 0;
};

} // namespace orvane
