#include "socket_transport.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>

namespace orvane::server {

namespace {

class PlainTransport final : public SocketTransport {
public:
    explicit PlainTransport(int fd) : fd_(fd) {}

    IoResult handshake() override { return {IoState::Done, 0}; }

    IoResult read(char* into, std::size_t size) override {
        while (true) {
            const ssize_t n = ::recv(fd_, into, size, 0);
            if (n > 0)
                return {IoState::Done, static_cast<std::size_t>(n)};
            if (n == 0)
                return {IoState::Closed, 0};
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return {IoState::WantRead, 0};
            return {IoState::Failed, 0};
        }
    }

    IoResult write(const char* from, std::size_t size) override {
        while (true) {
            const ssize_t n = ::send(fd_, from, size, MSG_NOSIGNAL);
            if (n >= 0)
                return {IoState::Done, static_cast<std::size_t>(n)};
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return {IoState::WantWrite, 0};
            return {IoState::Failed, 0};
        }
    }

    void finishWriting() override { ::shutdown(fd_, SHUT_WR); }
    bool canDrain() const override { return true; }

private:
    int fd_;
};

class TlsTransport final : public SocketTransport {
public:
    TlsTransport(SSL_CTX* context, int fd) : ssl_(SSL_new(context)) {
        if (ssl_) {
            SSL_set_fd(ssl_, fd);
            SSL_set_accept_state(ssl_);
        }
    }
    ~TlsTransport() override { SSL_free(ssl_); }
    TlsTransport(const TlsTransport&) = delete;
    TlsTransport& operator=(const TlsTransport&) = delete;

    IoResult handshake() override {
        if (!ssl_)
            return {IoState::Failed, 0};
        ERR_clear_error();
        const int rc = SSL_do_handshake(ssl_);
        return rc == 1 ? IoResult{IoState::Done, 0} : failure(rc);
    }

    IoResult read(char* into, std::size_t size) override {
        ERR_clear_error();
        std::size_t n = 0;
        const int rc = SSL_read_ex(ssl_, into, size, &n);
        return rc == 1 ? IoResult{IoState::Done, n} : failure(rc);
    }

    IoResult write(const char* from, std::size_t size) override {
        ERR_clear_error();
        std::size_t n = 0;
        const int rc = SSL_write_ex(ssl_, from, size, &n);
        return rc == 1 ? IoResult{IoState::Done, n} : failure(rc);
    }

    void finishWriting() override {
        // One attempt: a peer that does not answer the close is not waited for.
        ERR_clear_error();
        SSL_shutdown(ssl_);
    }
    bool canDrain() const override { return false; }

private:
    IoResult failure(int rc) {
        switch (SSL_get_error(ssl_, rc)) {
        case SSL_ERROR_WANT_READ:
            return {IoState::WantRead, 0};
        case SSL_ERROR_WANT_WRITE:
            return {IoState::WantWrite, 0};
        case SSL_ERROR_ZERO_RETURN:
            return {IoState::Closed, 0};
        default:
            ERR_clear_error();
            return {IoState::Failed, 0};
        }
    }

    SSL* ssl_;
};

std::string lastTlsError() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return "unknown error";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

} // namespace

std::unique_ptr<SocketTransport> plainTransport(int fd) {
    return std::make_unique<PlainTransport>(fd);
}

struct TlsContext::Impl {
    SSL_CTX* context = nullptr;
    ~Impl() { SSL_CTX_free(context); }
};

TlsContext::TlsContext(const std::string& certificateFile, const std::string& keyFile)
    : impl_(std::make_unique<Impl>()) {
    impl_->context = SSL_CTX_new(TLS_server_method());
    if (!impl_->context) {
        error_ = lastTlsError();
        return;
    }
    SSL_CTX* ctx = impl_->context;
    // A key others on the host can read is not private any more.
    struct stat key {};
    if (::stat(keyFile.c_str(), &key) == 0 && (key.st_mode & S_IRWXO) != 0) {
        error_ = "the private key " + keyFile +
                 " is readable by other users of this host; make it private (chmod o-rwx)";
        return;
    }
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    // Writes go on from where a partial one stopped, from a buffer that may move.
    SSL_CTX_set_mode(ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    if (SSL_CTX_use_certificate_chain_file(ctx, certificateFile.c_str()) != 1)
        error_ = "cannot read the certificate " + certificateFile + ": " + lastTlsError();
    else if (SSL_CTX_use_PrivateKey_file(ctx, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
        error_ = "cannot read the private key " + keyFile + ": " + lastTlsError();
    else if (SSL_CTX_check_private_key(ctx) != 1)
        error_ = "the private key " + keyFile + " does not belong to the certificate " +
                 certificateFile;
}

TlsContext::~TlsContext() = default;

std::unique_ptr<SocketTransport> TlsContext::accept(int fd) {
    return std::make_unique<TlsTransport>(impl_->context, fd);
}

} // namespace orvane::server
