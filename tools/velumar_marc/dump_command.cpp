// dump: every record of a file on standard output, as a listing with a heading
// per record, in the text form, or as a JSON array.

#include "commands.h"
#include "json_form.h"
#include "marc/mnemonic_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"
#include "record_input.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace velumar::marctool {

namespace {

class DumpSink : public RecordSink {
public:
    DumpSink(DumpFormat format, const std::string& path, std::ostream& out, std::ostream& err)
        : format_(format), path_(path), out_(out), err_(err) {}

    void record(const marc::RecordView& record) override {
        write(record, record.leader(), record.fieldCount(),
              " at offset " + std::to_string(record.offset()));
    }
    void record(const marc::Record& record) override {
        write(record, record.leader().text(), record.fields().size(), std::string());
    }
    void issue(const marc::Issue& issue) override {
        flush();
        reportIssue(err_, path_, issue);
    }

    void finish() {
        if (format_ == DumpFormat::Json)
            buffer_ += count_ == 0 ? "[]\n" : "\n]\n";
        flush();
    }

private:
    template <typename RecordLike>
    void write(const RecordLike& record, std::string_view leader, std::size_t fields,
               const std::string& where) {
        ++count_;
        switch (format_) {
        case DumpFormat::Listing:
            buffer_ += "# record " + std::to_string(count_) + where + ": " +
                       std::string(marc::toString(marc::recordTypeOf(leader))) + " (leader 06 \"" +
                       leader[6] + "\"), " +
                       std::string(marc::toString(marc::characterCodingOf(leader))) +
                       " (leader 09 \"" + leader[9] + "\"), " + std::to_string(fields) +
                       (fields == 1 ? " field\n" : " fields\n");
            marc::appendMnemonic(record, buffer_);
            break;
        case DumpFormat::Mnemonic:
            marc::appendMnemonic(record, buffer_);
            break;
        case DumpFormat::Json:
            buffer_ += count_ == 1 ? "[\n" : ",\n";
            buffer_ +=
                toJson(record).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
            break;
        }
        if (buffer_.size() > (1u << 20))
            flush();
    }

    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        out_.flush();
        buffer_.clear();
    }

    DumpFormat format_;
    const std::string& path_;
    std::ostream& out_;
    std::ostream& err_;
    std::string buffer_;
    std::size_t count_ = 0;
};

} // namespace

int runDump(const std::string& path, DumpFormat format, marc::ReadOptions options,
            std::ostream& out, std::ostream& err) {
    DumpSink sink(format, path, out, err);
    const InputSummary summary = readRecords(path, options, sink);
    if (!summary.opened) {
        err << "velumar-marc: " << summary.failure << '\n';
        return ExitUnusable;
    }
    sink.finish();
    if (!summary.failure.empty()) {
        err << "velumar-marc: " << summary.failure << '\n';
        return ExitUnusable;
    }
    return summary.errors > 0 ? ExitMalformed : ExitOk;
}

} // namespace velumar::marctool
