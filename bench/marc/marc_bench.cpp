// Reading and writing a file of real records with the marc library, against
// yaz-marcdump on the same file in the same run. Each case is timed by hand so
// that the summary at the end can set records per second side by side: by the
// wall clock (the subprocess included for yaz-marcdump), and by processor time
// (ours, or the finished child's), which holds steadier on a busy machine.

#include "bench_file.h"
#include "marc/iso2709_writer.h"
#include "marc/mnemonic_writer.h"
#include "marc/reader.h"
#include "marc/record.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

velumar::bench::BenchFile input;

struct Rate {
    double seconds = 0;
    double cpuSeconds = 0;
    double records = 0;
    double perSecond() const { return seconds > 0 ? records / seconds : 0; }
    double perCpuSecond() const { return cpuSeconds > 0 ? records / cpuSeconds : 0; }
};

// Processor time of this process, or of its finished children.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
std::map<std::string, Rate> rates;

// Output goes to /dev/null for us as for yaz-marcdump, in 1 MiB writes.
class NullSink {
public:
    NullSink() : file_(std::fopen("/dev/null", "wb")) {}
    ~NullSink() {
        flush();
        if (file_)
            std::fclose(file_);
    }
    std::string& buffer() { return buffer_; }
    void maybeFlush() {
        if (buffer_.size() >= (1u << 20))
            flush();
    }
    void flush() {
        if (file_)
            std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
        buffer_.clear();
    }

private:
    std::FILE* file_;
    std::string buffer_;
};

// Runs `pass` once per iteration, timing it, and books records per second.
// `who` says whose processor time counts: RUSAGE_SELF or RUSAGE_CHILDREN.
template <typename Pass>
void timed(benchmark::State& state, const std::string& name, int who, Pass pass) {
    if (input.path.empty()) {
        state.SkipWithError("no benchmark input");
        return;
    }
    for (auto _ : state) {
        const double cpuStart = cpuSeconds(who);
        const auto start = Clock::now();
        const std::size_t records = pass();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = cpuSeconds(who) - cpuStart;
        state.SetIterationTime(seconds);
        if (records != input.records) {
            state.SkipWithError("not every record was handled");
            return;
        }
        rates[name].seconds += seconds;
        rates[name].cpuSeconds += cpu;
        rates[name].records += static_cast<double>(records);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * input.records));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.bytes));
}

void BM_VelumarRead(benchmark::State& state) {
    timed(state, "velumar read", RUSAGE_SELF, [] {
        auto reader = marc::Reader::openFile(input.path);
        std::size_t records = 0;
        std::size_t fields = 0;
        while (auto view = reader->next()) {
            fields += view->fieldCount();
            ++records;
        }
        benchmark::DoNotOptimize(fields);
        return records;
    });
}

void BM_VelumarIso2709(benchmark::State& state) {
    timed(state, "velumar iso2709", RUSAGE_SELF, [] {
        auto reader = marc::Reader::openFile(input.path);
        NullSink out;
        std::size_t records = 0;
        while (auto view = reader->next()) {
            if (!marc::appendIso2709(*view, out.buffer()))
                ++records;
            out.maybeFlush();
        }
        return records;
    });
}

void BM_VelumarModelIso2709(benchmark::State& state) {
    timed(state, "velumar model iso2709", RUSAGE_SELF, [] {
        auto reader = marc::Reader::openFile(input.path);
        NullSink out;
        std::size_t records = 0;
        while (auto view = reader->next()) {
            if (!marc::appendIso2709(marc::Record::fromView(*view), out.buffer()))
                ++records;
            out.maybeFlush();
        }
        return records;
    });
}

void BM_VelumarTextForm(benchmark::State& state) {
    timed(state, "velumar text form", RUSAGE_SELF, [] {
        auto reader = marc::Reader::openFile(input.path);
        NullSink out;
        std::size_t records = 0;
        while (auto view = reader->next()) {
            marc::appendMnemonic(*view, out.buffer());
            ++records;
            out.maybeFlush();
        }
        return records;
    });
}

std::size_t runYaz(const std::string& format) {
    const std::string command = std::string(YAZ_MARCDUMP) + " -i marc -o " + format + " '" +
                                input.path + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 ? input.records : 0;
}

void BM_YazMarc(benchmark::State& state) {
    timed(state, "yaz-marcdump -o marc", RUSAGE_CHILDREN, [] { return runYaz("marc"); });
}

void BM_YazLine(benchmark::State& state) {
    timed(state, "yaz-marcdump -o line", RUSAGE_CHILDREN, [] { return runYaz("line"); });
}

constexpr int Iterations = 5;

BENCHMARK(BM_VelumarRead)->UseManualTime()->Iterations(Iterations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VelumarIso2709)
    ->UseManualTime()
    ->Iterations(Iterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VelumarModelIso2709)
    ->UseManualTime()
    ->Iterations(Iterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YazMarc)->UseManualTime()->Iterations(Iterations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VelumarTextForm)
    ->UseManualTime()
    ->Iterations(Iterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YazLine)->UseManualTime()->Iterations(Iterations)->Unit(benchmark::kMillisecond);

void printRates(const std::string& name) {
    std::printf("  %-28s %12.0f records/s wall %12.0f records/s processor\n", name.c_str(),
                rates[name].perSecond(), rates[name].perCpuSecond());
}

void printRatio(const char* label, const std::string& ours, const std::string& theirs) {
    printRates(ours);
    printRates(theirs);
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("  %-28s %12.1fx wall           %12.1fx processor\n\n", label,
                ratio(rates[ours].perSecond(), rates[theirs].perSecond()),
                ratio(rates[ours].perCpuSecond(), rates[theirs].perCpuSecond()));
}

} // namespace

int main(int argc, char** argv) {
    const char* wanted = std::getenv("VELUMAR_BENCH_RECORDS");
    const std::size_t records = wanted ? std::strtoul(wanted, nullptr, 10) : 100000;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("velumar-marc-bench-" + std::to_string(getpid()) + ".mrc"))
                                 .string();
    input = velumar::bench::makeBenchFile(VELUMAR_MARC_DATA_DIR, path, records);
    if (input.path.empty()) {
        std::fprintf(stderr, "velumar_marc_bench: no records in %s\n", VELUMAR_MARC_DATA_DIR);
        return 1;
    }
    std::printf("input: %zu records (%zu real records repeated, distinct 001s), %.1f MB\n\n",
                input.records, input.sources, static_cast<double>(input.bytes) / 1e6);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nrecords per second, same file, same run:\n");
    printRatio("ratio, ISO 2709", "velumar iso2709", "yaz-marcdump -o marc");
    printRatio("ratio, line form", "velumar text form", "yaz-marcdump -o line");
    printRates("velumar read");
    printRates("velumar model iso2709");
    std::filesystem::remove(input.path);
    return 0;
}
