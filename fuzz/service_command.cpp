// The service's command handling: the input is what a client sends on the control
// connection (framing, verbs, arguments, every command against a real account folder).
// Whatever it sends, nothing outside the account's folder may change.
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "account.h"
#include "ftp_session.h"
#include "net_io.h"
#include "service_config.h"
#include "stop_signal.h"

namespace {

namespace fs = std::filesystem;
using namespace stowbox::service;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A temporary service root with two accounts and a file beside them, and a listener that
// stands in for the server's.
struct World {
    World() {
        std::string pattern = fs::temp_directory_path() / "stowbox-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        config.root = pattern;
        config.accounts = {{"alice", "secret", 10}, {"bob", "pw", 3}};
        // Short, so that transfers waiting for a data connection give up at once.
        config.data_timeout = std::chrono::milliseconds(1);
        accounts.emplace(config.root, config.accounts);
        std::ofstream(config.root / "outside.txt") << "keep";
        std::ofstream(config.root / "accounts" / "bob" / "bob.txt") << "bob's";
        listener = listen_tcp(*parse_ipv4("127.0.0.1"), 0, 8);
    }
    ~World() {
        std::error_code ignored;
        fs::remove_all(config.root, ignored);
    }

    void CheckNothingOutsideChanged() const {
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(config.root)) {
            ++entries;
        }
        if (entries != 2 || ReadFile(config.root / "outside.txt") != "keep" ||
            ReadFile(config.root / "accounts" / "bob" / "bob.txt") != "bob's") {
            std::abort();
        }
    }

    // Empties alice's folder for the next input.
    void Reset() const {
        for (const auto& entry : fs::directory_iterator(config.root / "accounts" / "alice")) {
            fs::remove_all(entry.path());
        }
    }

    ServiceConfig config;
    std::optional<AccountBook> accounts;
    StopSignal stop;
    UniqueFd listener;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    UniqueFd client(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in server = local_endpoint(world.listener.get());
    if (::connect(client.get(), reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
        std::abort();
    }
    UniqueFd control(::accept4(world.listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    // Replies go out at once rather than wait for the acknowledgement of the one before.
    const int on = 1;
    ::setsockopt(control.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    // The client sends on a thread of its own and reads every reply, so that neither side
    // waits for the other whatever the input's length.
    std::thread sender([&client, data, size] {
        send_all(client.get(), {reinterpret_cast<const char*>(data), size}, -1,
                 std::chrono::seconds(5));
        ::shutdown(client.get(), SHUT_WR);
        char sink[4096];
        while (::recv(client.get(), sink, sizeof sink, 0) > 0) {
        }
    });
    FtpSession(std::move(control), *world.accounts, world.config, nullptr, world.stop.fd()).run();
    sender.join();
    world.CheckNothingOutsideChanged();
    world.Reset();
    return 0;
}
