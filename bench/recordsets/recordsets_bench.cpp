// A million record ids (VELUMAR_BENCH_IDS says otherwise) sent to a new
// record set by RecordSetSender, in its batches of 1000, over the embedded
// server as the client runs it; then read back with "GET_RECORD_SET", chunk
// by chunk, as the export reads them. The catalogue gets a bibliographic
// record for every id first, so each id is looked up and kept, not refused.
// Prints the seconds each half took by the wall clock.

#include "core/server_core.h"
#include "embedded_server.h"
#include "record_set_progress.h"
#include "record_sets.h"
#include "request_channel.h"
#include "session.h"
#include "session/session_state.h"
#include "store/database.h"
#include "store/store.h"
#include "testing/recording_platform_services.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

constexpr qint32 FirstId = 100000;

int requestedIds() {
    if (const char* text = std::getenv("VELUMAR_BENCH_IDS"))
        if (const int n = std::atoi(text); n > 0)
            return n;
    return 1000000;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct CountingProgress final : velumar::RecordSetProgress {
    void ProgressShow(int, int) override { ++shows; }
    void ProgressHide() override {}
    int shows = 0;
};

void fillCatalogue(orvane::server::Database& db, int count) {
    auto st = db.prepare(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?2) "
        "INSERT INTO catalogue_records (record_type, record_id, marc, created_by, updated_by) "
        "SELECT 1, ?1 + i, x'', 'bench', 'bench' FROM n");
    st.bind(1, static_cast<std::int64_t>(FirstId)).bind(2, static_cast<std::int64_t>(count)).run();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = requestedIds();
    QTemporaryDir dir;
    const QString db = dir.filePath("velumar.db");

    auto start = Clock::now();
    auto core = orvane::openEmbeddedServer(db);
    fillCatalogue(core->store().db(), count);
    std::printf("catalogue of %d records made in %.2f s (not measured below)\n", count,
                secondsSince(start));

    velumar::RecordingPlatformServices platform;
    velumar::SessionState state(platform);
    state.session().Initialise({"velumar", "--db", db}, &app);
    if (state.session().Login("", "demo", "") != 0 ||
        !state.channel().Open(5, state.session(), nullptr)) {
        std::fprintf(stderr, "cannot log in to the embedded server\n");
        return 1;
    }
    auto& sets = state.manager<velumar::RecordSets>();
    const qint32 setId = sets.AddRecordSet("Benchmark", 1);

    QList<qint32> ids;
    ids.reserve(count);
    for (int i = 0; i < count; ++i)
        ids.push_back(FirstId + i);

    CountingProgress progress;
    start = Clock::now();
    const bool sent = sets.AddToRecordSet(ids, setId, 1, &progress);
    const double sendSeconds = secondsSince(start);
    if (!sent || !platform.Messages().empty()) {
        std::fprintf(stderr, "the send failed or left ids out\n");
        return 1;
    }

    orvane::Channel& channel = state.channel();
    start = Clock::now();
    long long readBack = 0;
    int chunks = 0;
    for (int chunk = 1; chunk != 0;) {
        channel.AddNumericField("RSID", setId);
        channel.AddField("OI", "demo");
        channel.AddField("IDYN", "Y");
        channel.AddField("CB", QString::number(chunk));
        if (channel.SendRequest("GET_RECORD_SET") != 0) {
            std::fprintf(stderr, "GET_RECORD_SET failed at chunk %d\n", chunk);
            return 1;
        }
        const QString text = channel.GetField("RIDC");
        if (!text.isEmpty())
            readBack += text.count(QLatin1Char('\n')) + 1;
        ++chunks;
        chunk = channel.GetNumericField("CB");
    }
    const double readSeconds = secondsSince(start);

    std::printf("send: %d ids in %d requests, %.2f s (%.0f ids/s), %d progress updates\n", count,
                (count + 999) / 1000, sendSeconds, count / sendSeconds, progress.shows);
    std::printf("read back: %lld ids in %d chunks, %.2f s (%.0f ids/s)\n", readBack, chunks,
                readSeconds, static_cast<double>(readBack) / readSeconds);
    return readBack == count ? 0 : 1;
}
