// convert: reads one file and writes its well-formed records to another, each
// in the form its name gives (".mrk": the text form; anything else: ISO 2709).

#include "commands.h"
#include "marc/iso2709_writer.h"
#include "marc/mnemonic_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"
#include "record_input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace velumar::marctool {

namespace {

class ConvertSink : public RecordSink {
public:
    ConvertSink(const std::string& inPath, const std::string& outPath, std::ofstream& file,
                std::ostream& err)
        : inPath_(inPath), outPath_(outPath), mnemonic_(isMnemonicPath(outPath)), file_(file),
          err_(err) {}

    void record(const marc::RecordView& record) override { write(record); }
    void record(const marc::Record& record) override { write(record); }
    void issue(const marc::Issue& issue) override { reportIssue(err_, inPath_, issue); }

    void finish() { flush(); }
    std::size_t written() const { return written_; }
    std::size_t unwritable() const { return unwritable_; }

private:
    template <typename RecordLike> void write(const RecordLike& record) {
        ++seen_;
        if (mnemonic_) {
            marc::appendMnemonic(record, buffer_);
        } else if (auto reason = marc::appendIso2709(record, buffer_)) {
            ++unwritable_;
            err_ << "velumar-marc: " << outPath_ << ": record " << seen_
                 << " cannot be written: " << *reason << '\n';
            return;
        }
        ++written_;
        if (buffer_.size() > (1u << 20))
            flush();
    }

    void flush() {
        file_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

    const std::string& inPath_;
    const std::string& outPath_;
    bool mnemonic_;
    std::ofstream& file_;
    std::ostream& err_;
    std::string buffer_;
    std::size_t seen_ = 0;
    std::size_t written_ = 0;
    std::size_t unwritable_ = 0;
};

} // namespace

int runConvert(const std::string& inPath, const std::string& outPath, marc::ReadOptions options,
               std::ostream& out, std::ostream& err) {
    std::error_code ec;
    if (!std::ifstream(inPath, std::ios::binary) || std::filesystem::is_directory(inPath, ec)) {
        err << "velumar-marc: cannot read " << inPath << '\n';
        return ExitUnusable;
    }
    if (std::filesystem::exists(outPath, ec) && std::filesystem::equivalent(inPath, outPath, ec)) {
        err << "velumar-marc: " << outPath << " is the input file; write to another file\n";
        return ExitUnusable;
    }
    std::ofstream file(outPath, std::ios::binary | std::ios::trunc);
    if (!file) {
        err << "velumar-marc: cannot write " << outPath << ": " << std::strerror(errno) << '\n';
        return ExitUnusable;
    }
    ConvertSink sink(inPath, outPath, file, err);
    const InputSummary summary = readRecords(inPath, options, sink);
    sink.finish();
    file.close();
    if (!summary.opened || !summary.failure.empty()) {
        err << "velumar-marc: " << summary.failure << '\n';
        return ExitUnusable;
    }
    if (!file) {
        err << "velumar-marc: writing " << outPath << " failed\n";
        return ExitUnusable;
    }
    out << "wrote " << sink.written() << (sink.written() == 1 ? " record" : " records") << " to "
        << outPath;
    if (summary.errors > 0)
        out << "; skipped " << summary.errors << " malformed";
    if (sink.unwritable() > 0)
        out << "; " << sink.unwritable() << " too long for ISO 2709";
    out << '\n';
    return summary.errors > 0 || sink.unwritable() > 0 ? ExitMalformed : ExitOk;
}

} // namespace velumar::marctool
