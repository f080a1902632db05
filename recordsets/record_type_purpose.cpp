#include "record_type_purpose.h"

#include "security/security_profile.h"

namespace velumar {

bool RecordTypeAllowedFor(const SecurityProfile& profile, int purpose, int recordType) {
    const bool addOrUpdate =
        profile.RecordSetAdd(recordType) || profile.RecordSetUpdate(recordType);
    switch (purpose) {
    case 0:
        return addOrUpdate;
    case 1:
        return addOrUpdate && profile.ScanJob(recordType);
    case 2:
        switch (recordType) {
        case 1:
            return profile.RSBP();
        case 2:
            return profile.RSMP();
        case 3:
            return profile.RSAP();
        default:
            return false;
        }
    case 3:
        return recordType == 1 && profile.IndexJob();
    case 4:
        return recordType != 2 && addOrUpdate;
    default:
        return false;
    }
}

} // namespace velumar
