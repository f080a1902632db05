#pragma once
// A MARC record, as the preview gets it (one character per octet), turned
// into its lines: the leader, then one line per field in record order, in the
// one-line-per-field text form cataloguers read everywhere in Velumar.

#include "preview_line.h"

#include <QList>
#include <QString>
#include <optional>

namespace velumar {

// Nothing when the text is not exactly one well-formed record; `why` then
// holds the parser's reason, or stays empty when it gives none.
std::optional<QList<PreviewLine>> PreviewLinesOf(const QString& record, QString& why);

} // namespace velumar
