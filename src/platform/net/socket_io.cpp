#include "platform/net/socket_io.h"

#include <openssl/bio.h>
#include <sys/socket.h>

#include <cerrno>

namespace platform::net {
namespace {

SocketIoState& StateOf(BIO* io) {
    return *static_cast<SocketIoState*>(BIO_get_data(io));
}

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

int WriteSome(BIO* io, const char* data, std::size_t count, std::size_t* written) {
    BIO_clear_retry_flags(io);
    for (;;) {
        const ssize_t n = ::send(StateOf(io).fd, data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            *written = static_cast<std::size_t>(n);
            return 1;
        }
        if (errno != EINTR) {
            if (WouldBlock()) {
                BIO_set_retry_write(io);
            }
            return 0;
        }
    }
}

int ReadSome(BIO* io, char* buffer, std::size_t count, std::size_t* read) {
    BIO_clear_retry_flags(io);
    for (;;) {
        const ssize_t n = ::recv(StateOf(io).fd, buffer, count, MSG_DONTWAIT);
        if (n > 0) {
            *read = static_cast<std::size_t>(n);
            return 1;
        }
        if (n == 0) {
            StateOf(io).ended = true;
            return 0;
        }
        if (errno != EINTR) {
            if (WouldBlock()) {
                BIO_set_retry_read(io);
            }
            return 0;
        }
    }
}

long Control(BIO* io, int command, long /*number*/, void* /*pointer*/) {
    switch (command) {
        case BIO_CTRL_FLUSH:
            return 1;  // nothing is buffered here
        case BIO_CTRL_EOF:
            // Lets the library tell a stream cut short from a wait for more.
            return StateOf(io).ended ? 1 : 0;
        default:
            return 0;
    }
}

}  // namespace

OpenSslPtr<bio_method_st> NewSocketIoMethod() {
    OpenSslPtr<bio_method_st> method(
        BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "device socket"));
    if (!method || BIO_meth_set_write_ex(method.get(), WriteSome) != 1 ||
        BIO_meth_set_read_ex(method.get(), ReadSome) != 1 ||
        BIO_meth_set_ctrl(method.get(), Control) != 1) {
        return nullptr;
    }
    return method;
}

bio_st* NewSocketIo(const bio_method_st* method, SocketIoState& state) {
    BIO* io = BIO_new(method);
    if (io != nullptr) {
        BIO_set_data(io, &state);
        BIO_set_init(io, 1);
    }
    return io;
}

}  // namespace platform::net
