#include "message_text.h"

namespace orvane {

QString NameForMessage(const QString& name, qsizetype width, qsizetype longest) {
    QString text = name;
    if (text.size() > longest) {
        const qsizetype keep = (longest - 3) / 2;
        text = text.left(keep) + QStringLiteral("...") + text.right(keep);
    }
    QString out;
    while (text.size() > width) {
        qsizetype cut = text.lastIndexOf(QLatin1Char(' '), width);
        cut = cut > 0 ? cut + 1 : width; // the space stays at the end of its line
        out += text.left(cut).trimmed() + QStringLiteral("\r\n");
        text = text.mid(cut);
    }
    return out + text;
}

} // namespace orvane
