#include "preview_record_lines.h"

#include "marc/mnemonic_writer.h"
#include "marc/record_view.h"

#include <QHash>
#include <string>

namespace velumar {

namespace {

std::optional<std::string> octetsOf(const QString& text) {
    std::string octets;
    octets.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
        octets += static_cast<char>(c.unicode());
    }
    return octets;
}

} // namespace

std::optional<QList<PreviewLine>> PreviewLinesOf(const QString& record, QString& why) {
    why.clear();
    const auto octets = octetsOf(record);
    if (!octets)
        return std::nullopt;
    const marc::ParseResult parsed = marc::parseRecord(std::string_view(*octets));
    if (!parsed.record) {
        if (parsed.error)
            why = QString::fromStdString(parsed.error->reason);
        return std::nullopt;
    }
    const marc::RecordView& view = *parsed.record;
    std::string text;
    marc::appendMnemonic(view, text);
    // A record in a coding other than Unicode is shown octet by octet: its
    // ASCII reads as it is.
    const bool unicode = view.characterCoding() == marc::CharacterCoding::Unicode;

    QList<PreviewLine> lines;
    lines.reserve(static_cast<qsizetype>(view.fieldCount()) + 1);
    QHash<QString, int> occurrences;
    std::size_t at = 0;
    for (std::size_t index = 0; index <= view.fieldCount(); ++index) {
        const std::size_t end = text.find('\n', at);
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        PreviewLine out;
        out.Text = unicode ? QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))
                           : QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
        const std::string_view tag =
            index == 0 ? std::string_view("LDR") : view.field(index - 1).tag();
        out.Tag = QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size()));
        out.Occurrence = ++occurrences[out.Tag];
        lines.push_back(std::move(out));
    }
    return lines;
}

} // namespace velumar
