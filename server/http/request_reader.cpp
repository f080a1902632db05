#include "request_reader.h"

#include <algorithm>
#include <cctype>

namespace orvane::server {

namespace {

// Characters of a header name (RFC 9110 token).
bool isTokenChar(unsigned char c) {
    return std::isalnum(c) || std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) !=
                                  std::string_view::npos;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// A line without its CR LF (or bare LF).
std::string_view withoutEol(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

constexpr std::size_t MaxChunkLine = 1024;

} // namespace

const std::string* HttpHead::find(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (key == name)
            return &value;
    return nullptr;
}

std::size_t HttpHead::count(std::string_view name) const {
    return static_cast<std::size_t>(std::count_if(
        headers.begin(), headers.end(), [&](const auto& h) { return h.first == name; }));
}

RequestReader::RequestReader(std::size_t maxHeadBytes, std::size_t maxHeaders)
    : maxHeadBytes_(maxHeadBytes), maxHeaders_(maxHeaders) {}

void RequestReader::feed(std::string_view bytes) {
    if (state_ == State::Failed || bytes.empty())
        return;
    started_ = true;
    buffer_.append(bytes);
    advance();
}

void RequestReader::startBody(Framing framing, std::uint64_t length, std::size_t maxBody,
                              int overStatus, std::string overWhy) {
    if (state_ != State::HeadDone)
        return;
    framing_ = framing;
    maxBody_ = maxBody;
    overStatus_ = overStatus;
    overWhy_ = std::move(overWhy);
    if (framing == Framing::Length && length > maxBody) {
        fail(overStatus_, overWhy_);
        return;
    }
    remaining_ = framing == Framing::Length ? length : 0;
    // The body's whole length at once, so it is never held twice while growing.
    if (framing == Framing::Length)
        body_.reserve(static_cast<std::size_t>(length));
    chunkStep_ = ChunkStep::Size;
    state_ = State::Body;
    advance();
}

void RequestReader::fail(int status, std::string why) {
    state_ = State::Failed;
    headScanned_ = 0;
    errorStatus_ = status;
    error_ = std::move(why);
    buffer_.clear();
    body_.clear();
}

void RequestReader::next() {
    head_ = {};
    body_.clear();
    state_ = State::Head;
    started_ = !buffer_.empty();
    advance();
}

void RequestReader::advance() {
    if (state_ == State::Head)
        readHead();
    if (state_ != State::Body)
        return;
    if (framing_ == Framing::Length) {
        const auto take =
            static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, buffer_.size()));
        body_.append(buffer_, 0, take);
        buffer_.erase(0, take);
        remaining_ -= take;
        if (remaining_ == 0)
            state_ = State::Complete;
        return;
    }
    if (readChunked())
        state_ = State::Complete;
}

// Reads the head once its empty line has come. Lines already looked at are
// not scanned again, so a head sent an octet at a time costs no more than one
// sent whole.
void RequestReader::readHead() {
    // Empty lines before a request line are tolerated (a client's stray CR LF).
    std::size_t start = 0;
    while (start < buffer_.size() && (buffer_[start] == '\r' || buffer_[start] == '\n'))
        ++start;
    std::size_t at = std::max(start, headScanned_);
    while (true) {
        const auto eol = buffer_.find('\n', at);
        if (eol == std::string::npos) {
            headScanned_ = at;
            if (buffer_.size() - start > maxHeadBytes_)
                fail(431, "the request head is larger than the server accepts");
            return;
        }
        if (eol + 1 - start > maxHeadBytes_) {
            fail(431, "the request head is larger than the server accepts");
            return;
        }
        const std::string_view line =
            withoutEol(std::string_view(buffer_).substr(at, eol + 1 - at));
        at = eol + 1;
        if (line.empty())
            break;
    }
    if (!parseHead(std::string_view(buffer_).substr(start, at - start)))
        return;
    buffer_.erase(0, at);
    headScanned_ = 0;
    state_ = State::HeadDone;
}

bool RequestReader::parseHead(std::string_view text) {
    std::size_t at = 0;
    const auto nextLine = [&]() {
        const auto eol = text.find('\n', at);
        const std::string_view line = withoutEol(text.substr(at, eol + 1 - at));
        at = eol + 1;
        return line;
    };
    const std::string_view requestLine = nextLine();
    const auto firstSpace = requestLine.find(' ');
    const auto lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace) {
        fail(400, "the request line is not METHOD TARGET VERSION");
        return false;
    }
    head_.method = requestLine.substr(0, firstSpace);
    head_.target = requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    head_.version = requestLine.substr(lastSpace + 1);
    if (head_.method.empty() || head_.target.empty() ||
        head_.version.substr(0, 5) != "HTTP/") {
        fail(400, "the request line is not METHOD TARGET VERSION");
        return false;
    }
    if (head_.version != "HTTP/1.1" && head_.version != "HTTP/1.0") {
        fail(505, "only versions 1.1 and 1.0 of HTTP are served");
        return false;
    }
    while (at < text.size()) {
        const std::string_view line = nextLine();
        if (line.empty())
            break;
        if (line.front() == ' ' || line.front() == '\t') {
            fail(400, "folded header lines are not accepted");
            return false;
        }
        const auto colon = line.find(':');
        const std::string_view name = line.substr(0, colon);
        if (colon == std::string_view::npos || name.empty() ||
            !std::all_of(name.begin(), name.end(),
                         [](char c) { return isTokenChar(static_cast<unsigned char>(c)); })) {
            fail(400, "a header line is not NAME: VALUE");
            return false;
        }
        const std::string_view value = trimBlanks(line.substr(colon + 1));
        if (value.find('\0') != std::string_view::npos || value.find('\r') != std::string_view::npos) {
            fail(400, "a header value holds a control character");
            return false;
        }
        if (head_.headers.size() >= maxHeaders_) {
            fail(431, "the request has more header lines than the server accepts");
            return false;
        }
        head_.headers.emplace_back(lower(name), std::string(value));
    }
    return true;
}

// True when the last chunk and the trailers have been read.
bool RequestReader::readChunked() {
    std::size_t at = 0;
    bool done = false;
    while (!done && state_ == State::Body) {
        if (chunkStep_ == ChunkStep::Data) {
            const auto take =
                static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, buffer_.size() - at));
            // Grown by doubling, but never past the most the body may hold.
            if (body_.size() + take > body_.capacity())
                body_.reserve(std::min(maxBody_, std::max(body_.capacity() * 2, body_.size() + take)));
            body_.append(buffer_, at, take);
            at += take;
            remaining_ -= take;
            if (remaining_ > 0)
                break;
            chunkStep_ = ChunkStep::DataEnd;
            continue;
        }
        const auto eol = buffer_.find('\n', at);
        if (eol == std::string::npos) {
            if (buffer_.size() - at > MaxChunkLine)
                fail(400, "a chunk size line is too long");
            break;
        }
        const std::string_view line =
            withoutEol(std::string_view(buffer_).substr(at, eol + 1 - at));
        at = eol + 1;
        switch (chunkStep_) {
        case ChunkStep::Size: {
            const std::string_view digits = trimBlanks(line.substr(0, line.find(';')));
            std::uint64_t size = 0;
            if (digits.empty() || digits.size() > 16) {
                fail(400, "a chunk size is not a hexadecimal number");
                break;
            }
            for (const char c : digits) {
                const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                              : (c >= 'a' && c <= 'f')                     ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F')                     ? c - 'A' + 10
                                                                           : -1;
                if (d < 0) {
                    fail(400, "a chunk size is not a hexadecimal number");
                    break;
                }
                size = size * 16 + static_cast<std::uint64_t>(d);
            }
            if (state_ == State::Failed)
                break;
            if (size > maxBody_ - std::min(maxBody_, body_.size())) {
                fail(overStatus_, overWhy_);
                break;
            }
            remaining_ = size;
            chunkStep_ = size == 0 ? ChunkStep::Trailer : ChunkStep::Data;
            break;
        }
        case ChunkStep::DataEnd:
            if (!line.empty())
                fail(400, "a chunk does not end with CR LF");
            chunkStep_ = ChunkStep::Size;
            break;
        case ChunkStep::Trailer:
            // Trailer fields are read past and ignored; an empty line ends the body.
            if (line.empty())
                done = true;
            break;
        case ChunkStep::Data:
            break;
        }
    }
    if (state_ == State::Failed)
        return false;
    buffer_.erase(0, at);
    if (!done && chunkStep_ == ChunkStep::Trailer && buffer_.size() > MaxChunkLine)
        fail(400, "the trailer of a chunked body is too long");
    return done;
}

} // namespace orvane::server
