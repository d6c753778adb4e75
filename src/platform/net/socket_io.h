#pragma once
// How the TLS library reaches a socket of the device's network: send and receive that never
// block in the call (the stream waits through the network, with its hook and deadlines) and
// never raise SIGPIPE. Internal to platform/net.

#include "platform/net/tls_context.h"

struct bio_st;

namespace platform::net {

// What one connection's socket I/O works on; must outlive the connection that uses it.
struct SocketIoState {
    int fd = -1;
    bool ended = false;  // the peer closed its side of the stream
};

OpenSslPtr<bio_method_st> NewSocketIoMethod();

// The library takes this over when it is handed to a connection; null when it cannot be made.
bio_st* NewSocketIo(const bio_method_st* method, SocketIoState& state);

}  // namespace platform::net
