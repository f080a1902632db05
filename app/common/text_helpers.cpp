#include "common/text_helpers.h"

namespace velumar {

QString ReplaceAll(const QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(find); at >= 0; at = text.indexOf(find, from)) {
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + find.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

bool EndsWithLineBreak(const QString& text) {
    return !text.isEmpty() &&
           (text.back() == QLatin1Char('\r') || text.back() == QLatin1Char('\n'));
}

} // namespace velumar
