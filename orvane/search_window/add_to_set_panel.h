#pragma once
// The "Add to Record Set" part of the search window: the sets of the record
// type searched that the operator may fill, a name for a new one, and the
// two add actions. What it offers follows the add and update rights the
// record search component was given for the type.

#include "record_set_filler.h"

#include <QGroupBox>
#include <QList>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class Channel;
class RecordSearch;

class AddToSetPanel : public QGroupBox {
public:
    // The hits to add: every hit, or the selected ones.
    using HitSource = std::function<QList<qint32>(bool all)>;

    AddToSetPanel(RecordSearch& search, Channel& channel, QWidget* parent);

    // Lists the sets of this type (when the operator may fill any) and shows
    // what may be done with them.
    void SetRecordType(int recordType);
    void SetHitSource(HitSource source) { hits_ = std::move(source); }
    // Enables the actions that have something to add.
    void SetHitCounts(int all, int selected);

    // Adds the hits to the set chosen, creating it first when a new one is
    // chosen. False when nothing was added; the operator has been told why.
    bool Add(bool all);

    bool MayAdd() const { return mayCreate_ || mayFillAny_ || mayFillOwn_; }
    // True once a set was created or filled: the record set screens need refilling.
    bool SetsChanged() const { return setsChanged_; }

    QComboBox* RecordSetList() const { return cboRecordSet_; }
    QLineEdit* NewSetName() const { return txtNewSetName_; }
    QPushButton* AddSelectedButton() const { return cmdAddSelected_; }
    QPushButton* AddAllButton() const { return cmdAddAll_; }
    QLabel* RightsNote() const { return lblRights_; }

private:
    void fillSets(qint32 select);
    // The ids the set holds as the server lists it now; none when not listed.
    std::optional<qint32> heldBy(qint32 setId) const;
    void showTarget();
    QString operatorId() const;

    RecordSearch& search_;
    Channel& channel_;
    HitSource hits_;
    int recordType_ = 0;
    bool mayCreate_ = false;
    bool mayFillAny_ = false;
    bool mayFillOwn_ = false;
    bool setsChanged_ = false;
    int hitCount_ = 0;
    int selectedCount_ = 0;
    QList<TargetSet> listed_; // the sets of the last listing
    QComboBox* cboRecordSet_;
    QLabel* lblNewSetName_;
    QLineEdit* txtNewSetName_;
    QPushButton* cmdAddSelected_;
    QPushButton* cmdAddAll_;
    QLabel* lblRights_;
};

} // namespace orvane
