#include "index_keys.h"

#include "index_codes.h"
#include "marc/record_view.h"
#include "text_fold.h"

#include <algorithm>

namespace orvane::server {

namespace {

constexpr std::string_view AllLetters = "abcdefghijklmnopqrstuvwxyz";

bool oneOf(std::string_view tag, std::initializer_list<std::string_view> tags) {
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

} // namespace

const std::vector<IndexEntry>& IndexKeys::of(const marc::RecordView& record, RecordKind kind) {
    entries_.clear();
    isMarc8_ = record.characterCoding() != marc::CharacterCoding::Unicode;
    for (const marc::FieldView field : record) {
        switch (kind) {
        case RecordKind::Bibliographic:
            bibliographic(field);
            break;
        case RecordKind::Authority:
            authority(field);
            break;
        case RecordKind::Holdings:
            holdings(field);
            break;
        }
    }
    std::sort(entries_.begin(), entries_.end());
    entries_.erase(std::unique(entries_.begin(), entries_.end()), entries_.end());
    if (kind == RecordKind::Bibliographic)
        dropKeywordsHeldElsewhere();
    return entries_;
}

const std::vector<IndexEntry>& IndexKeys::links(const marc::RecordView& record,
                                                RecordKind kind) {
    entries_.clear();
    isMarc8_ = record.characterCoding() != marc::CharacterCoding::Unicode;
    for (const marc::FieldView field : record) {
        const std::string_view tag = field.tag();
        if (tag == "035")
            addValues(field, 'a',
                      kind == RecordKind::Bibliographic ? "035A"
                      : kind == RecordKind::Authority   ? "A35A"
                                                        : "H35A");
        else if (tag == "004" && kind == RecordKind::Holdings)
            addKey("HB", normaliseKey(KeyForm::ControlNumber, field.value()));
    }
    std::sort(entries_.begin(), entries_.end());
    entries_.erase(std::unique(entries_.begin(), entries_.end()), entries_.end());
    return entries_;
}

// A keyword search of bibliographic records looks in the title, author and
// subject indexes as well (see searchedCodes), so "KW" keeps only the words
// none of those holds for the record: almost half the entries otherwise.
void IndexKeys::dropKeywordsHeldElsewhere() {
    std::vector<std::string_view> elsewhere;
    for (const IndexEntry& entry : entries_)
        if (entry.code == "TI" || entry.code == "AU" || entry.code == "SU")
            elsewhere.push_back(entry.key);
    std::sort(elsewhere.begin(), elsewhere.end());
    std::erase_if(entries_, [&](const IndexEntry& entry) {
        return entry.code == "KW" &&
               std::binary_search(elsewhere.begin(), elsewhere.end(), std::string_view(entry.key));
    });
}

void IndexKeys::bibliographic(const marc::FieldView& field) {
    const std::string_view tag = field.tag();
    if (tag == "035") {
        addValues(field, 'a', "035A");
    } else if (tag == "020") {
        for (const auto& sub : field.subfields())
            if (sub.code == 'a') {
                std::string key = normaliseKey(KeyForm::Isbn, utf8(sub.value));
                if (auto other = otherIsbnForm(key))
                    addKey("ISBN", std::move(*other));
                addKey("ISBN", std::move(key));
            }
    } else if (tag == "022") {
        addValues(field, 'a', "ISSN");
    } else if (tag == "010") {
        addValues(field, 'a', "LCCN");
    } else if (oneOf(tag, {"245", "246", "130", "240", "730", "440", "490"})) {
        addWords("TI", folded(field, tag == "245" ? "abfgknps" : "abnp"));
    } else if (oneOf(tag, {"100", "110", "111", "700", "710", "711"})) {
        addWords("AU", folded(field, "abcdq"));
    } else if (oneOf(tag, {"600", "610", "611", "630", "648", "650", "651", "653", "655"})) {
        addWords("SU", folded(field, "abcdqtvxyz"));
    } else if (oneOf(tag, {"250", "260", "264", "500", "505", "520"})) {
        addWords("KW", folded(field, "abt"));
    }
}

void IndexKeys::authority(const marc::FieldView& field) {
    const std::string_view tag = field.tag();
    if (tag == "035") {
        addValues(field, 'a', "A35A");
    } else if (tag == "010") {
        addValues(field, 'a', "LCCN");
    } else if (tag.size() == 3 && (tag[0] == '1' || tag[0] == '4')) {
        std::string heading = folded(field, AllLetters);
        addWords("KW", heading);
        addKey("AH", std::move(heading));
    } else if (tag.size() == 3 && tag[0] == '5') {
        addWords("KW", folded(field, AllLetters));
    } else if (tag == "670") {
        addWords("KW", folded(field, "a"));
    }
}

void IndexKeys::holdings(const marc::FieldView& field) {
    const std::string_view tag = field.tag();
    if (tag == "035")
        addValues(field, 'a', "H35A");
    else if (tag == "004")
        addKey("HB", normaliseKey(KeyForm::ControlNumber, field.value()));
    else if (tag == "852")
        addWords("KW", folded(field, "abhijkm"));
}

std::string IndexKeys::utf8(std::string_view value) {
    return isMarc8_ ? marc8_.toUtf8(value) : std::string(value);
}

std::string IndexKeys::folded(const marc::FieldView& field, std::string_view codes) {
    std::string out;
    for (const auto& sub : field.subfields())
        if (codes.find(sub.code) != std::string_view::npos) {
            if (isMarc8_)
                appendFolded(marc8_.toUtf8(sub.value), out);
            else
                appendFolded(sub.value, out);
        }
    return out;
}

void IndexKeys::addWords(std::string_view code, std::string_view folded) {
    for (std::string_view word : wordsOf(folded))
        entries_.push_back({code, std::string(word)});
}

void IndexKeys::addKey(std::string_view code, std::string key) {
    if (!key.empty())
        entries_.push_back({code, std::move(key)});
}

void IndexKeys::addValues(const marc::FieldView& field, char subfield, std::string_view code) {
    const IndexCode* index = findIndexCode(code);
    for (const auto& sub : field.subfields())
        if (sub.code == subfield)
            addKey(code, normaliseKey(index->form, utf8(sub.value)));
}

} // namespace orvane::server
