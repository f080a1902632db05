// orvane-server jobs list|show|kill|log: the administrator's view of the job
// queue, on the database itself (a running server sees the kill at its next
// bulk).
#include "command.h"
#include "command_support.h"
#include "console.h"
#include "jobs/job_files.h"
#include "jobs/job_kinds.h"
#include "jobs/job_store.h"
#include "store/store.h"

#include <charconv>
#include <iomanip>
#include <ostream>

namespace orvane::server {

namespace {

constexpr std::string_view TypeNames[] = {"Scan",          "Data Change",         "Index Records",
                                          "Match",         "Auth Load Match",     "Auth Load Merge",
                                          "Auth Load Reconcile", "Auth Db Load"};
constexpr std::string_view StatusNames[] = {"Pending", "Running", "Done",  "Kill",
                                            "Killed",  "Failed",  "Paused"};

std::string_view nameIn(std::span<const std::string_view> names, std::int32_t code) {
    return code >= 0 && static_cast<std::size_t>(code) < names.size()
               ? names[static_cast<std::size_t>(code)]
               : std::string_view("?");
}

std::int32_t jobId(const Arguments& args) {
    if (args.words().size() != 1)
        throw UsageError("name one job id");
    const std::string& text = args.words().front();
    std::int32_t id = 0;
    const auto [at, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || at != text.data() + text.size() || id < 1)
        throw UsageError("not a job id: " + text);
    return id;
}

JobRow existingJob(Store& store, std::int32_t id) {
    auto job = JobStore(store.db()).find(id);
    if (!job)
        throw std::runtime_error("there is no job " + std::to_string(id));
    return *job;
}

void listJobs(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    JobStore jobs(store->db());
    auto print = [&](const JobRow& j) {
        console.out << std::setw(6) << j.id << "  " << std::left << std::setw(8)
                    << nameIn(StatusNames, j.status) << std::setw(20) << nameIn(TypeNames, j.type)
                    << std::setw(21) << (j.actualStart.empty() ? j.scheduledStart : j.actualStart)
                    << std::right << std::setw(8) << j.recordsProcessed << "/" << std::left
                    << std::setw(8) << j.recordsToProcess << std::right << j.name << '\n';
    };
    for (const JobRow& j : jobs.pending())
        print(j);
    for (const JobRow& j : jobs.started())
        print(j);
}

void showJob(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    const JobRow j = existingJob(*store, jobId(args));
    const JobFiles files(store->path(), j.id);
    std::ostream& out = console.out;
    out << "Job " << j.id << ": " << j.name << '\n'
        << "  type:          " << nameIn(TypeNames, j.type) << '\n'
        << "  status:        " << nameIn(StatusNames, j.status) << '\n'
        << "  operator:      " << j.operatorId << '\n'
        << "  scheduled:     " << (j.scheduledStart.empty() ? "at once" : j.scheduledStart) << '\n'
        << "  started:       " << j.actualStart << '\n'
        << "  ended:         " << j.finishedAt << '\n'
        << "  records:       " << j.recordsProcessed << " of " << j.recordsToProcess << ", "
        << j.errorCount << " in error, " << j.recordsDeleted << " deleted, bulk "
        << j.currentBulk << '\n'
        << "  folder:        " << files.folder().string() << '\n';
    for (const JobResultFileEntry& f : files.results())
        out << "  result file:   " << f.name << '\n';
}

void killJob(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    const JobRow j = existingJob(*store, jobId(args));
    if (!JobStore(store->db()).requestKill(j.id))
        throw std::runtime_error("job " + std::to_string(j.id) + " is not running (" +
                                 std::string(nameIn(StatusNames, j.status)) + ")");
    console.out << "job " << j.id << " will stop after its current bulk\n";
}

void printLog(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    const JobRow j = existingJob(*store, jobId(args));
    const auto text = JobFiles::read(JobFiles(store->path(), j.id).log());
    if (!text)
        throw std::runtime_error("job " + std::to_string(j.id) + " has no log");
    console.out << *text;
}

} // namespace

std::vector<Command> jobCommands() {
    return {
        {.words = "jobs list",
         .synopsis = "--db FILE|URL [--files DIR]",
         .summary = "every job: id, status, type, start, records done of all, name",
         .options = {{"db"}, {"files"}},
         .takesWords = false,
         .run = listJobs},
        {.words = "jobs show",
         .synopsis = "--db FILE|URL [--files DIR] ID",
         .summary = "one job's parameters, counters, folder and result files",
         .options = {{"db"}, {"files"}},
         .takesWords = true,
         .run = showJob},
        {.words = "jobs kill",
         .synopsis = "--db FILE|URL [--files DIR] ID",
         .summary = "stop a running job after its current bulk",
         .options = {{"db"}, {"files"}},
         .takesWords = true,
         .run = killJob},
        {.words = "jobs log",
         .synopsis = "--db FILE|URL [--files DIR] ID",
         .summary = "print a job's log",
         .options = {{"db"}, {"files"}},
         .takesWords = true,
         .run = printLog},
    };
}

} // namespace orvane::server
