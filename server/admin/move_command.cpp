// orvane-server move: everything one server keeps, copied into a new, empty
// database (a SQLite file outgrown, into PostgreSQL for several servers).
#include "command.h"
#include "command_support.h"
#include "console.h"
#include "store/database_move.h"

#include <chrono>
#include <filesystem>
#include <iomanip>
#include <ostream>

namespace orvane::server {

namespace {

namespace fs = std::filesystem;

bool sameLocation(const std::string& from, const std::string& to) {
    if (isPostgresLocation(from) || isPostgresLocation(to))
        return from == to;
    std::error_code error;
    if (fs::weakly_canonical(from, error) == fs::weakly_canonical(to, error))
        return true;
    return fs::exists(to, error) && fs::equivalent(from, to, error);
}

// A SQLite file the move made is removed again when the move fails, with
// the files SQLite keeps beside it.
class NewFile {
public:
    explicit NewFile(const std::string& location)
        : path_(isPostgresLocation(location) || fs::exists(location) ? std::string() : location) {}
    ~NewFile() {
        if (path_.empty())
            return;
        std::error_code ignored;
        for (const char* suffix : {"", "-wal", "-shm", "-journal", "-writers"})
            fs::remove(path_ + suffix, ignored);
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    void keep() { path_.clear(); }

private:
    std::string path_;
};

void showProgress(Console& console, const MoveProgress& p) {
    if (!console.progressShown)
        return;
    console.err << '\r' << p.table << ": " << p.copied << " of " << p.total << " rows";
    if (p.copied == p.total)
        console.err << '\n';
    console.err << std::flush;
}

void move(const Arguments& args, Console& console) {
    const std::string from = args.required("db");
    const std::string to = args.required("to");
    if (sameLocation(from, to))
        throw UsageError("--db and --to name the same database; move into a new, empty one");
    requireExistingDatabase(from);

    const auto started = std::chrono::steady_clock::now();
    const auto source = openDatabase(from, Database::DefaultBusyTimeout);
    NewFile created(to);
    const auto target = openDatabase(to, Database::DefaultBusyTimeout);
    MoveOptions options;
    options.progress = [&console](const MoveProgress& p) { showProgress(console, p); };
    const MoveSummary summary = moveDatabase(*source, *target, options);
    created.keep();

    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::int64_t rows = 0;
    console.out << "moved " << printableLocation(from) << " (schema version " << summary.schemaVersion
                << ") to " << printableLocation(to)
                << (summary.schemaCreated ? ", its schema made first" : "") << ":\n";
    for (const auto& table : summary.tables) {
        console.out << "  " << std::left << std::setw(26) << table.name << std::right
                    << std::setw(10) << table.rows << " rows\n";
        rows += table.rows;
    }
    console.out << rows << " rows in " << summary.tables.size() << " tables, "
                << std::fixed << std::setprecision(1) << took.count() << " s\n";
    console.out << "not moved: sessions; operators log in again with the same passwords\n";
    if (!isPostgresLocation(from) && fs::exists(from + ".jobs"))
        console.out << "job logs and result files are not in the database: copy " << from
                    << ".jobs/ to DIR/orvane.jobs/ and start every server with --files DIR\n";
}

} // namespace

Command moveCommand() {
    return {.words = "move",
            .synopsis = "--db FILE|URL --to URL|FILE",
            .summary = "copy everything a server keeps (sessions aside) into a new, empty "
                       "database, such as a SQLite file into PostgreSQL",
            .options = {{"db"}, {"to"}},
            .takesWords = false,
            .run = move};
}

} // namespace orvane::server
