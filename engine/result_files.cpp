#include "result_files.h"

#include "marc/record_view.h"

namespace engine {

namespace {

void writeBytes(std::ofstream& out, std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

std::unique_ptr<ResultFiles> ResultFiles::open(const std::filesystem::path& folder,
                                               GroupKind kind, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) {
        error = "cannot make the folder " + folder.string() +
                (ec ? ": " + ec.message() : std::string());
        return nullptr;
    }
    std::unique_ptr<ResultFiles> files(new ResultFiles);
    files->kind_ = kind;
    std::vector<std::string_view> names;
    if (kind == GroupKind::Scan)
        names = {kIncludedFile};
    else
        names = {kBeforeFile, kAfterFile, kDeletedFile, kUnchangedFile, kErrorFile};
    for (const std::string_view name : names) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot write " + (folder / name).string();
            return nullptr;
        }
        files->files_.emplace_back(name, std::move(out));
    }
    files->log_.open(folder / kLogFile, std::ios::binary | std::ios::trunc);
    if (!files->log_) {
        error = "cannot write " + (folder / kLogFile).string();
        return nullptr;
    }
    return files;
}

std::ofstream& ResultFiles::file(std::string_view name) {
    for (auto& [n, out] : files_)
        if (n == name)
            return out;
    return files_.front().second;
}

void ResultFiles::record(std::size_t number, std::string_view original,
                         const RecordOutcome& outcome) {
    if (kind_ == GroupKind::Scan) {
        if (outcome.included)
            writeBytes(file(kIncludedFile), original);
    } else {
        switch (outcome.outcome) {
        case Outcome::Changed:
            writeBytes(file(kBeforeFile), original);
            writeBytes(file(kAfterFile), outcome.record);
            break;
        case Outcome::Unchanged:
            writeBytes(file(kUnchangedFile), original);
            break;
        case Outcome::Deleted:
            writeBytes(file(kDeletedFile), original);
            break;
        case Outcome::Error:
            writeBytes(file(kErrorFile), original);
            break;
        }
    }
    log_ << "record " << number;
    if (const std::string_view id = controlNumber(original); !id.empty())
        log_ << " (001 " << id << ")";
    log_ << ": ";
    if (kind_ == GroupKind::Scan)
        log_ << (outcome.included ? "included" : "not included");
    else
        log_ << toString(outcome.outcome);
    if (!outcome.firedRules.empty()) {
        log_ << "; rules fired: ";
        for (std::size_t i = 0; i < outcome.firedRules.size(); ++i)
            log_ << (i ? ", " : "") << outcome.firedRules[i];
    }
    for (const std::string& message : outcome.messages)
        log_ << "; " << message;
    log_ << "\n";
}

void ResultFiles::malformed(std::string_view description) {
    log_ << "malformed record skipped: " << description << "\n";
}

void ResultFiles::compileFailure(const std::vector<std::string>& errors) {
    log_ << "Rule failed to compile.\n";
    for (const std::string& e : errors)
        log_ << "  " << e << "\n";
}

void ResultFiles::note(std::string_view line) {
    log_ << line << "\n";
}

bool ResultFiles::finish(const RunSummary& summary) {
    log_ << "\nRecords: " << summary.records << "\n";
    if (kind_ == GroupKind::Scan) {
        log_ << "Included: " << summary.included << "\n";
    } else {
        for (const Outcome o :
             {Outcome::Changed, Outcome::Unchanged, Outcome::Deleted, Outcome::Error})
            log_ << toString(o) << ": " << summary.count(o) << "\n";
    }
    log_ << "malformed: " << summary.malformed << "\n";
    if (!summary.fired.empty()) {
        log_ << "Rules fired:\n";
        for (const auto& [name, count] : summary.fired)
            log_ << "  " << name << ": " << count << "\n";
    }
    bool ok = true;
    for (auto& [name, out] : files_) {
        out.close();
        ok = ok && !out.fail();
    }
    log_.close();
    return ok && !log_.fail();
}

std::string_view controlNumber(std::string_view iso2709) {
    const marc::ParseResult parsed = marc::parseRecord(iso2709);
    if (!parsed.record)
        return {};
    const auto field = parsed.record->findField("001");
    return field ? field->value() : std::string_view{};
}

} // namespace engine
