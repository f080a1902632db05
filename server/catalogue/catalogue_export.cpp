#include "catalogue_export.h"

#include "store/database.h"

#include <ostream>

namespace orvane::server {

ExportSummary exportRecords(Database& db, RecordKind kind,
                            const std::optional<std::vector<std::int32_t>>& ids,
                            std::ostream& out) {
    ExportSummary summary;
    const auto write = [&](const std::string& octets) {
        out.write(octets.data(), static_cast<std::streamsize>(octets.size()));
        ++summary.written;
    };
    if (!ids) {
        auto st = db.prepare(
            "SELECT marc FROM catalogue_records WHERE record_type = ?1 ORDER BY record_id");
        st.bind(1, toNumber(kind));
        while (st.step())
            write(st.blob(0));
        return summary;
    }
    auto st =
        db.prepare("SELECT marc FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2");
    for (const std::int32_t id : *ids) {
        st.reset();
        st.bind(1, toNumber(kind)).bind(2, id);
        if (st.step())
            write(st.blob(0));
        else
            summary.missing.push_back(id);
    }
    return summary;
}

} // namespace orvane::server
