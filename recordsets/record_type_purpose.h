#pragma once
// Which record types a list offers, by what it is for and the operator's rights.

namespace velumar {

class SecurityProfile;

// What a record type list is filled for.
enum RecordTypePurpose : int {
    PurposeRecordSetScreens = 0,
    PurposeScanJob = 1,
    PurposePreview = 2,
    PurposeIndexJob = 3,
    PurposeMatchJob = 4,
};

// Any other purpose offers nothing.
bool RecordTypeAllowedFor(const SecurityProfile& profile, int purpose, int recordType);

} // namespace velumar
