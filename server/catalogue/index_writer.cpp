#include "index_writer.h"

#include "marc/record_view.h"

#include <algorithm>
#include <charconv>

namespace orvane::server {

IndexWriter::IndexWriter(Database& db)
    : sql_(indexSql(db.engine())), removeAll_(db.prepare(sql_.removeAll)),
      removeLinks_(db.prepare(sql_.removeLinks)), storeList_(db.prepare(sql_.storeList)),
      storeLinks_(db.prepare(sql_.storeLinks)), insert_(db.prepare(sql_.insertOne)), db_(db) {
    replace_.reserve(sql_.replace.size());
    for (const std::string& step : sql_.replace)
        replace_.push_back(db.prepare(step));
}

namespace {
bool isLinkCode(std::string_view code) {
    return code == "035A" || code == "A35A" || code == "H35A" || code == "HB";
}

void appendJsonString(std::string_view text, std::string& out) {
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

// The list a record keeps of its entries, in the form the schema reads back.
void entryList(const std::vector<IndexEntry>& entries, std::string& out) {
    out.clear();
    out += '[';
    for (const IndexEntry& entry : entries) {
        if (out.size() > 1)
            out += ',';
        out += '[';
        appendJsonString(entry.code, out);
        out += ',';
        appendJsonString(entry.key, out);
        out += ']';
    }
    out += ']';
}
} // namespace

void IndexWriter::write(RecordKind kind, std::int32_t id, const marc::RecordView& record) {
    const std::string_view list = listOf(kind, record);
    for (Statement& step : replace_) {
        step.reset();
        step.bind(1, toNumber(kind)).bind(2, id).bind(3, list).run();
    }
}

void IndexWriter::rewrite(RecordKind kind, std::int32_t id, const marc::RecordView& record) {
    removeEntries(kind, id);
    const std::string_view list = listOf(kind, record);
    storeList_.reset();
    storeList_.bind(1, toNumber(kind)).bind(2, id).bind(3, list).run();
    addEntries(kind, id);
}

void IndexWriter::relist(RecordKind kind, std::int32_t id, const marc::RecordView* record) {
    storeList_.reset();
    storeList_.bind(1, toNumber(kind))
        .bind(2, id)
        .bind(3, record ? listOf(kind, *record) : std::string_view("[]"))
        .run();
}

std::string_view IndexWriter::listOf(RecordKind kind, const marc::RecordView& record) {
    entries_ = &keys_.of(record, kind);
    entryList(*entries_, list_);
    return list_;
}

void IndexWriter::addEntries(RecordKind kind, std::int32_t id) {
    const std::vector<IndexEntry>& entries = *entries_;
    if (deferred_) {
        const auto write = static_cast<std::uint32_t>(replacedWrites_.size());
        replacedWrites_.push_back(false);
        const auto [last, first] = lastWrite_.try_emplace({toNumber(kind), id}, write);
        if (!first) {
            replacedWrites_[last->second] = true;
            last->second = write;
        }
        for (const IndexEntry& entry : entries) {
            // Links are looked up while the batch goes on (a holdings record
            // finds its bibliographic record by them): they go in at once.
            if (isLinkCode(entry.code))
                insertOne(kind, entry, id);
            else
                keep(toNumber(kind), entry, id, write);
        }
        return;
    }
    // Entries come distinct, so a plain insert is enough.
    for (const IndexEntry& entry : entries)
        insertOne(kind, entry, id);
}

void IndexWriter::insertOne(RecordKind kind, const IndexEntry& entry, std::int32_t id) {
    insert_.reset();
    insert_.bind(1, toNumber(kind)).bind(2, entry.code).bind(3, entry.key).bind(4, id).run();
}

void IndexWriter::writeControlKeys(RecordKind kind, std::int32_t id, const marc::RecordView& record,
                                   const marc::RecordView* previous) {
    const std::vector<IndexEntry>& entries = keys_.links(record, kind);
    if (previous && previousKeys_.links(*previous, kind) == entries)
        return;
    removeListed(kind, id, true);
    for (const IndexEntry& entry : entries)
        insertOne(kind, entry, id);
    entryList(entries, list_);
    storeLinks_.reset();
    storeLinks_.bind(1, toNumber(kind)).bind(2, id).bind(3, list_).run();
}

namespace {
// The first `width` octets of `text` as a big-endian number, short texts
// padded with zeros: numbers in the order of the texts' octets, as the
// index compares its keys.
std::uint64_t packed(std::string_view text, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = (value << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
    return value;
}
} // namespace

void IndexWriter::keep(std::int32_t kind, const IndexEntry& entry, std::int32_t id,
                       std::uint32_t write) {
    pending_.push_back({packed(entry.key, 8), static_cast<std::uint32_t>(packed(entry.code, 4)),
                        kind, id, write, static_cast<std::uint32_t>(keyText_.size()),
                        static_cast<std::uint32_t>(entry.key.size()), entry.code});
    keyText_.append(entry.key);
}

void IndexWriter::flush() {
    // Entries of a record written again since are not its entries any more.
    std::erase_if(pending_, [&](const Pending& p) { return replacedWrites_[p.write]; });
    std::sort(pending_.begin(), pending_.end(), [this](const Pending& a, const Pending& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.codePacked != b.codePacked)
            return a.codePacked < b.codePacked;
        if ((a.code.size() > 4 || b.code.size() > 4) && a.code != b.code)
            return a.code < b.code;
        if (a.keyPrefix != b.keyPrefix)
            return a.keyPrefix < b.keyPrefix;
        if (const int order = keyOf(a).compare(keyOf(b)))
            return order < 0;
        return a.id < b.id;
    });
    // A refused row fails the load; the caller rolls back the batch.
    if (sql_.keepsIdLists)
        loadIdLists();
    else
        loadRows();
    discard();
}

void IndexWriter::loadRows() {
    const auto rows = db_.loadRows(sql_.loadInto, sql_.loadColumns);
    for (const Pending& p : pending_) {
        // The codes are literals and the keys stay in keyText_ till the flush ends.
        rows->add(p.kind);
        rows->add(p.code);
        rows->add(keyOf(p));
        rows->add(p.id);
    }
    rows->finish();
}

void IndexWriter::loadIdLists() {
    // Each run of entries with one key, in id order, becomes lists of at
    // most MaxIdsPerList ids; the lists' texts are all made first, as the
    // loader reads them only when it writes.
    struct List {
        std::size_t first;
        std::size_t last;
        std::size_t textAt;
    };
    std::vector<List> lists;
    std::string text;
    for (std::size_t at = 0; at < pending_.size();) {
        const Pending& first = pending_[at];
        std::size_t end = at + 1;
        while (end < pending_.size() && end - at < MaxIdsPerList &&
               pending_[end].kind == first.kind && pending_[end].code == first.code &&
               keyOf(pending_[end]) == keyOf(first))
            ++end;
        lists.push_back({at, end - 1, text.size()});
        text += '{';
        for (std::size_t i = at; i < end; ++i) {
            char digits[12];
            digits[0] = ',';
            const auto written = std::to_chars(digits + 1, digits + sizeof digits, pending_[i].id);
            text.append(i > at ? digits : digits + 1, written.ptr);
        }
        text += '}';
        at = end;
    }
    const auto rows = db_.loadRows(sql_.loadInto, sql_.loadColumns);
    for (std::size_t n = 0; n < lists.size(); ++n) {
        const List& list = lists[n];
        const std::size_t textEnd = n + 1 < lists.size() ? lists[n + 1].textAt : text.size();
        const Pending& first = pending_[list.first];
        rows->add(first.kind);
        rows->add(first.code);
        rows->add(keyOf(first));
        rows->add(first.id);
        rows->add(pending_[list.last].id);
        rows->add(std::string_view(text).substr(list.textAt, textEnd - list.textAt));
    }
    rows->finish();
}

void IndexWriter::discard() {
    pending_.clear();
    keyText_.clear();
    lastWrite_.clear();
    replacedWrites_.clear();
}

void IndexWriter::remove(RecordKind kind, std::int32_t id) {
    removeListed(kind, id, false);
    storeList_.reset();
    storeList_.bind(1, toNumber(kind)).bind(2, id).bind(3, std::string_view("[]")).run();
}

void IndexWriter::removeListed(RecordKind kind, std::int32_t id, bool linksOnly) {
    Statement& st = linksOnly ? removeLinks_ : removeAll_;
    st.reset();
    st.bind(1, toNumber(kind)).bind(2, id).run();
}

} // namespace orvane::server
