// `velumar-rules apply` against a MARC::Record script making the same three
// edits, on the same files of real records in the same run. Both run as child
// processes, timed by the wall clock and by the child's own processor time
// (from wait4), so start-up and file writing count for both. Their outputs are
// then read back with the marc library to check that both did the same work:
// a comparison of speeds means nothing if one side skipped records.

#include "bench_file.h"
#include "marc/reader.h"
#include "marc/record_view.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Timing {
    double wall = 0;
    double cpu = 0;
    bool ok = false;
};

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs `argv` with stdin from /dev/null and stdout and stderr into files, and
// times it from fork to reaping. ok is false unless it exits with status 0.
Timing runChild(const std::vector<std::string>& argv, const fs::path& stdoutPath,
                const fs::path& stderrPath) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    Timing timing;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::cerr << "fork: " << std::strerror(errno) << "\n";
        return timing;
    }
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0)
            _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::cerr << "wait4: " << std::strerror(errno) << "\n";
            return timing;
        }
    }
    timing.wall = std::chrono::duration<double>(Clock::now() - start).count();
    timing.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    timing.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return timing;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What the three edits should leave, counted per record.
struct Counts {
    std::size_t records = 0;
    std::size_t malformed = 0; // records or stretches the reader skipped
    std::size_t with245 = 0;
    std::size_t with590 = 0;  // any 590
    std::size_t reviewed = 0; // a 590 $a "Batch reviewed"
    std::size_t with9xx = 0;
    std::size_t title2NotZero = 0; // a 245 whose second indicator is not 0
    std::size_t expected590 = 0;   // a 245, or a 590 already (for the input)
};

void tally(const marc::RecordView& record, Counts& counts) {
    bool has245 = false, has590 = false, reviewed = false, has9xx = false, title2 = false;
    for (const marc::FieldView field : record) {
        const std::string_view tag = field.tag();
        if (tag == "245") {
            has245 = true;
            title2 = title2 || field.indicator2() != '0';
        } else if (tag == "590") {
            has590 = true;
            reviewed = reviewed || field.subfield('a') == std::string_view("Batch reviewed");
        } else if (!tag.empty() && tag[0] == '9') {
            has9xx = true;
        }
    }
    ++counts.records;
    counts.with245 += has245;
    counts.with590 += has590;
    counts.reviewed += reviewed;
    counts.with9xx += has9xx;
    counts.title2NotZero += title2;
    counts.expected590 += has245 || has590;
}

bool countFile(const fs::path& path, Counts& counts) {
    auto reader = marc::Reader::openFile(path.string());
    if (!reader)
        return false;
    while (const auto record = reader->next())
        tally(*record, counts);
    counts.malformed += reader->errorCount();
    return !reader->inputFailed();
}

std::string controlNumber(const marc::RecordView& record) {
    const auto field = record.findField("001");
    return field ? std::string(field->value()) : std::string();
}

// The 590 both sides add, as its octets read: blank indicators, then $a.
constexpr std::string_view kAdded590 = "  \x1f"
                                       "aBatch reviewed";

using Fields = std::vector<std::pair<std::string_view, std::string>>;

// A data field's octets with its indicators as MARC::Record keeps them: both
// blank unless there are one or two, and each one not a letter, a digit or a
// blank made blank.
std::string perlIndicators(std::string_view data) {
    const std::size_t at = std::min(data.find('\x1f'), data.size());
    const std::string_view given = data.substr(0, at);
    std::string indicators = "  ";
    if (given.size() <= 2)
        for (std::size_t i = 0; i < given.size(); ++i)
            if (std::isalnum(static_cast<unsigned char>(given[i])) || given[i] == ' ')
                indicators[i] = given[i];
    return indicators + std::string(data.substr(at));
}

// The record's fields in order; without the added 590 when `withoutAdded`,
// with indicators as MARC::Record keeps them when `perlWay`.
Fields fieldsOf(const marc::RecordView& record, bool withoutAdded, bool perlWay) {
    Fields fields;
    bool skipped = false;
    for (const marc::FieldView field : record) {
        if (withoutAdded && !skipped && field.tag() == "590" && field.data() == kAdded590) {
            skipped = true;
            continue;
        }
        fields.emplace_back(field.tag(), perlWay && !field.isControl()
                                             ? perlIndicators(field.data())
                                             : std::string(field.data()));
    }
    return fields;
}

std::string printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '$';
    return text;
}

enum class Match { Identical, Placement, Indicators, Different };

// Identical: leader, tags and field octets the same, in the same order. The
// leader's lengths are left out, and so are its positions 10-11 and 20-23,
// which MARC::Record always writes as "22" and "4500". Placement: the same but
// for where the added 590 went, which the two sides choose differently in a
// record not in tag order or holding a 590 already. Indicators: the same once
// the malformed indicators MARC::Record blanks are blanked in ours too.
Match compareRecords(const marc::RecordView& a, const marc::RecordView& b,
                     std::string& difference) {
    const std::string_view la = a.leader(), lb = b.leader();
    if (la.substr(5, 5) != lb.substr(5, 5) || la.substr(17, 3) != lb.substr(17, 3)) {
        difference = "leader " + std::string(la) + " | " + std::string(lb);
        return Match::Different;
    }
    if (fieldsOf(a, false, false) == fieldsOf(b, false, false))
        return Match::Identical;
    if (fieldsOf(a, true, false) == fieldsOf(b, true, false))
        return Match::Placement;
    const Fields fa = fieldsOf(a, true, true), fb = fieldsOf(b, true, true);
    if (fa == fb)
        return Match::Indicators;
    for (std::size_t i = 0; i < std::max(fa.size(), fb.size()); ++i) {
        if (i >= fa.size() || i >= fb.size()) {
            difference = "field count " + std::to_string(fa.size()) + " | " +
                         std::to_string(fb.size()) + " (the added 590 left out)";
            break;
        }
        if (fa[i] != fb[i]) {
            difference = "field " + std::to_string(i) + " (the added 590 left out): " +
                         printable(std::string(fa[i].first) + " " + fa[i].second + " | " +
                                   std::string(fb[i].first) + " " + fb[i].second);
            break;
        }
    }
    return Match::Different;
}

// MARC::Record refuses a tag that is not three letters or digits, and dies on
// the record; such records go from the input for both sides alike.
bool perlReadsTags(const marc::RecordView& record) {
    for (const marc::FieldView field : record) {
        const std::string_view tag = field.tag();
        if (tag.size() != 3 || !std::all_of(tag.begin(), tag.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) != 0;
            }))
            return false;
    }
    return true;
}

// Rewrites `path` without the records above; returns how many went.
std::size_t dropRecordsPerlRefuses(const fs::path& path, std::size_t& bytes) {
    const fs::path kept = path.string() + ".kept";
    std::size_t dropped = 0;
    bytes = 0;
    {
        auto reader = marc::Reader::openFile(path.string());
        std::ofstream out(kept, std::ios::binary | std::ios::trunc);
        while (reader) {
            const auto record = reader->next();
            if (!record)
                break;
            if (!perlReadsTags(*record)) {
                ++dropped;
                continue;
            }
            out.write(record->bytes().data(), static_cast<std::streamsize>(record->bytes().size()));
            bytes += record->bytes().size();
        }
    }
    fs::rename(kept, path);
    return dropped;
}

constexpr std::size_t kDifferencesShown = 5;

struct Comparison {
    std::size_t compared = 0;
    std::size_t identical = 0;
    std::size_t placement = 0;  // identical but for where the added 590 went
    std::size_t indicators = 0; // and for malformed indicators MARC::Record blanked
    std::string placementExample;
    std::string indicatorsExample;
    std::size_t unmatched = 0;            // in one output and not the other
    std::vector<std::string> differences; // the first few
};

// Pairs the records of both outputs by their 001s, which the input made distinct.
Comparison compareOutputs(const std::vector<fs::path>& ours, const fs::path& perl) {
    Comparison result;
    std::unordered_map<std::string, std::string> ourRecords;
    for (const fs::path& path : ours) {
        auto reader = marc::Reader::openFile(path.string());
        while (reader) {
            const auto record = reader->next();
            if (!record)
                break;
            ourRecords.emplace(controlNumber(*record), std::string(record->bytes()));
        }
    }
    auto reader = marc::Reader::openFile(perl.string());
    while (reader) {
        const auto record = reader->next();
        if (!record)
            break;
        const auto found = ourRecords.find(controlNumber(*record));
        if (found == ourRecords.end()) {
            ++result.unmatched;
            continue;
        }
        const auto parsed = marc::parseRecord(found->second);
        ++result.compared;
        std::string difference = "ours unreadable";
        const Match match =
            parsed.record ? compareRecords(*parsed.record, *record, difference) : Match::Different;
        if (match == Match::Identical) {
            ++result.identical;
        } else if (match == Match::Placement) {
            if (result.placement++ == 0)
                result.placementExample = found->first;
        } else if (match == Match::Indicators) {
            if (result.indicators++ == 0)
                result.indicatorsExample = found->first;
        } else if (result.differences.size() < kDifferencesShown) {
            result.differences.push_back("001 " + found->first + ": " + difference);
        }
        ourRecords.erase(found);
    }
    result.unmatched += ourRecords.size();
    return result;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t m = values.size() / 2;
    return values.size() % 2 ? values[m] : (values[m - 1] + values[m]) / 2;
}

struct Side {
    std::vector<double> wall;
    std::vector<double> cpu;
    bool ok = true;
};

struct SizeResult {
    std::size_t records = 0;
    Side ours;
    Side perl;
    bool checked = false;
};

std::vector<std::size_t> sizesFromEnvironment() {
    std::vector<std::size_t> sizes;
    if (const char* text = std::getenv("VELUMAR_BENCH_RECORDS")) {
        std::stringstream list(text);
        std::string item;
        while (std::getline(list, item, ','))
            if (const long n = std::atol(item.c_str()); n > 0)
                sizes.push_back(static_cast<std::size_t>(n));
    }
    if (sizes.empty())
        sizes = {10000, 100000};
    return sizes;
}

int runsFromEnvironment() {
    const char* text = std::getenv("VELUMAR_BENCH_RUNS");
    const int runs = text ? std::atoi(text) : 0;
    return runs > 0 ? runs : 3;
}

std::string loadAverage() {
    double load[3] = {};
    if (getloadavg(load, 3) != 3)
        return "unknown";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

void printCounts(const char* who, const Counts& c) {
    std::printf("  %-14s %8zu records, %zu malformed; with 245 %zu, with 590 %zu "
                "(\"Batch reviewed\" %zu), with 9XX %zu, 245 ind2 not 0 %zu\n",
                who, c.records, c.malformed, c.with245, c.with590, c.reviewed, c.with9xx,
                c.title2NotZero);
}

// Reads both outputs back and says whether they hold the same edits.
bool sanityCheck(const fs::path& input, const fs::path& ourFolder, const fs::path& perlOutput) {
    Counts in, ours, perl, discarded;
    bool readable = countFile(input, in);
    readable = countFile(ourFolder / "after.mrc", ours) && readable;
    readable = countFile(ourFolder / "unchanged.mrc", ours) && readable;
    readable = countFile(ourFolder / "deleted.mrc", discarded) && readable;
    readable = countFile(ourFolder / "error.mrc", discarded) && readable;
    readable = countFile(perlOutput, perl) && readable;

    std::printf(" check (ours = after.mrc + unchanged.mrc):\n");
    printCounts("input", in);
    printCounts("velumar-rules", ours);
    printCounts("perl", perl);
    if (discarded.records > 0)
        std::printf("  velumar-rules put %zu records in deleted.mrc or error.mrc\n",
                    discarded.records);

    const bool same = readable && ours.malformed == 0 && perl.malformed == 0 &&
                      ours.records == in.records && perl.records == in.records &&
                      ours.with590 == perl.with590 && ours.with590 == in.expected590 &&
                      ours.reviewed == perl.reviewed && ours.reviewed == in.with245 &&
                      ours.with9xx == 0 && perl.with9xx == 0 && ours.title2NotZero == 0 &&
                      perl.title2NotZero == 0 && discarded.records == 0;
    std::printf("  counts: %s (records, 590s and 9XXs as expected from the input)\n",
                same ? "PASS" : "FAIL");

    const Comparison c =
        compareOutputs({ourFolder / "after.mrc", ourFolder / "unchanged.mrc"}, perlOutput);
    const auto example = [](const std::string& id) { return id.empty() ? "-" : id.c_str(); };
    std::printf("  record by record: %zu paired, %zu unpaired\n"
                "    %zu identical\n"
                "    %zu identical but for where the 590 went (e.g. 001 %s)\n"
                "    %zu identical once malformed indicators are blanked as MARC::Record does "
                "(e.g. 001 %s)\n"
                "    %zu otherwise different\n",
                c.compared, c.unmatched, c.identical, c.placement, example(c.placementExample),
                c.indicators, example(c.indicatorsExample),
                c.compared - c.identical - c.placement - c.indicators);
    for (const std::string& difference : c.differences)
        std::printf("  differs (ours | perl): %.300s\n", difference.c_str());
    const bool paired = c.unmatched == 0 && c.compared == c.identical + c.placement + c.indicators;
    std::printf("  records: %s (every record paired, none otherwise different)\n",
                paired ? "PASS" : "FAIL");
    return same && paired;
}

} // namespace

int main() {
    const std::vector<std::size_t> sizes = sizesFromEnvironment();
    const int runs = runsFromEnvironment();
    const fs::path work =
        fs::temp_directory_path() / ("velumar_engine_bench_" + std::to_string(getpid()));
    fs::create_directories(work);

    std::printf("velumar-rules: %s\nperl script:   %s\nrules:         %s\n", VELUMAR_RULES,
                ENGINE_BENCH_PERL_SCRIPT, ENGINE_BENCH_RULES);
    std::printf("runs per case: %d; load average at start: %s\n", runs, loadAverage().c_str());

    std::vector<SizeResult> results;
    bool allChecked = true;
    for (const std::size_t size : sizes) {
        const fs::path input = work / ("input_" + std::to_string(size) + ".mrc");
        const auto file =
            velumar::bench::makeBenchFile(VELUMAR_MARC_DATA_DIR, input.string(), size);
        if (file.path.empty()) {
            std::fprintf(stderr, "no benchmark input from %s\n", VELUMAR_MARC_DATA_DIR);
            fs::remove_all(work);
            return 1;
        }
        std::size_t bytes = 0;
        const std::size_t dropped = dropRecordsPerlRefuses(input, bytes);
        const std::size_t records = file.records - dropped;
        std::printf("\n%zu records (%zu bytes; %zu distinct real records repeated, %zu copies of "
                    "records with a tag MARC::Record refuses left out)\n",
                    records, bytes, file.sources, dropped);

        SizeResult result;
        result.records = records;
        const fs::path ourFolder = work / ("ours_" + std::to_string(size));
        const fs::path perlOutput = work / ("perl_" + std::to_string(size) + ".mrc");
        const fs::path ourJson = work / "ours.json";
        const fs::path log = work / "stderr.txt";
        const std::vector<std::string> ourCommand = {VELUMAR_RULES,  "apply",
                                                     "--json",       ENGINE_BENCH_RULES,
                                                     input.string(), ourFolder.string()};
        const std::vector<std::string> perlCommand = {PERL, ENGINE_BENCH_PERL_SCRIPT,
                                                      input.string(), perlOutput.string()};

        for (int run = 0; run < runs; ++run) {
            // Alternate who goes first, so neither always meets a warmer cache.
            for (int turn = 0; turn < 2; ++turn) {
                const bool oursNow = (turn == 0) == (run % 2 == 0);
                Side& side = oursNow ? result.ours : result.perl;
                if (oursNow)
                    fs::remove_all(ourFolder);
                else
                    fs::remove(perlOutput);
                const Timing t = runChild(oursNow ? ourCommand : perlCommand,
                                          oursNow ? ourJson : work / "perl.out", log);
                std::printf("  run %d %-14s wall %8.3f s  cpu %8.3f s%s\n", run + 1,
                            oursNow ? "velumar-rules" : "perl", t.wall, t.cpu,
                            t.ok ? "" : "  FAILED");
                if (!t.ok) {
                    side.ok = false;
                    std::printf("  its stderr: %.500s\n", readText(log).c_str());
                }
                side.wall.push_back(t.wall);
                side.cpu.push_back(t.cpu);
            }
        }

        const auto summary = nlohmann::json::parse(readText(ourJson), nullptr, false);
        if (!summary.is_discarded() && summary.is_object())
            std::printf(" velumar-rules summary: %s\n", summary.dump().c_str());

        result.checked =
            result.ours.ok && result.perl.ok && sanityCheck(input, ourFolder, perlOutput);
        allChecked = allChecked && result.checked;
        results.push_back(result);
        fs::remove_all(ourFolder);
        fs::remove(perlOutput);
        fs::remove(input);
    }
    fs::remove_all(work);

    std::printf("\nrecords per second (median of %d runs; child processes, start-up included)\n",
                runs);
    std::printf("%9s | %13s %13s | %13s %13s | %8s %8s | %s\n", "records", "ours wall", "ours cpu",
                "perl wall", "perl cpu", "x wall", "x cpu", "check");
    for (const SizeResult& r : results) {
        const double n = static_cast<double>(r.records);
        const double ow = n / median(r.ours.wall), oc = n / median(r.ours.cpu);
        const double pw = n / median(r.perl.wall), pc = n / median(r.perl.cpu);
        std::printf("%9zu | %13.0f %13.0f | %13.0f %13.0f | %8.1f %8.1f | %s\n", r.records, ow, oc,
                    pw, pc, ow / pw, oc / pc, r.checked ? "same edits" : "FAILED");
    }
    std::printf("load average at end: %s\n", loadAverage().c_str());
    return allChecked ? 0 : 1;
}
