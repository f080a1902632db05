// orvane-server catalogue import|export|reindex: loading, writing out and
// re-indexing the catalogue's records.
#include "catalogue/catalogue_export.h"
#include "catalogue/catalogue_import.h"
#include "catalogue/catalogue_reindex.h"
#include "command.h"
#include "command_support.h"
#include "console.h"
#include "store/store.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::server {

namespace {

constexpr std::size_t RejectionsListed = 50;

RecordKind kindOption(const std::string& value) {
    const auto kind = recordKindFromName(value);
    if (!kind)
        throw UsageError("--type must be bib, holdings or auth, not " + value);
    return *kind;
}

void importFiles(const Arguments& args, Console& console) {
    if (args.words().empty())
        throw UsageError("name at least one MARC file to import");
    auto store = openExistingStore(args);
    ImportOptions options;
    if (const auto type = args.value("type"))
        options.kind = kindOption(*type);
    if (console.progressShown)
        options.progress = [&console](const ImportProgress& p) {
            const std::size_t percent = p.fileBytes ? p.bytesRead * 100 / p.fileBytes : 100;
            console.err << '\r' << p.file << ": " << percent << "% (" << p.records << " records)"
                        << std::flush;
        };

    ImportSummary summary;
    for (const std::string& file : args.words()) {
        importFile(store->db(), file, options, summary);
        if (console.progressShown)
            console.err << '\n';
    }
    console.out << "added " << summary.added << ", replaced " << summary.replaced << ", rejected "
                << summary.rejected.size() << '\n';
    for (std::size_t i = 0; i < summary.rejected.size() && i < RejectionsListed; ++i) {
        const auto& r = summary.rejected[i];
        console.out << "  rejected " << r.file << " at offset " << r.offset << ": " << r.reason
                    << '\n';
    }
    if (summary.rejected.size() > RejectionsListed)
        console.out << "  ... and " << summary.rejected.size() - RejectionsListed << " more\n";
}

std::vector<std::int32_t> readIds(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<std::int32_t> ids;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        const auto last = line.find_last_not_of(" \t\r");
        std::int32_t id = 0;
        const char* end = line.data() + last + 1;
        const auto [at, error] = std::from_chars(line.data() + first, end, id);
        if (error != std::errc() || at != end || id < 1)
            throw std::runtime_error(path + " line " + std::to_string(number) +
                                     ": not a record id: " + line);
        ids.push_back(id);
    }
    return ids;
}

// An output that is the database, or a file SQLite keeps beside it, under
// any name (relative, through a link), would be truncated under the reader.
void refuseDatabaseFiles(const std::string& output, const std::string& database) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path out = fs::weakly_canonical(output, error);
    const std::string db = fs::weakly_canonical(database, error).string();
    for (const char* suffix : {"", "-wal", "-shm", "-journal", "-writers"}) {
        const fs::path companion = db + suffix;
        const bool same = out == companion ||
                          (fs::exists(output, error) && fs::exists(companion, error) &&
                           fs::equivalent(output, companion, error));
        if (same)
            throw UsageError(output + " is the database " + database +
                             " or one of its files; write the export elsewhere");
    }
}

// Written beside the output and renamed over it once complete, so the name
// never holds half an export and a file of another name is never written into.
class OutputFile {
public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {
        std::string pattern = path_ + ".part-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw std::runtime_error("cannot write " + path_);
        // mkstemp makes the file private; an export is an ordinary file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        ::close(fd);
        temporary_ = pattern;
        stream_.open(temporary_, std::ios::binary | std::ios::trunc);
        if (!stream_)
            throw std::runtime_error("cannot write " + path_);
    }
    ~OutputFile() {
        if (!temporary_.empty())
            std::remove(temporary_.c_str());
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::ostream& stream() { return stream_; }
    void commit() {
        stream_.close();
        if (!stream_ || std::rename(temporary_.c_str(), path_.c_str()) != 0)
            throw std::runtime_error("writing " + path_ + " failed");
        temporary_.clear();
    }

private:
    std::string path_;
    std::string temporary_;
    std::ofstream stream_;
};

void exportFile(const Arguments& args, Console& console) {
    if (args.words().size() != 1)
        throw UsageError("name one output file");
    const RecordKind kind = kindOption(args.required("type"));
    const std::string& path = args.words().front();
    refuseDatabaseFiles(path, args.required("db"));
    auto store = openExistingStore(args);
    std::optional<std::vector<std::int32_t>> ids;
    if (const auto file = args.value("ids"))
        ids = readIds(*file);
    OutputFile out(path);
    const ExportSummary summary = exportRecords(store->db(), kind, ids, out.stream());
    out.commit();
    console.out << "wrote " << summary.written << ' ' << nameOf(kind) << " records to " << path
                << '\n';
    for (const std::int32_t id : summary.missing)
        console.out << "  no " << nameOf(kind) << " record " << id << '\n';
}

void reindex(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    std::function<void(std::size_t)> progress;
    if (console.progressShown)
        progress = [&console](std::size_t done) {
            console.err << "\rreindexed " << done << " records" << std::flush;
        };
    const std::size_t done = reindexCatalogue(store->db(), 1000, progress);
    if (console.progressShown)
        console.err << '\n';
    console.out << "reindexed " << done << " records\n";
}

} // namespace

std::vector<Command> catalogueCommands() {
    return {
        {.words = "catalogue import",
         .synopsis = "--db FILE [--type bib|holdings|auth] MARCFILE...",
         .summary = "load ISO 2709 records into the catalogue; report added, replaced, rejected",
         .options = {{"db"}, {"type"}},
         .takesWords = true,
         .run = importFiles},
        {.words = "catalogue export",
         .synopsis = "--db FILE --type bib|holdings|auth [--ids IDFILE] OUT.mrc",
         .summary = "write records of one kind (all, or the ids listed) to an ISO 2709 file",
         .options = {{"db"}, {"type"}, {"ids"}},
         .takesWords = true,
         .run = exportFile},
        {.words = "catalogue reindex",
         .synopsis = "--db FILE",
         .summary = "rebuild every record's search index entries",
         .options = {{"db"}},
         .takesWords = false,
         .run = reindex},
    };
}

} // namespace orvane::server
