#pragma once
// The record search component: searches the catalogue's indexes for a key
// over the channel and answers record ids. The program sets it up once at
// start-up (Initialise, then its rights and settings) and the record set and
// match screens use it.
//
// It keeps every call made on it, in order, with its values (History), and
// the current value of each setting. Search sends "CATALOGUE_SEARCH".

#include <QList>
#include <QString>
#include <QVariant>
#include <QtGlobal>

namespace orvane {

class Channel;
class Session;

class RecordSearch {
public:
    struct Call {
        QString operation;
        QVariant value; // Initialise: the two further arguments, as a list
    };

    RecordSearch() = default;
    virtual ~RecordSearch() = default;
    RecordSearch(const RecordSearch&) = delete;
    RecordSearch& operator=(const RecordSearch&) = delete;

    // Connects the component to the program's channel and logged-in session.
    // The two further arguments are reserved; the program passes 0 and 0.
    // False when the component cannot be used: then nothing else may be set.
    virtual bool Initialise(Channel& channel, Session& session, int reserved1, int reserved2);

    // The operator's right to view authority records ("AV").
    void SetSearchRight(const QVariant& allowed);
    // May the operator add found records to record sets of each kind, or change those sets.
    void SetAddAuthority(bool allowed);
    void SetAddBibliographic(bool allowed);
    void SetAddHoldings(bool allowed);
    void SetUpdateAuthority(bool allowed);
    void SetUpdateBibliographic(bool allowed);
    void SetUpdateHoldings(bool allowed);
    // How many hits a search shows at most; 0: no limit.
    void SetMaximumHits(int hits);
    // May several hits be chosen at once.
    void SetMultipleSelection(bool allowed);
    // Search keys are truncated (a trailing wildcard added) unless they end in one.
    void SetAutoTruncation(bool on);
    // The search window opens with the previous search filled in.
    void SetRetainSearch(bool on);

    // Searches the index `indexCode` for `key` over `channel`. The ids found,
    // ascending, replace what `recordIds` held. Answers the record type of the
    // index searched (1 bibliographic, 2 holdings, 3 authority), or 0 when the
    // search failed (unknown index, no right, no answer): then `recordIds` is
    // empty. A key ending in "*" is truncated there; with auto-truncation on,
    // every key is. `recordType` 0 leaves the type to the index.
    virtual int Search(Channel& channel, const QString& indexCode, const QString& key,
                       QList<qint32>& recordIds, int recordType = 0);

    bool IsInitialised() const { return channel_ != nullptr; }
    Channel* BoundChannel() const { return channel_; }
    Session* BoundSession() const { return session_; }

    bool SearchRight() const { return searchRight_; }
    bool AddAuthority() const { return addAuthority_; }
    bool AddBibliographic() const { return addBibliographic_; }
    bool AddHoldings() const { return addHoldings_; }
    bool UpdateAuthority() const { return updateAuthority_; }
    bool UpdateBibliographic() const { return updateBibliographic_; }
    bool UpdateHoldings() const { return updateHoldings_; }
    int MaximumHits() const { return maximumHits_; }
    bool MultipleSelection() const { return multipleSelection_; }
    bool AutoTruncation() const { return autoTruncation_; }
    bool RetainSearch() const { return retainSearch_; }

    // Every call made on the component, in order.
    const QList<Call>& History() const { return history_; }

protected:
    void record(const QString& operation, const QVariant& value);

private:
    Channel* channel_ = nullptr;
    Session* session_ = nullptr;
    bool searchRight_ = false;
    bool addAuthority_ = false;
    bool addBibliographic_ = false;
    bool addHoldings_ = false;
    bool updateAuthority_ = false;
    bool updateBibliographic_ = false;
    bool updateHoldings_ = false;
    int maximumHits_ = 0;
    bool multipleSelection_ = false;
    bool autoTruncation_ = false;
    bool retainSearch_ = false;
    QList<Call> history_;
};

} // namespace orvane
