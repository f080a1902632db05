#include "job_records.h"

#include "store/database.h"

namespace orvane::server {

std::int32_t JobRecords::count(std::int32_t job) {
    // Places run from 1 without gaps, so the last is the count: one look-up in
    // the key, where counting would walk every record the job holds.
    auto st = db_.prepare("SELECT coalesce(max(position), 0) FROM job_records WHERE job = ?1");
    st.bind(1, job);
    return st.step() ? st.int32(0) : 0;
}

void JobRecords::append(std::int32_t job, const std::vector<std::string>& records) {
    std::int32_t position = count(job);
    auto st = db_.prepare("INSERT INTO job_records (job, position, marc) VALUES (?1, ?2, ?3)");
    for (const std::string& record : records) {
        st.bind(1, job).bind(2, ++position).bindBlob(3, record).run();
        st.reset();
    }
}

std::vector<std::string> JobRecords::all(std::int32_t job) {
    std::vector<std::string> records;
    auto st = db_.prepare("SELECT marc FROM job_records WHERE job = ?1 ORDER BY position");
    st.bind(1, job);
    while (st.step())
        records.push_back(st.blob(0));
    return records;
}

} // namespace orvane::server
