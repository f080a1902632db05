#pragma once
// The record search component: searches the catalogue's indexes for a key
// over the channel and answers record ids. The program sets it up once at
// start-up (Initialise, then its rights and settings) and the record set and
// match screens use it.
//
// It keeps every call made on it, in order, with its values (History), and
// the current value of each setting. Search sends "CATALOGUE_SEARCH".
// ShowSearchWindow lets the operator search and put what is found into
// record sets, within the rights the component was given.

#include <QList>
#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <functional>
#include <memory>

class QWidget;

namespace orvane {

class Channel;
class SearchMessages;
class SearchWindow;
class Session;

class RecordSearch {
public:
    struct Call {
        QString operation;
        QVariant value; // Initialise: the two further arguments, as a list
    };

    // What the search window last searched, kept for the next opening when
    // the last search is retained. recordType 0: nothing searched yet.
    struct LastSearch {
        int recordType = 0;
        QString indexCode;
        QString terms;
    };
    // Runs the window until it is closed; exec() unless replaced.
    using WindowRunner = std::function<void(SearchWindow&)>;

    RecordSearch();
    virtual ~RecordSearch();
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
    // The font family of the search window's result grid; empty: the default.
    void SetFontName(const QString& name);

    // Searches the index `indexCode` for `key` over `channel`. The ids found,
    // ascending, replace what `recordIds` held. Answers the record type of the
    // index searched (1 bibliographic, 2 holdings, 3 authority), or 0 when the
    // search failed (unknown index, no right, no answer): then `recordIds` is
    // empty. A key ending in "*" is truncated there; with auto-truncation on,
    // every key is. `recordType` 0 leaves the type to the index.
    virtual int Search(Channel& channel, const QString& indexCode, const QString& key,
                       QList<qint32>& recordIds, int recordType = 0);
    // The same with the truncation decided by the caller (a trailing "*" is
    // still taken off the key and truncates it).
    int SearchTruncated(Channel& channel, const QString& indexCode, const QString& key,
                        bool truncate, QList<qint32>& recordIds, int recordType);
    // The status of the last search's request: 0, the server's code, or a client status.
    qint16 LastStatus() const { return lastStatus_; }

    // The search window, modal over `parent`, searching over `channel`;
    // returns when the operator closes it.
    void ShowSearchWindow(Channel& channel, QWidget* parent);
    // Tests run the window without a modal loop and keep its messages.
    void SetWindowRunner(WindowRunner runner) { runWindow_ = std::move(runner); }
    void SetMessages(SearchMessages* messages) { messages_ = messages; }
    SearchMessages& Messages();

    const LastSearch& LastSearched() const { return lastSearch_; }
    void RememberSearch(LastSearch search) { lastSearch_ = std::move(search); }

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
    const QString& FontName() const { return fontName_; }

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
    QString fontName_;
    qint16 lastStatus_ = 0;
    LastSearch lastSearch_;
    WindowRunner runWindow_;
    SearchMessages* messages_ = nullptr;
    std::unique_ptr<SearchMessages> boxMessages_;
    QList<Call> history_;
};

} // namespace orvane
