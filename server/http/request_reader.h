#pragma once
// Reads one HTTP/1.1 request at a time from bytes as they arrive: the head,
// then (once the caller has said how much it accepts) a body framed by
// Content-Length or chunked. Nothing beyond the limits is ever kept, so an
// oversized or malformed request fails as soon as it shows itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::server {

struct HttpHead {
    std::string method;
    std::string target;
    std::string version; // "HTTP/1.1"
    // Names in lower case, values with surrounding blanks removed.
    std::vector<std::pair<std::string, std::string>> headers;

    // The first value of a header, or nullptr.
    const std::string* find(std::string_view name) const;
    std::size_t count(std::string_view name) const;
};

class RequestReader {
public:
    enum class State {
        Head,     // waiting for the rest of the head
        HeadDone, // head read: call startBody() or fail()
        Body,     // waiting for the rest of the body
        Complete, // head and body read: take them, then next()
        Failed,   // errorStatus() and error() say why; the connection must close
    };
    enum class Framing { Length, Chunked };

    RequestReader(std::size_t maxHeadBytes, std::size_t maxHeaders);

    // Takes bytes as they arrive and reads as far as they allow.
    void feed(std::string_view bytes);
    // After HeadDone: how the body is framed (`length` for Framing::Length)
    // and the most it may hold; over that the request fails with
    // `overStatus` and `overWhy`.
    void startBody(Framing framing, std::uint64_t length, std::size_t maxBody,
                   int overStatus = 413,
                   std::string overWhy = "the request body is larger than the server accepts");
    // Refuses the request being read with an HTTP status.
    void fail(int status, std::string why);

    State state() const { return state_; }
    const HttpHead& head() const { return head_; }
    std::string takeBody() { return std::move(body_); }
    int errorStatus() const { return errorStatus_; }
    const std::string& error() const { return error_; }
    // True once any byte of the current request has come.
    bool started() const { return started_; }
    // Forgets the request just taken; bytes that came after it stay.
    void next();

private:
    void advance();
    void readHead();
    bool readChunked();
    bool parseHead(std::string_view text);

    std::size_t maxHeadBytes_;
    std::size_t maxHeaders_;
    State state_ = State::Head;
    std::string buffer_; // received and not yet consumed
    std::size_t headScanned_ = 0; // of buffer_, lines before this have no end of head
    HttpHead head_;
    std::string body_;
    Framing framing_ = Framing::Length;
    std::uint64_t remaining_ = 0; // of the body, or of the current chunk
    std::size_t maxBody_ = 0;
    int overStatus_ = 413;
    std::string overWhy_;
    enum class ChunkStep { Size, Data, DataEnd, Trailer } chunkStep_ = ChunkStep::Size;
    int errorStatus_ = 0;
    std::string error_;
    bool started_ = false;
};

} // namespace orvane::server
