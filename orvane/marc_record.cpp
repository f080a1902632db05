#include "marc_record.h"

#include "marc/iso2709.h"

namespace orvane {

MarcRecord& MarcRecord::operator=(const MarcRecord& other) {
    if (this != &other)
        Load(other.octets_);
    return *this;
}

bool MarcRecord::Load(const QString& text) {
    std::string octets;
    octets.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            Load(std::string());
            return false;
        }
        octets += static_cast<char>(c.unicode());
    }
    return Load(std::move(octets));
}

bool MarcRecord::Load(std::string octets) {
    octets_ = std::move(octets);
    field_.reset();
    view_.reset();
    if (octets_.empty())
        return false;
    // The view points into octets_, which stays put until the next load.
    auto parsed = marc::parseRecord(std::string_view(octets_));
    view_ = parsed.record;
    return IsValid();
}

bool MarcRecord::FindField(const QString& tag) {
    field_.reset();
    fieldIsLeader_ = false;
    if (!view_)
        return false;
    if (tag == QLatin1String("000")) {
        field_ = view_->leader();
        fieldIsLeader_ = true;
        return true;
    }
    if (const auto found = view_->findField(tag.toStdString()))
        field_ = found->data();
    return field_.has_value();
}

int MarcRecord::FieldLength() const {
    if (!field_)
        return 0;
    return static_cast<int>(field_->size() + (fieldIsLeader_ ? 0 : 1));
}

QString MarcRecord::FieldData() const {
    if (!field_)
        return {};
    return QString::fromLatin1(field_->data(), static_cast<qsizetype>(field_->size()));
}

} // namespace orvane
