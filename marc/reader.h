#pragma once
// Reads ISO 2709 records one by one from a buffer or a stream of bytes, as
// views into the bytes. A malformed record is reported with its offset and
// reason and skipped; reading goes on with the next record: after the
// malformed one when its length can be trusted (its last byte is a record
// terminator, or it reaches the end of the input or a record that frames
// itself), else at the first record
// that frames itself (length ending on a record terminator, base address on a
// field terminator) before the next record terminator, else after that
// terminator. Blanks, line ends, NUL and SUB bytes between records are skipped
// (with a warning unless they end the input). In strict mode reading stops at
// the first error.

#include "marc/issue.h"
#include "marc/record_view.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace marc {

struct ReadOptions {
    bool strict = false;             // stop at the first malformed record
    std::size_t blockSize = 1 << 20; // bytes read at a time from a stream
};

class Reader {
public:
    // Reads records lying in `input`, which must outlive the reader and its views.
    explicit Reader(std::string_view input, ReadOptions options = {});
    // Refused for a temporary string: views would outlive its bytes.
    template <typename Bytes>
    requires std::is_same_v<Bytes, std::string>
    explicit Reader(Bytes&& input, ReadOptions options = {}) = delete;
    // Reads `input` block by block; a view lasts until the next call of next().
    explicit Reader(std::unique_ptr<std::istream> input, ReadOptions options = {});
    // Nothing when the file cannot be opened.
    static std::optional<Reader> openFile(const std::string& path, ReadOptions options = {});

    Reader(Reader&&) noexcept;
    Reader& operator=(Reader&&) noexcept;
    ~Reader();

    // The next well-formed record; nothing at the end of the input, or once
    // strict mode has met an error.
    std::optional<RecordView> next();

    // Errors and warnings met by the latest call of next(), in input order.
    const std::vector<Issue>& issues() const;

    std::size_t recordCount() const; // records delivered so far
    std::size_t errorCount() const;  // records or stretches skipped so far
    std::size_t warningCount() const;
    bool stopped() const;     // strict mode stopped at an error
    bool inputFailed() const; // the stream reported a read error

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace marc
