#pragma once
// Bytes in and out of one non-blocking accepted socket, in the clear or
// through TLS. Nothing here ever waits: a call that cannot go on says which
// way the socket has to become ready first.

#include <cstddef>
#include <memory>
#include <string>

namespace orvane::server {

enum class IoState {
    Done,       // `bytes` moved (for a handshake: finished)
    WantRead,   // call again when the socket is readable
    WantWrite,  // call again when the socket is writable
    Closed,     // the peer closed its side
    Failed,     // the connection is unusable
};

struct IoResult {
    IoState state = IoState::Failed;
    std::size_t bytes = 0;
};

class SocketTransport {
public:
    virtual ~SocketTransport() = default;
    virtual IoResult handshake() = 0;
    virtual IoResult read(char* into, std::size_t size) = 0;
    virtual IoResult write(const char* from, std::size_t size) = 0;
    // Tells the peer that nothing more will be written.
    virtual void finishWriting() = 0;
    // Whether after finishWriting() the peer's remaining input can still be
    // read and thrown away (in the clear it can; TLS is over).
    virtual bool canDrain() const = 0;
};

std::unique_ptr<SocketTransport> plainTransport(int fd);

// A certificate and key loaded once, shared by every TLS connection.
class TlsContext {
public:
    TlsContext(const std::string& certificateFile, const std::string& keyFile);
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // Empty when usable, else what is wrong with the files.
    const std::string& error() const { return error_; }
    std::unique_ptr<SocketTransport> accept(int fd);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string error_;
};

} // namespace orvane::server
