// Catalogue import throughput: a file of real records (the MARC benchmark's,
// 100,000 records unless VELUMAR_BENCH_RECORDS says otherwise) loaded into a
// new catalogue as `orvane-server catalogue import` loads it, batches and
// index entries included. Then the demo catalogue's generation, which a new
// embedded server waits for. Prints records per second by the wall clock
// and by processor time, beside the same load written a record at a time.
// VELUMAR_BENCH_BATCH sets the records per transaction and
// VELUMAR_BENCH_BATCH_MS the longest a batch lasts (the import's own
// defaults otherwise); VELUMAR_BENCH_ONLY_IMPORT=1 leaves out the comparison.

#include "bench_file.h"
#include "catalogue/catalogue_import.h"
#include "demo/seed.h"
#include "store/database.h"
#include "store/store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timed {
    double wall = 0;
    double cpu = 0;
};

template <typename Work> Timed timed(Work&& work) {
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    work();
    return {std::chrono::duration<double>(Clock::now() - start).count(), cpuSeconds() - cpuStart};
}

std::size_t requestedRecords() {
    if (const char* text = std::getenv("VELUMAR_BENCH_RECORDS"))
        if (const long n = std::atol(text); n > 0)
            return static_cast<std::size_t>(n);
    return 100000;
}

std::int64_t scalar(orvane::server::Database& db, const char* sql) {
    auto st = db.prepare(sql);
    st.step();
    return st.int64(0);
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    using namespace orvane::server;
    const fs::path dir =
        fs::temp_directory_path() / ("velumar-catalogue-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    const auto file = velumar::bench::makeBenchFile(
        VELUMAR_MARC_DATA_DIR, (dir / "bench.mrc").string(), requestedRecords());
    if (file.path.empty()) {
        std::fprintf(stderr, "no readable records in %s\n", VELUMAR_MARC_DATA_DIR);
        fs::remove_all(dir);
        return 1;
    }
    std::printf("input: %zu records (%zu real ones repeated), %.1f MB\n", file.records,
                file.sources, static_cast<double>(file.bytes) / 1e6);

    // The import as it runs, then the same file a record at a time, each in
    // its savepoint with its index entries one by one (as a batch the
    // database refused is written again, and as every batch was written
    // before), on the same machine in the same run.
    const auto importOnce = [&](const char* name, bool recordByRecord) {
        ImportSummary summary;
        // VELUMAR_BENCH_DB: an empty PostgreSQL database to import into instead.
        const char* url = std::getenv("VELUMAR_BENCH_DB");
        const std::string db = (dir / (std::string(name) + ".db")).string();
        const std::string location = url ? std::string(url) : db;
        const Timed load = timed([&] {
            Store store(location, Database::DefaultBusyTimeout, db);
            ImportOptions options;
            options.recordByRecord = recordByRecord;
            if (const char* batch = std::getenv("VELUMAR_BENCH_BATCH"))
                options.batchSize = static_cast<std::size_t>(std::atol(batch));
            if (const char* ms = std::getenv("VELUMAR_BENCH_BATCH_MS"))
                options.batchTime = std::chrono::milliseconds(std::atol(ms));
            importFile(store.db(), file.path, options, summary);
        });
        // Counted after the clock stops (the import closed its database): a
        // scan of the whole index.
        const std::int64_t entries =
            scalar(Store(location, Database::DefaultBusyTimeout, db).db(),
                   "SELECT count(*) FROM catalogue_index");
        const double records = static_cast<double>(summary.added + summary.replaced);
        std::printf("%s: %zu added, %zu replaced, %zu rejected, %lld index entries "
                    "(%.1f a record)\n",
                    name, summary.added, summary.replaced, summary.rejected.size(),
                    static_cast<long long>(entries),
                    static_cast<double>(entries) /
                        static_cast<double>(std::max<std::size_t>(1, summary.added)));
        std::printf("%s: %.2f s wall, %.2f s cpu: %.0f records/s (%.0f per cpu second)\n", name,
                    load.wall, load.cpu, records / load.wall, records / load.cpu);
        return records / load.cpu;
    };
    const double fast = importOnce("import", false);
    if (!std::getenv("VELUMAR_BENCH_ONLY_IMPORT")) {
        const double careful = importOnce("record by record", true);
        std::printf("import / record by record, per cpu second: %.2f\n", fast / careful);
    }

    std::int64_t demoRecords = 0;
    const Timed demo = timed([&] {
        Store store((dir / "demo.db").string());
        initialiseStore(store, true);
        demoRecords = scalar(store.db(), "SELECT count(*) FROM catalogue_records");
    });
    std::printf("demo data with catalogue: %lld records, %.2f s wall, %.2f s cpu "
                "(the two demo passwords' hashes included)\n",
                static_cast<long long>(demoRecords), demo.wall, demo.cpu);

    fs::remove_all(dir);
    return 0;
}
