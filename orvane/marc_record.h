#pragma once
// The MARC record object: loads one ISO 2709 record from its text (one
// character per octet, U+0000 to U+00FF, as records travel on the channel)
// and finds fields in it by tag. Plain C++ over the marc library; QString
// only at the edges.

#include "marc/record_view.h"

#include <QString>
#include <optional>
#include <string>

namespace orvane {

class MarcRecord {
public:
    MarcRecord() = default;
    MarcRecord(const MarcRecord& other) { Load(other.octets_); }
    MarcRecord& operator=(const MarcRecord& other);

    // Replaces the record; true when the text is exactly one well-formed
    // record. After a failed load the object holds no record.
    bool Load(const QString& text);
    bool Load(std::string octets);
    bool IsValid() const { return view_.has_value(); }

    // Finds the first field with this tag ("000": the leader) and makes it
    // the current field; false, and no current field, when there is none.
    bool FindField(const QString& tag);
    // The current field's length as the directory gives it, its field
    // terminator included (24 for the leader); 0 without a current field.
    int FieldLength() const;
    // The current field's data with its field terminator cut off (the whole
    // leader), one character per octet; empty without a current field.
    QString FieldData() const;

    // The record's octets as loaded.
    const std::string& Octets() const { return octets_; }

private:
    std::string octets_;
    std::optional<marc::RecordView> view_;
    std::optional<std::string_view> field_; // the current field's data
    bool fieldIsLeader_ = false;
};

} // namespace orvane
