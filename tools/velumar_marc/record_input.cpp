#include "record_input.h"

#include "marc/mnemonic_reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace velumar::marctool {

bool isMnemonicPath(std::string_view path) {
    if (path.size() < 4)
        return false;
    std::string ext(path.substr(path.size() - 4));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".mrk";
}

namespace {

std::string openFailure(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return "cannot read " + path + ": it is a folder";
    return "cannot open " + path + ": " + std::strerror(errno);
}

template <typename ReaderType> void drain(ReaderType& reader, RecordSink& sink) {
    for (;;) {
        auto record = reader.next();
        for (const marc::Issue& issue : reader.issues())
            sink.issue(issue);
        if (!record)
            break;
        sink.record(*record);
    }
}

} // namespace

InputSummary readRecords(const std::string& path, marc::ReadOptions options, RecordSink& sink) {
    InputSummary summary;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        summary.failure = openFailure(path);
        return summary;
    }
    if (isMnemonicPath(path)) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            summary.failure = openFailure(path);
            return summary;
        }
        std::string text;
        char chunk[1 << 16];
        while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
            text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (in.bad()) {
            summary.failure = "cannot read " + path;
            return summary;
        }
        summary.opened = true;
        marc::MnemonicReader reader(text, options);
        drain(reader, sink);
        summary.records = reader.recordCount();
        summary.errors = reader.errorCount();
        return summary;
    }
    auto reader = marc::Reader::openFile(path, options);
    if (!reader) {
        summary.failure = openFailure(path);
        return summary;
    }
    summary.opened = true;
    drain(*reader, sink);
    summary.records = reader->recordCount();
    summary.errors = reader->errorCount();
    summary.warnings = reader->warningCount();
    if (reader->inputFailed())
        summary.failure = "reading " + path + " broke off";
    return summary;
}

} // namespace velumar::marctool
