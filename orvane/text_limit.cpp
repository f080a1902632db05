#include "text_limit.h"

#include "dispatch/text_limits.h"

#include <QLineEdit>
#include <QValidator>

namespace orvane {

const std::size_t NameOctets = server::text_limits::Name;

namespace {

std::size_t octetsOf(const QString& text) {
    return static_cast<std::size_t>(text.toUtf8().size());
}

class OctetLimit final : public QValidator {
public:
    OctetLimit(std::size_t octets, QObject* parent) : QValidator(parent), octets_(octets) {}

    State validate(QString& input, int&) const override {
        return octetsOf(input) <= octets_ ? Acceptable : Invalid;
    }
    void fixup(QString& input) const override { input = CutToOctets(input, octets_); }

private:
    std::size_t octets_;
};

} // namespace

QString CutToOctets(const QString& text, std::size_t octets) {
    std::size_t used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        // A character outside the basic plane is a surrogate pair: both or neither.
        const qsizetype width = text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        const std::size_t size = octetsOf(text.mid(end, width));
        if (used + size > octets)
            break;
        used += size;
        end += width;
    }
    return text.left(end);
}

void LimitToOctets(QLineEdit& field, std::size_t octets) {
    field.setValidator(new OctetLimit(octets, &field));
}

} // namespace orvane
