// The client's FTP reply reader, fed by a loopback server that sends a greeting and then
// the input as its replies, and closes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <thread>

#include "ftp/ftp_session.h"
#include "platform/device.h"
#include "platform/ui/frontend.h"

namespace {

class NoFrontend : public platform::ui::Frontend {
  public:
    void WaitForInput(platform::ui::MessageQueue&) override {}
    void PumpPendingInput(platform::ui::MessageQueue&) override {}
    platform::ui::MessageBoxAnswer ShowMessageBox(const std::wstring&, const std::wstring&,
                                                  platform::ui::MessageBoxButtons,
                                                  platform::ui::MessageBoxIcon) override {
        return {};
    }
    int TrackPopupMenu(const platform::ui::Menu&, platform::ui::Point,
                       const platform::ui::Control&) override {
        return 0;
    }
    void WindowCreated(platform::ui::Window&) override {}
    void WindowDestroyed(platform::ui::Window&) override {}
    void TitleChanged(platform::ui::Window&) override {}
    void Repaint(platform::ui::Window&, int) override {}
    void WaitCursorChanged(bool) override {}
    bool StartProgram(const std::wstring&, const std::wstring&) override { return false; }
};

// A listening loopback socket for the whole run.
struct Listener {
    Listener() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(fd, 8) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            std::abort();
        }
        port = ntohs(address.sin_port);
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port = 0;
};

void SendAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0) {
            return;  // the client stopped reading
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NoFrontend frontend;
    static platform::Device device(frontend, std::filesystem::temp_directory_path(),
                                   platform::net::Network({false, std::chrono::seconds(5)}));
    static const bool started = device.Net().Startup();
    static Listener listener;
    if (!started) {
        std::abort();
    }
    platform::ActiveDevice active(device);

    // The server side writes on a thread of its own, so that input of any length fits.
    std::thread server([data, size] {
        const int fd = ::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        constexpr std::uint8_t greeting[] = "220 Ready\r\n";
        SendAll(fd, greeting, sizeof greeting - 1);
        SendAll(fd, data, size);
        ::shutdown(fd, SHUT_WR);
        // Waits for the client to finish before closing, so that it reads everything sent.
        std::uint8_t sink[256];
        while (::recv(fd, sink, sizeof sink, 0) > 0) {
        }
        ::close(fd);
    });
    {
        CFtpSession session;
        if (session.Connect(L"127.0.0.1", listener.port)) {
            // Every reply takes at least one byte, so this ends with the input.
            for (std::size_t i = 0; i <= size && session.IsConnected(); ++i) {
                session.ReadReply();
                if (session.GetReplyCode() == ftp::kReplyConnectionLost) {
                    break;
                }
            }
        }
        session.Close();
    }
    server.join();
    return 0;
}
