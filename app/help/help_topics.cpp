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
    const QFileInfo index(HelpFileLocation());
    const QString path = index.absolutePath() + QLatin1Char('/') + page->second;
    return QUrl::fromLocalFile(QFileInfo::exists(path) ? path : HelpFileLocation());
}

} // namespace velumar
