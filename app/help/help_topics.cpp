#include "help/help_topics.h"

#include "help/help_location.h"

#include <QFileInfo>
#include <map>

namespace velumar {

namespace {

const std::map<int, QString>& pages() {
    static const std::map<int, QString> table{
        {10000, QStringLiteral("main-window.html")},
        {20100, QStringLiteral("record-sets-view.html")},
        {20300, QStringLiteral("record-sets-by-id.html")},
        {30100, QStringLiteral("rule-sets.html")},
        {30200, QStringLiteral("rule-set-groups.html")},
        {30300, QStringLiteral("rule-sets.html")},
        {30400, QStringLiteral("rule-set-groups.html")},
        {30500, QStringLiteral("auth-load-configurations.html")},
        {30600, QStringLiteral("auth-load-configurations.html")},
        {30700, QStringLiteral("auth-load-configurations.html")},
        {30900, QStringLiteral("rule-editor.html")},
        {40100, QStringLiteral("preview.html")},
        {50100, QStringLiteral("jobs-submit-scan.html")},
        {50200, QStringLiteral("jobs-submit-data-change.html")},
        {50300, QStringLiteral("jobs-submit-index.html")},
        {50400, QStringLiteral("jobs-submit-match.html")},
        {50500, QStringLiteral("jobs-submit-auth-load.html#match")},
        {50600, QStringLiteral("jobs-submit-auth-load.html#merge")},
        {50700, QStringLiteral("jobs-submit-auth-load.html#database-load")},
        {50800, QStringLiteral("jobs-submit-auth-load.html#reconcile")},
        {50900, QStringLiteral("jobs-queue.html")},
        {51000, QStringLiteral("jobs-running.html")},
        {60100, QStringLiteral("preferences.html")},
    };
    return table;
}

} // namespace

QUrl HelpIndexUrl() {
    return QUrl::fromLocalFile(HelpFileLocation());
}

QUrl HelpTopicUrl(int helpContextId) {
    const auto page = pages().find(helpContextId);
    if (page == pages().end())
        return HelpIndexUrl();
    // A page may name a section of itself after "#".
    const QString file = page->second.section(QLatin1Char('#'), 0, 0);
    const QString section = page->second.section(QLatin1Char('#'), 1);
    const QString path = QFileInfo(HelpFileLocation()).absolutePath() + QLatin1Char('/') + file;
    if (!QFileInfo::exists(path))
        return HelpIndexUrl();
    QUrl url = QUrl::fromLocalFile(path);
    if (!section.isEmpty())
        url.setFragment(section);
    return url;
}

} // namespace velumar
