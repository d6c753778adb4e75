#pragma once
// A loopback TCP relay for benches and tests: the client connects to Port() and is relayed
// to a target port on 127.0.0.1. Every chunk the target sends is held for the delay before
// the client gets it, as over a link with that latency; the client's bytes go through at
// once. Chunks are not held one after the other: a chunk that arrives 1 ms after another
// leaves 1 ms after it, so pipelined replies cost one delay together.
//
//   LatencyRelay relay(service.FtpPort(), std::chrono::milliseconds(50));
//   session.Connect(L"127.0.0.1", relay.Port());

#include <chrono>
#include <cstdint>
#include <memory>

namespace testing_support {

class LatencyRelay {
  public:
    LatencyRelay(std::uint16_t targetPort, std::chrono::milliseconds delay);
    ~LatencyRelay();  // ends every relayed connection
    LatencyRelay(const LatencyRelay&) = delete;
    LatencyRelay& operator=(const LatencyRelay&) = delete;

    std::uint16_t Port() const;
    // Chunks the target sent and the relay held, over all connections so far.
    std::uint64_t HeldChunks() const;

  private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace testing_support
