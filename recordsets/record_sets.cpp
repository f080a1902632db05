#include "record_sets.h"

#include "channel.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "record_set_sender.h"
#include "record_set_warning.h"
#include "record_type_purpose.h"
#include "record_types.h"
#include "request_channel.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/session_state.h"

#include <QComboBox>

namespace velumar {

namespace {

const QString NameInUse =
    QStringLiteral("Record set name is already in use. Please select a different name.");

void fillTable(KeyedCollection<IdNameBean>& table, int count, QString (*name)(int)) {
    for (int code = 1; code <= count; ++code)
        table.Add(QString::number(code), {code, name(code)});
}

QString nameIn(const KeyedCollection<IdNameBean>& table, int code) {
    const IdNameBean* bean = table.Item(QString::number(code));
    return bean ? bean->Name : QString();
}

} // namespace

RecordSets::RecordSets(SessionState& state) : state_(state) {
    fillTable(recordTypes_, 3, RecordTypeShortName);
    fillTable(setTypes_, 2, SetTypeName);
}

void RecordSets::warn(const QString& text) { ShowRecordSetWarning(state_.platform(), text); }

void RecordSets::LoadRecordSets() {
    orvane::Channel& channel = state_.channel();
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    const qint16 status = channel.SendRequest(QStringLiteral("GET_RECORD_SETS"));
    // The operator has been told the session ended; the sets are still there.
    if (orvane::SessionLost(status))
        return;
    recordSets_.Clear();
    if (status == 6) {
        warn(QStringLiteral("Operator not authorized to view record sets."));
        return;
    }
    // 55 is how some servers say there is nothing to list.
    if (status != 0 && status != 55) {
        warn(QStringLiteral("Failed to load existing record sets."));
        return;
    }
    while (channel.NextRecord(QStringLiteral("RSID"))) {
        RecordSet set;
        set.PopulateFromPelm(channel);
        recordSets_.Add(set.Key(), set);
    }
}

qint32 RecordSets::AddRecordSet(const QString& name, int recordType) {
    orvane::Channel& channel = state_.channel();
    channel.AddField(QStringLiteral("RSN"), name);
    channel.AddNumericField(QStringLiteral("RST"), ExplicitSetType);
    channel.AddNumericField(QStringLiteral("RT"), recordType);
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    switch (channel.SendRequest(QStringLiteral("ADD_RECORD_SET"))) {
    case 0:
        return channel.GetNumericField(QStringLiteral("RSID"));
    case 4:
        warn(NameInUse);
        return -1;
    case 6:
        warn(QStringLiteral("Operator not authorized to add record set."));
        return -1;
    default:
        warn(QStringLiteral("Failed to add record set."));
        return -1;
    }
}

qint32 RecordSets::CopyRecordSet(qint32 id, const QString& newName,
                                 const QString& newDescription) {
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(QStringLiteral("RSID"), id);
    channel.AddField(QStringLiteral("RSN"), newName);
    channel.AddField(QStringLiteral("RSD"), newDescription);
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    switch (channel.SendRequest(QStringLiteral("COPY_RECORD_SET"))) {
    case 0:
        return channel.GetNumericField(QStringLiteral("RSID"));
    case 6:
        warn(QStringLiteral("Operator not authorized to copy record set."));
        return 0;
    default:
        warn(QStringLiteral("Copy existing record set failed."));
        return 0;
    }
}

qint32 RecordSets::UpdateRecordSet(qint32 id, const QString& name, const QString& description) {
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(QStringLiteral("RSID"), id);
    channel.AddField(QStringLiteral("RSN"), name);
    channel.AddField(QStringLiteral("RSD"), description);
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    switch (channel.SendRequest(QStringLiteral("UPDATE_RECORD_SET"))) {
    case 0:
        return id;
    case 4:
        warn(NameInUse);
        return 0;
    default:
        warn(QStringLiteral("Failed to save record set."));
        return 0;
    }
}

void RecordSets::DeleteRecordSet(qint32 id) {
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(QStringLiteral("RSID"), id);
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    switch (channel.SendRequest(QStringLiteral("DELETE_RECORD_SET"))) {
    case 0:
        return;
    case 2:
        warn(QStringLiteral("Cannot delete record set - it is in use in a pending or running job."));
        return;
    case 6:
        warn(QStringLiteral("Operator not authorized to delete record set."));
        return;
    default:
        warn(QStringLiteral("Delete existing record set failed."));
        return;
    }
}

bool RecordSets::send(const QList<qint32>& ids, qint32 recordSetId, int recordType,
                      RecordSetProgress* progress) {
    RecordSetSender sender(state_.channel(), state_.platform(), state_.session().OperatorId());
    sender.Begin(ids, recordSetId, recordType, progress);
    for (const qint32 id : ids)
        if (sender.AddRecordId(id) && sender.SendBatch())
            return false;
    return sender.Finish();
}

bool RecordSets::AddToRecordSet(const QList<qint32>& ids, qint32 recordSetId, int recordType,
                                RecordSetProgress* progress) {
    return send(ids, recordSetId, recordType, progress);
}

bool RecordSets::AddToRecordSetQuiet(const QList<qint32>& ids, qint32 recordSetId,
                                     int recordType) {
    return send(ids, recordSetId, recordType, nullptr);
}

bool RecordSets::AddRangeToRecordSet(qint32 from, qint32 to, qint32 recordSetId,
                                     int recordType, RecordSetProgress* progress) {
    RecordSetSender sender(state_.channel(), state_.platform(), state_.session().OperatorId());
    const qint64 total = from <= to ? qint64(to) - from + 1 : 0; // at most 2^31 - 1
    sender.Begin(static_cast<int>(total), recordSetId, recordType, progress);
    for (qint64 id = from; id <= to; ++id)
        if (sender.AddRecordId(static_cast<qint32>(id)) && sender.SendBatch())
            return false;
    return sender.Finish();
}

void RecordSets::FillRecordSetGrid(Grid& grid, qint32 selectId) const {
    grid.setUpdatesEnabled(false);
    grid.ClearRows();
    for (int i = 0; i < recordSets_.Count(); ++i) {
        const RecordSet& set = recordSets_.At(i);
        grid.AddRow({set.Name(), set.RecordTypeName(), QString::number(set.RecordCount())},
                    set.Id());
    }
    // The sort marker survives ClearRows, so the operator's order comes back.
    if (grid.rowCount() > 0)
        ReapplyGridSort(grid);
    SelectGridRow(grid, -1, selectId);
    grid.setUpdatesEnabled(true);
}

void RecordSets::FillRecordSetCombo(QComboBox& combo, int recordType) const {
    combo.clear();
    for (int i = 0; i < recordSets_.Count(); ++i)
        if (recordSets_.At(i).RecordType() == recordType)
            recordSets_.At(i).AddToComboBox(combo);
}

void RecordSets::FillChangeRecordSetCombo(QComboBox& combo) {
    const SecurityProfile& profile = state_.securityProfile();
    combo.clear();
    for (int i = 0; i < recordSets_.Count(); ++i)
        if (profile.DataChangeJob(recordSets_.At(i).RecordType()))
            recordSets_.At(i).AddToComboBox(combo);
}

void RecordSets::FillRecordTypeList(QComboBox& list, int purpose) {
    const SecurityProfile& profile = state_.securityProfile();
    list.clear();
    for (int i = 0; i < recordTypes_.Count(); ++i) {
        const IdNameBean& type = recordTypes_.At(i);
        if (RecordTypeAllowedFor(profile, purpose, type.Id))
            list.addItem(type.Name, type.Id);
    }
    if (list.count() > 0)
        list.setCurrentIndex(0);
}

QString RecordSets::GetRecordTypeName(int code) const { return nameIn(recordTypes_, code); }

QString RecordSets::GetRecordTypeDisplayName(int code) const { return RecordTypeDisplayName(code); }

int RecordSets::GetRecordTypeId(const QString& shortName) const {
    for (int i = 0; i < recordTypes_.Count(); ++i)
        if (recordTypes_.At(i).Name == shortName)
            return recordTypes_.At(i).Id;
    return 0;
}

void RecordSets::RefreshRecordSetScreens(qint32 selectId) {
    LoadRecordSets();
    screens_.RefillAll(selectId);
}

} // namespace velumar
