#include "catalogue_brief.h"

#include "marc8_text.h"
#include "marc/record_view.h"
#include "store/database.h"

#include <optional>

namespace orvane::server {

namespace {

// Cataloguing punctuation that ends a display line (" /", " :", ".") is left out.
std::string_view withoutEndPunctuation(std::string_view value) {
    while (!value.empty()) {
        const char last = value.back();
        if (last == ' ' || last == '/' || last == ':' || last == ';' || last == ',' ||
            last == '=' || (last == '.' && value.size() > 1 && value[value.size() - 2] != '.'))
            value.remove_suffix(1);
        else
            break;
    }
    return value;
}

class LineMaker {
public:
    explicit LineMaker(const marc::RecordView& record)
        : record_(record),
          marc8_(record.characterCoding() != marc::CharacterCoding::Unicode) {}

    // The named subfields of the first field with this tag, in field order, joined by blanks.
    std::string subfields(std::string_view tag, std::string_view codes) {
        const auto field = record_.findField(tag);
        return field ? join(*field, codes) : std::string();
    }

    std::string heading() {
        for (const marc::FieldView field : record_)
            if (field.tag().size() == 3 && field.tag()[0] == '1')
                return join(field, "abcdfghjklmnopqrstvxyz");
        return {};
    }

    std::string publicationDate() {
        for (const std::string_view tag : {"264", "260"}) {
            const auto field = record_.findField(tag);
            if (!field)
                continue;
            if (const auto c = field->subfield('c'))
                return utf8(withoutEndPunctuation(*c));
        }
        const auto fixed = record_.findField("008");
        if (fixed && fixed->value().size() >= 11) {
            std::string year(fixed->value().substr(7, 4));
            if (year.find_first_not_of(' ') != std::string::npos)
                return year;
        }
        return {};
    }

private:
    std::string join(const marc::FieldView& field, std::string_view codes) {
        // Punctuation between the subfields stays ("Title : subtitle"); only the end's goes.
        std::string out;
        for (const auto& sub : field.subfields()) {
            if (codes.find(sub.code) == std::string_view::npos || sub.value.empty())
                continue;
            if (!out.empty())
                out += ' ';
            out += sub.value;
        }
        return utf8(withoutEndPunctuation(out));
    }

    std::string utf8(std::string_view value) {
        return marc8_ ? decoder_.toUtf8(value) : std::string(value);
    }

    const marc::RecordView& record_;
    bool marc8_;
    Marc8Text decoder_;
};

} // namespace

std::vector<BriefLine> briefLines(Database& db, RecordKind kind,
                                  std::span<const std::int32_t> ids) {
    auto st = db.prepare("SELECT marc, substr(updated_at, 1, 10) FROM catalogue_records "
                         "WHERE record_type = ?1 AND record_id = ?2");
    std::vector<BriefLine> lines;
    lines.reserve(ids.size());
    for (const std::int32_t id : ids) {
        BriefLine line;
        line.id = id;
        st.reset();
        st.bind(1, toNumber(kind)).bind(2, id);
        if (st.step()) {
            line.found = true;
            const std::string octets = st.blob(0);
            const std::string changed = st.text(1);
            const auto parsed = marc::parseRecord(std::string_view(octets));
            if (parsed.record) {
                LineMaker maker(*parsed.record);
                switch (kind) {
                case RecordKind::Bibliographic:
                    line.title = maker.subfields("245", "abnp");
                    line.date = maker.publicationDate();
                    break;
                case RecordKind::Authority:
                    line.title = maker.heading();
                    line.date = changed;
                    break;
                case RecordKind::Holdings:
                    line.title = maker.subfields("852", "bhi");
                    line.date = changed;
                    break;
                }
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace orvane::server
