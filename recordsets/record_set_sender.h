#pragma once
// Sends any number of record ids to one record set in requests of at most
// 1000 ids each, built on the shared channel, and tells the operator which
// ids the server did not take. Lives for one send.

#include <QList>
#include <QString>

namespace orvane {
class Channel;
}

namespace velumar {

class PlatformServices;
class RecordSetProgress;

class RecordSetSender {
public:
    static constexpr int BatchSize = 1000;

    RecordSetSender(orvane::Channel& channel, PlatformServices& platform, QString operatorId);

    // Progress is shown only with a screen to show it and more than one batch to send.
    void Begin(const QList<qint32>& ids, qint32 recordSetId, int recordType,
               RecordSetProgress* progress = nullptr);
    // The same for `total` ids given one by one (a range need not be listed first).
    void Begin(int total, qint32 recordSetId, int recordType,
               RecordSetProgress* progress = nullptr);
    // Puts one id on the request being built; true when it now holds BatchSize ids.
    bool AddRecordId(qint32 id);
    // Sends the request being built; true when the send failed (the operator
    // has been told, and nothing more may be sent).
    bool SendBatch();
    // Sends what is left and shows the summary; true on success.
    bool Finish();
    bool HasPending() const { return inBatch_ > 0; }

    const QList<qint32>& NotAddedIds() const { return notAddedIds_; }

    // The summary for `notAdded` of `total` ids; empty when every id was added.
    static QString Summary(const QList<qint32>& notAdded, int total, int recordType);

private:
    void showProgress();
    void hideProgress();
    void warn(const QString& text);

    orvane::Channel& channel_;
    PlatformServices& platform_;
    QString operatorId_;
    qint32 recordSetId_ = 0;
    int recordType_ = 0;
    int total_ = 0;
    int sent_ = 0;
    int inBatch_ = 0;
    RecordSetProgress* progress_ = nullptr; // null: no progress display
    QList<qint32> notAddedIds_;
};

} // namespace velumar
