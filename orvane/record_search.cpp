#include "record_search.h"

#include "channel.h"
#include "search_window/search_messages.h"
#include "search_window/search_window.h"
#include "session.h"

namespace orvane {

RecordSearch::RecordSearch() = default;
RecordSearch::~RecordSearch() = default;

bool RecordSearch::Initialise(Channel& channel, Session& session, int reserved1, int reserved2) {
    record(QStringLiteral("Initialise"), QVariantList{reserved1, reserved2});
    // Searches go out under the session's operator: without one there is nothing to search as.
    if (!session.IsLoggedIn())
        return false;
    channel_ = &channel;
    session_ = &session;
    return true;
}

int RecordSearch::Search(Channel& channel, const QString& indexCode, const QString& key,
                         QList<qint32>& recordIds, int recordType) {
    return SearchTruncated(channel, indexCode, key, autoTruncation_, recordIds, recordType);
}

int RecordSearch::SearchTruncated(Channel& channel, const QString& indexCode, const QString& key,
                                  bool truncate, QList<qint32>& recordIds, int recordType) {
    recordIds.clear();
    QString sent = key.trimmed();
    if (sent.endsWith(QLatin1Char('*'))) {
        sent.chop(1);
        truncate = true;
    }
    channel.AddField(QStringLiteral("IX"), indexCode);
    channel.AddField(QStringLiteral("KEY"), sent);
    if (recordType != 0)
        channel.AddNumericField(QStringLiteral("RT"), recordType);
    channel.AddBoolField(QStringLiteral("TR"), truncate);
    if (maximumHits_ > 0)
        channel.AddNumericField(QStringLiteral("MH"), maximumHits_);
    if (session_)
        channel.AddField(QStringLiteral("OI"), session_->OperatorId());
    lastStatus_ = channel.SendRequest(QStringLiteral("CATALOGUE_SEARCH"));
    if (lastStatus_ != 0)
        return 0;
    const int code = channel.GetNumericField(QStringLiteral("RC"));
    if (code < 1 || code > 3)
        return 0;
    while (channel.NextRecord(QStringLiteral("RID")))
        recordIds.push_back(channel.GetNumericField(QStringLiteral("RID")));
    return code;
}

void RecordSearch::ShowSearchWindow(Channel& channel, QWidget* parent) {
    SearchWindow window(*this, channel, parent);
    if (runWindow_)
        runWindow_(window);
    else
        window.exec();
}

SearchMessages& RecordSearch::Messages() {
    if (messages_)
        return *messages_;
    if (!boxMessages_)
        boxMessages_ = std::make_unique<BoxSearchMessages>();
    return *boxMessages_;
}

void RecordSearch::record(const QString& operation, const QVariant& value) {
    history_.push_back({operation, value});
}

void RecordSearch::SetSearchRight(const QVariant& allowed) {
    searchRight_ = allowed.toBool();
    record(QStringLiteral("SearchRight"), allowed);
}

void RecordSearch::SetAddAuthority(bool allowed) {
    addAuthority_ = allowed;
    record(QStringLiteral("AddAuthority"), allowed);
}

void RecordSearch::SetAddBibliographic(bool allowed) {
    addBibliographic_ = allowed;
    record(QStringLiteral("AddBibliographic"), allowed);
}

void RecordSearch::SetAddHoldings(bool allowed) {
    addHoldings_ = allowed;
    record(QStringLiteral("AddHoldings"), allowed);
}

void RecordSearch::SetUpdateAuthority(bool allowed) {
    updateAuthority_ = allowed;
    record(QStringLiteral("UpdateAuthority"), allowed);
}

void RecordSearch::SetUpdateBibliographic(bool allowed) {
    updateBibliographic_ = allowed;
    record(QStringLiteral("UpdateBibliographic"), allowed);
}

void RecordSearch::SetUpdateHoldings(bool allowed) {
    updateHoldings_ = allowed;
    record(QStringLiteral("UpdateHoldings"), allowed);
}

void RecordSearch::SetMaximumHits(int hits) {
    maximumHits_ = hits;
    record(QStringLiteral("MaximumHits"), hits);
}

void RecordSearch::SetMultipleSelection(bool allowed) {
    multipleSelection_ = allowed;
    record(QStringLiteral("MultipleSelection"), allowed);
}

void RecordSearch::SetAutoTruncation(bool on) {
    autoTruncation_ = on;
    record(QStringLiteral("AutoTruncation"), on);
}

void RecordSearch::SetRetainSearch(bool on) {
    retainSearch_ = on;
    record(QStringLiteral("RetainSearch"), on);
}

void RecordSearch::SetFontName(const QString& name) {
    fontName_ = name;
    record(QStringLiteral("FontName"), name);
}

} // namespace orvane
