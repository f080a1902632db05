#include "record_writer.h"

#include "index_codes.h"
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <charconv>
#include <limits>

namespace orvane::server {

namespace {

constexpr std::int32_t MaxId = std::numeric_limits<std::int32_t>::max();

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view controlValue(const marc::RecordView& record, std::string_view tag) {
    const auto field = record.findField(tag);
    return field ? trimmed(field->value()) : std::string_view();
}

std::optional<std::int32_t> positiveId(std::string_view text) {
    std::int64_t value = 0;
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value < 1 || value > MaxId)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// The control number as a match job builds it: "(003)001".
std::string controlKey(std::string_view number, std::string_view source) {
    std::string key;
    if (!number.empty() && !source.empty()) {
        const bool bracketed = source.front() == '(';
        if (!bracketed)
            key += '(';
        key.append(source);
        if (!bracketed)
            key += ')';
    }
    key.append(number);
    return key;
}

bool holds035(const marc::Record& record, std::string_view key) {
    const std::string wanted = normaliseKey(KeyForm::ControlNumber, key);
    for (const marc::Field* field : record.findFields("035"))
        for (const auto& sub : field->subfields())
            if (sub.code == 'a' && normaliseKey(KeyForm::ControlNumber, sub.value) == wanted)
                return true;
    return false;
}

std::string settingOr(Database& db, std::string_view key, std::string_view fallback) {
    auto st = db.prepare("SELECT value FROM settings WHERE key = ?1");
    st.bind(1, key);
    return st.step() ? st.text(0) : std::string(fallback);
}

// A write of one row: on SQLite OR FAIL, as its checks come before anything
// is written, so SQLite keeps no statement journal to undo part of it.
std::string oneRow(Database& db, std::string_view verb, std::string_view rest) {
    std::string sql(verb);
    if (db.engine() == Engine::Sqlite)
        sql += " OR FAIL";
    sql.append(rest);
    return sql;
}

// The setting that holds the next new id of a kind.
std::string counterKey(RecordKind kind) {
    return "next_record_id." + std::to_string(toNumber(kind));
}

std::map<std::string, std::int64_t, std::less<>> codes(Database& db, std::string_view table) {
    std::map<std::string, std::int64_t, std::less<>> out;
    auto st = db.prepare("SELECT code, id FROM " + std::string(table));
    while (st.step())
        out.emplace(st.text(0), st.int64(1));
    return out;
}

} // namespace

RecordWriter::RecordWriter(Database& db, std::string operatorId)
    : db_(db), operator_(std::move(operatorId)),
      identifier_(settingOr(db, "control_number_identifier", DefaultControlNumberIdentifier)),
      byId_(db.prepare("SELECT control_source, marc FROM catalogue_records "
                       "WHERE record_type = ?1 AND record_id = ?2")),
      byKey_(db.prepare("SELECT record_id FROM catalogue_index WHERE record_type = ?1 "
                        "AND code = ?2 AND key = ?3 ORDER BY record_id LIMIT 1")),
      maxId_(db.prepare("SELECT MAX(record_id) FROM catalogue_records WHERE record_type = ?1 "
                        "AND record_id < 2147483647")),
      nextId_(db.prepare("SELECT value FROM settings WHERE key = ?1")),
      setNextId_(db.prepare("INSERT INTO settings (key, value) VALUES (?1, ?2) "
                            "ON CONFLICT (key) DO UPDATE SET value = excluded.value")),
      taken_(
          db.prepare("SELECT 1 FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2")),
      firstFree_(db.prepare(
          "SELECT a.record_id + 1 FROM catalogue_records a WHERE a.record_type = ?1 "
          "AND a.record_id < 2147483647 AND NOT EXISTS (SELECT 1 FROM catalogue_records b "
          "WHERE b.record_type = ?1 AND b.record_id = a.record_id + 1) "
          "ORDER BY a.record_id LIMIT 1")),
      // The list of the record's index entries is written with its row (?9).
      insert_(db.prepare(oneRow(
          db, "INSERT",
          " INTO catalogue_records (record_type, record_id, marc, control_source, "
          "ok_to_export_date, owning_library, location, bib_id, created_by, updated_by, "
          "index_entries) VALUES (?1, ?2, ?3, ?4, datetime('now'), ?5, ?6, ?7, ?8, ?8, ?9)"))),
      update_(db.prepare(oneRow(
          db, "UPDATE",
          " catalogue_records SET marc = ?3, control_source = ?4, owning_library = ?5, "
          "location = ?6, bib_id = ?7, updated_by = ?8, index_entries = ?9, "
          "updated_at = datetime('now') WHERE record_type = ?1 AND record_id = ?2"))),
      history_(db.prepare(oneRow(db, "INSERT",
                                 " INTO catalogue_history (record_type, record_id, action, "
                                 "operator, previous) VALUES (?1, ?2, ?3, ?4, ?5)"))),
      batch_(db), index_(db), libraries_(codes(db, "owning_libraries")),
      locations_(codes(db, "locations")) {}

SavedRecord RecordWriter::save(std::string_view octets, RecordKind kind) {
    const marc::ParseResult parsed = marc::parseRecord(octets);
    if (!parsed.record)
        throw RecordRejected(parsed.error ? parsed.error->reason : "not an ISO 2709 record");
    const marc::RecordView& view = *parsed.record;

    const std::string_view number = controlValue(view, "001");
    const std::string_view source = controlValue(view, "003");
    const std::string key = controlKey(number, source);

    std::optional<Existing> replaced;
    std::int32_t id = 0;
    bool newIdentity = false; // 001 and 003 become this catalogue's
    if (const auto wanted = positiveId(number)) {
        replaced = findById(kind, *wanted);
        if (!replaced || replaced->source == source)
            id = *wanted;
        else
            replaced.reset();
    }
    if (id == 0) {
        newIdentity = true;
        if (const auto found = key.empty() ? std::nullopt : findByControlKey(kind, key)) {
            id = *found;
            replaced = findById(kind, id);
        } else {
            id = newId(kind);
        }
    }

    std::optional<std::int32_t> bibliographic;
    std::string new004;
    if (kind == RecordKind::Holdings)
        bibliographic = bibliographicOf(view, new004);

    // The octets stored: as given, or with the id, the control number and the
    // 004 rewritten.
    std::string rewritten;
    std::optional<marc::ParseResult> reparsed;
    const std::string idText = std::to_string(id);
    if (newIdentity || number != idText || !new004.empty()) {
        marc::Record record = marc::Record::fromView(view);
        record.setControlValue("001", idText);
        if (newIdentity) {
            if (!key.empty() && !holds035(record, key))
                record.insertField(marc::Field::data("035", ' ', ' ', {{'a', key}}));
            record.setControlValue("003", identifier_);
        }
        if (!new004.empty())
            record.setControlValue("004", new004);
        if (auto why = marc::appendIso2709(record, rewritten))
            throw RecordRejected(*why);
        reparsed = marc::parseRecord(std::string_view(rewritten));
        if (!reparsed->record)
            throw RecordRejected("the record with its new id is not well formed");
    }
    const marc::RecordView& stored = reparsed ? *reparsed->record : view;
    const Placement place = placementOf(stored);
    const std::string storedSource(controlValue(stored, "003"));

    // The entries a replaced record had go while its row still lists them.
    if (replaced)
        index_.removeEntries(kind, id);
    const std::string_view entryList = index_.listOf(kind, stored);
    Statement& write = replaced ? update_ : insert_;
    write.reset();
    write.bind(9, entryList);
    write.bind(1, toNumber(kind))
        .bind(2, id)
        .bindBlob(3, stored.bytes())
        .bind(4, storedSource)
        .bind(5, place.library)
        .bind(6, place.location)
        .bind(7, bibliographic)
        .bind(8, operator_)
        .run();

    history_.reset();
    history_.bind(1, toNumber(kind)).bind(2, id).bind(3, replaced ? "replaced" : "created");
    history_.bind(4, operator_);
    if (replaced)
        history_.bindBlob(5, replaced->octets);
    else
        history_.bindNull(5);
    history_.run();

    index_.addEntries(kind, id);
    if (batchHeld_) {
        std::vector<std::string_view> numbers;
        for (const IndexEntry& entry : index_.lastEntries())
            if (entry.code == controlNumberCode(kind))
                numbers.push_back(entry.key);
        batch_.written(kind, id, !replaced, storedSource, stored.bytes(), numbers);
    }
    return {replaced ? SavedRecord::Action::Replaced : SavedRecord::Action::Added, kind, id};
}

std::optional<RecordWriter::Existing> RecordWriter::findById(RecordKind kind, std::int64_t id) {
    if (batchHeld_)
        if (const auto known = batch_.record(kind, id))
            return *known ? std::optional<Existing>(Existing{static_cast<std::int32_t>(id),
                                                             (*known)->source, (*known)->octets})
                          : std::nullopt;
    byId_.reset();
    byId_.bind(1, toNumber(kind)).bind(2, id);
    // Each look-up is reset once read: a statement left open would keep a
    // stale snapshot past the transaction's end, and the next one could not
    // write once another writer had been in between.
    std::optional<Existing> found;
    if (byId_.step())
        found = Existing{static_cast<std::int32_t>(id), byId_.text(0), byId_.blob(1)};
    byId_.reset();
    return found;
}

void RecordWriter::lookAhead(const std::vector<std::pair<std::string_view, RecordKind>>& records) {
    // In-process look-ups cost less than asking ahead for them.
    if (!db_.readsAreRoundTrips())
        return;
    std::map<RecordKind, std::vector<std::string>> keys;
    std::map<RecordKind, std::vector<std::int64_t>> ids;
    for (const auto& [octets, kind] : records) {
        const marc::ParseResult parsed = marc::parseRecord(octets);
        if (!parsed.record)
            continue;
        const std::string_view number = controlValue(*parsed.record, "001");
        if (const auto id = positiveId(number))
            ids[kind].push_back(*id);
        const std::string key = controlKey(number, controlValue(*parsed.record, "003"));
        if (!key.empty())
            keys[kind].push_back(normaliseKey(KeyForm::ControlNumber, key));
    }
    for (auto& [kind, ofKind] : ids)
        batch_.preloadRecords(kind, std::move(ofKind));
    for (auto& [kind, ofKind] : keys)
        batch_.preload(kind, std::move(ofKind));
}

std::optional<std::int32_t> RecordWriter::findByControlKey(RecordKind kind, std::string_view key) {
    const std::string normal = normaliseKey(KeyForm::ControlNumber, key);
    if (batchHeld_)
        if (const auto known = batch_.holder(kind, normal))
            return *known;
    byKey_.reset();
    byKey_.bind(1, toNumber(kind)).bind(2, controlNumberCode(kind)).bind(3, normal);
    std::optional<std::int32_t> found;
    if (byKey_.step())
        found = static_cast<std::int32_t>(byKey_.int64(0));
    byKey_.reset();
    return found;
}

// New ids come from a counter per kind that only this writer moves: ids a
// record brings in its own 001 are skipped when met but never move it, so
// a 001 at the top of the range cannot use the range up. An id is never
// given twice while the counter climbs; only once it has reached the top are
// the gaps below searched.
std::int32_t RecordWriter::newId(RecordKind kind) {
    const auto kept = batchHeld_ ? batch_.counter(kind) : std::nullopt;
    std::int64_t next = kept ? *kept : storedCounter(kind, counterKey(kind));
    while (next <= MaxId && isTaken(kind, next))
        ++next;
    if (next > MaxId) {
        firstFree_.reset();
        firstFree_.bind(1, toNumber(kind));
        if (isTaken(kind, 1)) {
            next = firstFree_.step() ? firstFree_.int64(0) : std::int64_t{MaxId} + 1;
            firstFree_.reset();
            if (next > MaxId)
                throw RecordRejected("every record id is taken");
        } else {
            next = 1;
        }
    }
    if (batchHeld_)
        batch_.setCounter(kind, next + 1);
    else
        storeCounter(kind, next + 1);
    return static_cast<std::int32_t>(next);
}

void RecordWriter::storeCounter(RecordKind kind, std::int64_t next) {
    setNextId_.reset();
    setNextId_.bind(1, counterKey(kind))
        .bind(2, std::to_string(next))
        .run();
}

void RecordWriter::writeHeldCounters() {
    for (const auto& [kind, next] : batch_.counters())
        storeCounter(kind, next);
}

std::int64_t RecordWriter::storedCounter(RecordKind kind, const std::string& key) {
    std::int64_t next = 0;
    nextId_.reset();
    nextId_.bind(1, key);
    const std::string stored = nextId_.step() ? nextId_.text(0) : std::string();
    nextId_.reset();
    const auto [end, error] = std::from_chars(stored.data(), stored.data() + stored.size(), next);
    if (stored.empty() || error != std::errc() || end != stored.data() + stored.size() ||
        next < 1) {
        // First use: after the highest id below the top.
        maxId_.reset();
        maxId_.bind(1, toNumber(kind));
        maxId_.step();
        next = maxId_.isNull(0) ? 1 : maxId_.int64(0) + 1;
        maxId_.reset();
    }
    return next;
}

bool RecordWriter::isTaken(RecordKind kind, std::int64_t id) {
    if (batchHeld_)
        return batch_.taken(kind, id);
    taken_.reset();
    taken_.bind(1, toNumber(kind)).bind(2, id);
    const bool taken = taken_.step();
    taken_.reset();
    return taken;
}

std::optional<std::int32_t> RecordWriter::bibliographicOf(const marc::RecordView& holdings,
                                                          std::string& rewrite004) {
    const std::string_view named = controlValue(holdings, "004");
    if (named.empty())
        throw RecordRejected("holdings record without a 004 naming its bibliographic record");
    const std::string_view source = controlValue(holdings, "003");
    // The id itself, when it is one of ours or from the bibliographic record's own source.
    if (const auto id = positiveId(named)) {
        if (const auto bib = findById(RecordKind::Bibliographic, *id);
            bib && (source.empty() || source == identifier_ || source == bib->source))
            return *id;
    }
    // Else a control number kept in a bibliographic 035.
    for (const std::string& key : {controlKey(named, source), std::string(named)}) {
        if (const auto id = findByControlKey(RecordKind::Bibliographic, key)) {
            rewrite004 = std::to_string(*id);
            return *id;
        }
    }
    std::string why = "004 ";
    why.append(named).append(" names no bibliographic record in the catalogue");
    throw BibliographicRecordMissing(why);
}

RecordWriter::Placement RecordWriter::placementOf(const marc::RecordView& record) {
    Placement place;
    const auto field = record.findField("852");
    if (!field)
        return place;
    if (const auto code = field->subfield('a'))
        if (const auto it = libraries_.find(trimmed(*code)); it != libraries_.end())
            place.library = it->second;
    if (const auto code = field->subfield('b'))
        if (const auto it = locations_.find(trimmed(*code)); it != locations_.end())
            place.location = it->second;
    return place;
}

} // namespace orvane::server
