#pragma once
// The record sets manager: one per run, shared by every screen. Lists,
// creates, copies, renames and deletes record sets on the server, sends ids
// to them, and fills the screens' lists. Failures are told to the operator
// here; callers only see the result.

#include "common/id_name_bean.h"
#include "common/keyed_collection.h"
#include "record_set.h"
#include "record_set_screens.h"

#include <QList>

class QComboBox;

namespace velumar {

class Grid;
class RecordSetProgress;
class SessionState;

class RecordSets {
public:
    explicit RecordSets(SessionState& state);

    // "GET_RECORD_SETS"; the collection is left empty on failure, but kept
    // when the session was lost and not renewed.
    void LoadRecordSets();
    void ClearRecordSets() { recordSets_.Clear(); }
    const KeyedCollection<RecordSet>& Items() const { return recordSets_; }
    // Null when no loaded set has this id.
    const RecordSet* GetRecordSet(qint32 id) const { return recordSets_.Item(QString::number(id)); }

    // The new id; -1 on failure.
    qint32 AddRecordSet(const QString& name, int recordType);
    // The new set's id; 0 on failure.
    qint32 CopyRecordSet(qint32 id, const QString& newName, const QString& newDescription);
    // The same id; 0 on failure.
    qint32 UpdateRecordSet(qint32 id, const QString& name, const QString& description);
    void DeleteRecordSet(qint32 id);

    // Sends the ids in batches, showing progress on the screen when there
    // is more than one batch; true on success.
    bool AddToRecordSet(const QList<qint32>& ids, qint32 recordSetId, int recordType,
                        RecordSetProgress* progress);
    bool AddToRecordSetQuiet(const QList<qint32>& ids, qint32 recordSetId, int recordType);
    // Every id from `from` to `to` (from <= to), put on each request as it is
    // built: a range of any size is never listed whole.
    bool AddRangeToRecordSet(qint32 from, qint32 to, qint32 recordSetId, int recordType,
                             RecordSetProgress* progress);

    // Name, record type short name, record count; row data the id. The
    // grid keeps its sort; `selectId` is selected and shown when listed.
    void FillRecordSetGrid(Grid& grid, qint32 selectId = -1) const;
    void FillRecordSetCombo(QComboBox& combo, int recordType) const;
    // The sets whose record type the operator may submit data change jobs for.
    void FillChangeRecordSetCombo(QComboBox& combo);
    // The record types the operator's rights allow for the purpose, each
    // short name with its code as item data; the first selected.
    void FillRecordTypeList(QComboBox& list, int purpose);

    const KeyedCollection<IdNameBean>& RecordTypes() const { return recordTypes_; }
    const KeyedCollection<IdNameBean>& SetTypes() const { return setTypes_; }
    QString GetRecordTypeName(int code) const;
    QString GetRecordTypeDisplayName(int code) const;
    int GetRecordTypeId(const QString& shortName) const;

    // Open screens that list record sets register here to be refilled.
    RecordSetScreens& Screens() { return screens_; }
    // Reloads the sets, then refills every registered screen.
    void RefreshRecordSetScreens(qint32 selectId = -1);

private:
    bool send(const QList<qint32>& ids, qint32 recordSetId, int recordType,
              RecordSetProgress* progress);
    void warn(const QString& text);

    SessionState& state_;
    KeyedCollection<RecordSet> recordSets_;
    KeyedCollection<IdNameBean> recordTypes_;
    KeyedCollection<IdNameBean> setTypes_;
    RecordSetScreens screens_;
};

} // namespace velumar
