#pragma once
// Saves records into the catalogue: decides the record's id, writes its
// octets, flags and authorship, its index entries and a history row. The
// caller holds the transaction (or savepoint), so all of it is written or
// none.
//
// Ids: a 001 that is a positive 32-bit number no record of the kind holds
// is kept. A 001 held by a record from the same source (same 003) replaces
// that record. Otherwise a record whose control number "(003)001" was kept
// in the 035 of an earlier record replaces that one; any other gets a new
// id in 001, this catalogue's identifier in 003, and its control number in
// a new 035, where a match on 035 will find it. A record without a 001
// cannot be recognised and is always added.
// Holdings name their bibliographic record in 004, by its id or by a
// control number kept in a bibliographic 035 (004 is then rewritten to the id).

#include "batch_lookups.h"
#include "index_writer.h"
#include "record_kind.h"
#include "store/database.h"

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marc {
class RecordView;
}

namespace orvane::server {

// A record the catalogue cannot take; nothing of it was written.
class RecordRejected : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A holdings record whose bibliographic record is not (yet) in the catalogue.
class BibliographicRecordMissing : public RecordRejected {
public:
    using RecordRejected::RecordRejected;
};

struct SavedRecord {
    enum class Action { Added, Replaced };
    Action action = Action::Added;
    RecordKind kind = RecordKind::Bibliographic;
    std::int32_t id = 0;
};

// The 003 written with ids this catalogue gives, unless the setting
// "control_number_identifier" names another.
inline constexpr std::string_view DefaultControlNumberIdentifier = "ORVANE";

class RecordWriter {
public:
    // `operatorId` is named as the creator or changer of every record saved.
    RecordWriter(Database& db, std::string operatorId);

    // Throws RecordRejected for a record that cannot be saved; StoreError
    // when the database fails.
    SavedRecord save(std::string_view octets, RecordKind kind);
    // The index writer, for a bulk load that defers and flushes its entries.
    IndexWriter& index() { return index_; }
    // For a bulk load, from the start of each of its transactions to the
    // end: what the writer asks the catalogue is asked for many records at
    // once (lookAhead) and kept (see BatchLookups).
    void holdBatch(bool hold) {
        batchHeld_ = hold;
        batch_.forget();
    }
    // The new-id counters a held batch moved are kept till then: written
    // once, before the batch commits.
    void writeHeldCounters();
    // The records about to be saved, each octets and kind.
    void lookAhead(const std::vector<std::pair<std::string_view, RecordKind>>& records);

private:
    struct Existing {
        std::int32_t id = 0;
        std::string source; // its 003
        std::string octets;
    };
    struct Placement {
        std::optional<std::int64_t> library;
        std::optional<std::int64_t> location;
    };

    std::optional<Existing> findById(RecordKind kind, std::int64_t id);
    std::optional<std::int32_t> findByControlKey(RecordKind kind, std::string_view key);
    std::int32_t newId(RecordKind kind);
    std::int64_t storedCounter(RecordKind kind, const std::string& key);
    void storeCounter(RecordKind kind, std::int64_t next);
    bool isTaken(RecordKind kind, std::int64_t id);
    std::optional<std::int32_t> bibliographicOf(const marc::RecordView& holdings,
                                                std::string& rewrite004);
    Placement placementOf(const marc::RecordView& record);

    Database& db_;
    std::string operator_;
    std::string identifier_;
    Statement byId_;
    Statement byKey_;
    Statement maxId_;
    Statement nextId_;
    Statement setNextId_;
    Statement taken_;
    Statement firstFree_;
    Statement insert_;
    Statement update_;
    Statement history_;
    bool batchHeld_ = false;
    BatchLookups batch_;
    IndexWriter index_;
    std::map<std::string, std::int64_t, std::less<>> libraries_;
    std::map<std::string, std::int64_t, std::less<>> locations_;
};

} // namespace orvane::server
