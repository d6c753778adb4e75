#pragma once
// A loopback TCP relay for benches and tests: the client connects to Port() and is relayed
// to a target port on 127.0.0.1, as over a link with the given latency. Every chunk is held
// for its direction's delay; chunks are not held one after the other: a chunk that arrives
// 1 ms after another leaves 1 ms after it, so pipelined replies cost one delay together.
//
//   LatencyRelay relay(service.FtpPort(), std::chrono::milliseconds(50));  // replies only
//   session.Connect(L"127.0.0.1", relay.Port());
//
// With `relayPassiveData`, the relay reads the target's FTP replies: a passive-mode reply
// (227 or 229) is rewritten to a port of the relay that leads to the target's data port, so
// data connections cross the same link. Connecting itself costs no delay.

#include <chrono>
#include <cstdint>
#include <memory>

namespace testing_support {

class LatencyRelay {
  public:
    struct Options {
        std::chrono::milliseconds toClient{0};  // bytes the target sends
        std::chrono::milliseconds toTarget{0};  // bytes the client sends
        bool relayPassiveData = false;
    };

    // Holds only what the target sends, for `delay`; the client's bytes go through at once.
    LatencyRelay(std::uint16_t targetPort, std::chrono::milliseconds delay);
    LatencyRelay(std::uint16_t targetPort, const Options& options);
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
