#pragma once
// The client side's TLS set-up that a network's sockets share: the trusted authorities, the
// oldest protocol allowed, how the library reaches a socket. Made on the first protected
// connection, since reading the system's authorities takes a noticeable moment. Internal to
// platform/net; the library's types are only named here, never included.

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

struct ssl_ctx_st;
struct ssl_st;
struct ssl_session_st;
struct bio_method_st;

namespace platform::net {

struct OpenSslFree {
    void operator()(ssl_ctx_st* context) const;
    void operator()(ssl_st* connection) const;
    void operator()(ssl_session_st* session) const;
    void operator()(bio_method_st* method) const;
};
template <class T>
using OpenSslPtr = std::unique_ptr<T, OpenSslFree>;

// The library's short reason for its latest error on this thread, or `fallback` without one.
std::string LibraryReason(const std::string& fallback);

// What every client context of the device asks: TLS 1.2 or newer, and the authorities of
// `caFile` (when not empty) trusted besides those the context already has. False when the
// file cannot be read.
bool SetUpClient(ssl_ctx_st* context, const std::filesystem::path& caFile);

class TlsContext {
  public:
    // `caFile`, when not empty, is trusted besides the system's authorities.
    explicit TlsContext(std::filesystem::path caFile) : m_caFile(std::move(caFile)) {}

    // The library's context; null when it could not be made, with the reason in SetupFailure().
    ssl_ctx_st* Get() const;
    // The socket I/O the library uses for this context's connections.
    const bio_method_st* SocketIo() const;
    const std::string& SetupFailure() const;

  private:
    struct Made {
        OpenSslPtr<ssl_ctx_st> context;
        OpenSslPtr<bio_method_st> socketIo;
        std::string failure;
    };
    static Made Make(const std::filesystem::path& caFile);
    const Made& Ready() const;

    std::filesystem::path m_caFile;
    mutable std::once_flag m_once;
    mutable Made m_made;
};

}  // namespace platform::net
