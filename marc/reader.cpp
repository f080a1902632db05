#include "marc/reader.h"

#include "marc/detail/digits.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>

namespace marc {

namespace {

bool isPadding(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\0' || c == '\x1A';
}

std::string number(std::size_t n) {
    return std::to_string(n);
}

} // namespace

struct Reader::State {
    ReadOptions options;
    // The window of input bytes: the caller's buffer, or `buffer` for a stream.
    const char* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;  // next unread byte in the window
    std::size_t base = 0; // input offset of data[0]
    bool atEnd = true;    // nothing more to read beyond the window
    std::unique_ptr<std::istream> stream;
    std::vector<char> buffer;
    bool streamFailed = false;

    std::vector<Issue> issues;
    std::size_t records = 0;
    std::size_t errors = 0;
    std::size_t warnings = 0;
    bool stopped = false;

    std::size_t available() const { return size - pos; }
    std::size_t inputOffset() const { return base + pos; }

    // Makes at least `want` bytes from pos available, or all that remain.
    void fill(std::size_t want) {
        if (available() >= want || atEnd)
            return;
        if (pos > 0) {
            std::memmove(buffer.data(), buffer.data() + pos, available());
            base += pos;
            size -= pos;
            pos = 0;
        }
        if (buffer.size() < want)
            buffer.resize(std::max(want, buffer.size() * 2));
        while (size < want && !atEnd) {
            stream->read(buffer.data() + size, static_cast<std::streamsize>(buffer.size() - size));
            const auto got = static_cast<std::size_t>(stream->gcount());
            size += got;
            if (got == 0 || !*stream) {
                atEnd = true;
                streamFailed = stream->bad();
            }
        }
        data = buffer.data();
    }

    // Offset from pos of the next record terminator; nothing when none remains.
    std::optional<std::size_t> findTerminator() {
        std::size_t from = 0;
        for (;;) {
            const auto* hit = static_cast<const char*>(
                std::memchr(data + pos + from, RecordTerminator, available() - from));
            if (hit)
                return static_cast<std::size_t>(hit - (data + pos));
            if (atEnd)
                return std::nullopt;
            from = available();
            fill(available() + options.blockSize);
        }
    }

    void report(Issue issue) {
        if (issue.severity == Severity::Error)
            ++errors;
        else
            ++warnings;
        issues.push_back(std::move(issue));
    }

    // Skips padding; true when a record may follow.
    bool skipPadding() {
        const std::size_t start = inputOffset();
        for (;;) {
            fill(1);
            if (available() == 0)
                return false; // padding at the end of the input is no news
            if (!isPadding(data[pos]))
                break;
            ++pos;
        }
        const std::size_t skipped = inputOffset() - start;
        if (skipped > 0)
            report({Severity::Warning, IssueKind::SkippedPadding, start, start, skipped, 0,
                    "skipped " + number(skipped) + " blank or control bytes between records"});
        return true;
    }

    // The length of a record whose bounds its length field gives, or nothing when
    // the length cannot be trusted: it must end on a record terminator, at the end
    // of the input, or where another record that frames itself begins.
    std::optional<std::size_t> trustedLength(std::optional<std::size_t> length) {
        if (!length || *length < MinRecordLength)
            return std::nullopt;
        fill(*length);
        if (available() < *length)
            return std::nullopt;
        if (data[pos + *length - 1] == RecordTerminator)
            return length;
        fill(*length + 1);
        if (available() == *length || recordStartsAt(*length))
            return length;
        return std::nullopt;
    }

    // True when a record that frames itself begins `at` bytes past pos: its length
    // ends on a record terminator and its base address on a field terminator.
    bool recordStartsAt(std::size_t at) {
        fill(at + 5);
        if (available() < at + 5)
            return false;
        const auto length = detail::readDigits(data + pos + at, 5);
        if (!length || *length < MinRecordLength)
            return false;
        fill(at + *length);
        if (available() < at + *length)
            return false;
        const char* r = data + pos + at;
        const auto dataBase = detail::readDigits(r + 12, 5);
        return r[*length - 1] == RecordTerminator && dataBase && *dataBase > LeaderLength &&
               *dataBase < *length && r[*dataBase - 1] == FieldTerminator;
    }

    // Skips a stretch whose length cannot be trusted, reporting why: up to the
    // first record that frames itself, or else past the next record terminator.
    void skipUntrusted(std::optional<std::size_t> length) {
        const std::size_t at = inputOffset();
        std::string reason;
        IssueKind kind;
        if (!length) {
            kind = IssueKind::BadRecordLength;
            reason = "record length " +
                     detail::quoted(
                         std::string_view(data + pos, std::min<std::size_t>(5, available()))) +
                     " is not five digits";
        } else if (*length < MinRecordLength) {
            kind = IssueKind::RecordTooShort;
            reason = "record length " + number(*length) + " is less than " +
                     number(MinRecordLength) + ", the size of the smallest record";
        } else if (available() < *length) {
            kind = IssueKind::TruncatedRecord;
            reason = "record length " + number(*length) + " runs past the end of the input, " +
                     number(available()) + " bytes on";
        } else {
            kind = IssueKind::MissingRecordTerminator;
            reason = "record length " + number(*length) + " does not end at a record terminator";
        }
        const auto terminator = findTerminator();
        std::size_t skip = terminator ? *terminator + 1 : available();
        std::size_t nextRecord = 0;
        for (std::size_t q = 1; q < skip && nextRecord == 0; ++q)
            if (recordStartsAt(q))
                nextRecord = q;
        if (nextRecord != 0) {
            skip = nextRecord;
            reason += "; skipped " + number(skip) + " bytes to the next record, at offset " +
                      number(at + skip);
        } else if (terminator) {
            reason += "; skipped to the record terminator at offset " + number(at + *terminator) +
                      " (" + number(skip) + " bytes)";
        } else {
            reason += "; no record terminator follows, so the remaining " + number(skip) +
                      " bytes are skipped";
        }
        report({Severity::Error, kind, at, at, skip, 0, std::move(reason)});
        pos += skip;
    }

    std::optional<RecordView> next() {
        issues.clear();
        while (!stopped && skipPadding()) {
            fill(5);
            const auto length = available() >= 5 ? detail::readDigits(data + pos, 5) : std::nullopt;
            const auto trusted = trustedLength(length);
            if (!trusted) {
                skipUntrusted(length);
            } else {
                const std::size_t at = inputOffset();
                ParseResult parsed = parseRecord(std::string_view(data + pos, *trusted), at);
                pos += *trusted;
                if (parsed.record) {
                    for (Issue& w : parsed.warnings)
                        report(std::move(w));
                    ++records;
                    return parsed.record;
                }
                report(std::move(*parsed.error));
            }
            if (options.strict)
                stopped = true;
        }
        return std::nullopt;
    }
};

Reader::Reader(std::string_view input, ReadOptions options) : state_(std::make_unique<State>()) {
    state_->options = options;
    state_->data = input.data();
    state_->size = input.size();
}

Reader::Reader(std::unique_ptr<std::istream> input, ReadOptions options)
    : state_(std::make_unique<State>()) {
    state_->options = options;
    state_->options.blockSize = std::max<std::size_t>(options.blockSize, 1);
    state_->stream = std::move(input);
    state_->atEnd = false;
    state_->buffer.resize(state_->options.blockSize);
    state_->data = state_->buffer.data();
}

std::optional<Reader> Reader::openFile(const std::string& path, ReadOptions options) {
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!file->is_open())
        return std::nullopt;
    return Reader(std::move(file), options);
}

Reader::Reader(Reader&&) noexcept = default;
Reader& Reader::operator=(Reader&&) noexcept = default;
Reader::~Reader() = default;

std::optional<RecordView> Reader::next() {
    return state_->next();
}
const std::vector<Issue>& Reader::issues() const {
    return state_->issues;
}
std::size_t Reader::recordCount() const {
    return state_->records;
}
std::size_t Reader::errorCount() const {
    return state_->errors;
}
std::size_t Reader::warningCount() const {
    return state_->warnings;
}
bool Reader::stopped() const {
    return state_->stopped;
}
bool Reader::inputFailed() const {
    return state_->streamFailed;
}

} // namespace marc
