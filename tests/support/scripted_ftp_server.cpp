#include "support/scripted_ftp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <utility>

#include "support/fd.h"

namespace testing_support {
namespace {

constexpr std::size_t kMaxCommandLine = 4096;
constexpr std::size_t kChunk = 64 * 1024;

Fd Listen(std::uint16_t& port) {
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (!fd.Valid() || ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd.Get(), 8) != 0 ||
        ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error(std::string("scripted FTP server cannot listen: ") +
                                 std::strerror(errno));
    }
    port = ntohs(address.sin_port);
    return fd;
}

unsigned char PatternByte(std::uint64_t index) {
    return static_cast<unsigned char>((index * 0x9E3779B97F4A7C15ULL) >> 56);
}

// Readable text for problem reports: control characters escaped, long texts cut.
std::string Escape(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes.substr(0, 80)) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '\r') {
            out += "\\r";
        } else if (ch == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte >= 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += ch;
        }
    }
    if (bytes.size() > 80) {
        out += "...";
    }
    return '"' + out + '"';
}

}  // namespace

enum class ScriptedFtpServer::StepKind {
    Accept,
    Reply,
    Expect,
    ReplyPasv,
    AcceptData,
    SendData,
    SendPattern,
    ReceiveData,
    ReceivePattern,
    CloseData,
    ResetData,
    CloseControl,
    AwaitControlClosed,
    StallData,
    Drip,
    ReplyOversized,
    SendDataOversized,
};

class ScriptedFtpServer::Runner {
  public:
    using Kind = StepKind;
    struct Step {
        Kind kind;
        std::string text;
        std::uint64_t count = 0;
        std::chrono::milliseconds interval{};
        std::string filler;
    };

    explicit Runner(Options options)
        : m_options(options),
          m_controlListener(Listen(m_controlPort)),
          m_dataListener(Listen(m_dataPort)),
          m_wake(::eventfd(0, EFD_CLOEXEC)) {
        if (!m_wake.Valid()) {
            throw std::runtime_error("scripted FTP server cannot make its wake-up event");
        }
    }
    ~Runner() { Finish(); }
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    std::uint16_t ControlPort() const { return m_controlPort; }
    std::uint16_t DataPort() const { return m_dataPort; }

    void Add(Step step) {
        if (m_started) {
            throw std::logic_error("script steps must be added before Start()");
        }
        m_steps.push_back(std::move(step));
    }

    void Start() {
        if (m_started) {
            throw std::logic_error("the scripted FTP server runs once");
        }
        m_started = true;
        m_thread = std::thread([this] { Run(); });
    }

    const Result& Finish() {
        if (m_finished) {
            return m_result;
        }
        m_finished = true;
        if (!m_started) {
            if (!m_steps.empty()) {
                m_result.problems.push_back("the script was never started");
            }
            return m_result;
        }
        const std::uint64_t one = 1;
        const bool woken = ::write(m_wake.Get(), &one, sizeof one) == sizeof one;
        m_thread.join();
        if (!woken) {
            m_result.problems.push_back("cannot wake the server thread");
        }
        pollfd pending{m_dataListener.Get(), POLLIN, 0};
        m_result.dataConnectionWaiting = ::poll(&pending, 1, 0) > 0;
        return m_result;
    }

    std::string ExpectedTranscript() const {
        std::string expected;
        for (const Step& step : m_steps) {
            if (step.kind == Kind::Expect) {
                expected += step.text;
            }
        }
        return expected;
    }

  private:
    enum class Wait { Ready, TimedOut, Finishing };

    static std::string Describe(std::size_t index, const Step& step) {
        static constexpr const char* kNames[] = {
            "Accept",
            "Reply",
            "Expect",
            "ReplyPasv",
            "AcceptData",
            "SendData",
            "SendPattern",
            "ReceiveData",
            "ReceivePattern",
            "CloseData",
            "ResetData",
            "CloseControl",
            "AwaitControlClosed",
            "StallData",
            "Drip",
            "ReplyOversized",
            "SendDataOversized",
        };
        std::string text =
            "step " + std::to_string(index + 1) + " " + kNames[static_cast<int>(step.kind)];
        if (!step.text.empty()) {
            text += "(" + Escape(step.text) + ")";
        } else if (step.kind == Kind::SendPattern || step.kind == Kind::SendDataOversized) {
            text += "(" + std::to_string(step.count) + ")";
        }
        return text;
    }

    void Run() {
        for (std::size_t i = 0; i < m_steps.size(); ++i) {
            m_step = Describe(i, m_steps[i]);
            if (!RunStep(m_steps[i])) {
                m_result.problems.push_back("script abandoned at " + m_step);
                // Ending both connections lets a client that waits for us go on.
                m_control.Reset();
                m_data.Reset();
                return;
            }
        }
        m_data.Reset();
        if (m_control.Valid()) {
            ::shutdown(m_control.Get(), SHUT_WR);
            while (!ReadControlUntilClosed(/*required=*/false) && !m_finishing) {
            }
            m_control.Reset();
        }
    }

    bool RunStep(const Step& step) {
        switch (step.kind) {
            case Kind::Accept:
                return AcceptOn(m_controlListener, m_control, m_result.controlConnections);
            case Kind::Reply:
                return NeedControl() && DelayReply() && SendAll(m_control, step.text);
            case Kind::Expect:
                return NeedControl() && ExpectLine(step.text);
            case Kind::ReplyPasv:
                return NeedControl() && DelayReply() &&
                       SendAll(m_control, "227 Entering Passive Mode (" + step.text + "," +
                                              std::to_string(m_dataPort / 256) + "," +
                                              std::to_string(m_dataPort % 256) + ").\r\n");
            case Kind::AcceptData:
                return AcceptOn(m_dataListener, m_data, m_result.dataConnections);
            case Kind::SendData:
                return NeedData() && SendAll(m_data, step.text);
            case Kind::SendPattern:
                return NeedData() && SendPattern(step.count);
            case Kind::ReceiveData:
            case Kind::ReceivePattern:
                return NeedData() && ReceiveData(step.kind == Kind::ReceivePattern);
            case Kind::CloseData:
                m_data.Reset();
                return true;
            case Kind::ResetData:
                return NeedData() && ResetData();
            case Kind::CloseControl:
                KeepAvailableControlBytes();
                m_control.Reset();
                return true;
            case Kind::AwaitControlClosed:
                if (!NeedControl() || !ReadControlUntilClosed(/*required=*/true)) {
                    return false;
                }
                m_control.Reset();
                return true;
            case Kind::StallData:
                return NeedData() && StallData();
            case Kind::Drip:
                return NeedControl() && Drip(step.text, step.interval);
            case Kind::ReplyOversized:
                return NeedControl() && Flood(m_control, step.text, step.count, step.filler);
            case Kind::SendDataOversized:
                return NeedData() && Flood(m_data, {}, step.count, {});
        }
        return false;
    }

    void Problem(const std::string& text) { m_result.problems.push_back(m_step + ": " + text); }

    bool NeedControl() {
        if (!m_control.Valid()) {
            Problem("no control connection");
            return false;
        }
        return true;
    }

    bool NeedData() {
        if (!m_data.Valid()) {
            Problem("no data connection");
            return false;
        }
        return true;
    }

    // Waits until `fd` is ready. Once Finish() was called, what is not ready within `grace`
    // will not come.
    Wait WaitFor(int fd, short events, std::chrono::milliseconds grace) {
        pollfd fds[2] = {{fd, events, 0}, {m_wake.Get(), POLLIN, 0}};
        int ready = 0;
        do {
            ready = ::poll(fds, 2, static_cast<int>(m_options.stepTimeout.count()));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) {
            return Wait::TimedOut;
        }
        if (fds[0].revents != 0) {
            return Wait::Ready;
        }
        pollfd alone{fd, events, 0};
        if (::poll(&alone, 1, static_cast<int>(grace.count())) > 0) {
            return Wait::Ready;
        }
        m_finishing = true;
        return Wait::Finishing;
    }

    void ReportWait(Wait wait, const char* what) {
        Problem(wait == Wait::TimedOut
                    ? std::string("timed out waiting for ") + what
                    : std::string("not reached: the client ended without ") + what);
    }

    bool Ready(int fd, short events, const char* what) {
        const Wait wait = WaitFor(fd, events, m_options.finishGrace);
        if (wait != Wait::Ready) {
            ReportWait(wait, what);
            return false;
        }
        return true;
    }

    bool AcceptOn(const Fd& listener, Fd& connection, int& counter) {
        if (&connection == &m_control) {
            KeepAvailableControlBytes();
        }
        connection.Reset();
        if (!Ready(listener.Get(), POLLIN, "a connection")) {
            return false;
        }
        connection.Reset(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection.Valid()) {
            Problem(std::string("accept failed: ") + std::strerror(errno));
            return false;
        }
        // Replies go out at once, not held back until the client acknowledges the last one.
        const int on = 1;
        ::setsockopt(connection.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ++counter;
        return true;
    }

    bool SendAll(const Fd& fd, std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t sent =
                ::send(fd.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(sent));
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!Ready(fd.Get(), POLLOUT, "room to send")) {
                    return false;
                }
            } else if (sent < 0 && errno != EINTR) {
                Problem(std::string("send failed: ") + std::strerror(errno));
                return false;
            }
        }
        return true;
    }

    bool SendPattern(std::uint64_t count) {
        for (std::uint64_t offset = 0; offset < count; offset += kChunk) {
            const auto size =
                static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, count - offset));
            if (!SendAll(m_data, ScriptedFtpServer::Pattern(offset, size))) {
                return false;
            }
        }
        return true;
    }

    // Bytes received; 0 when the peer closed (a reset counts as closed), -1 on time-out.
    ssize_t ReceiveSome(const Fd& fd, char* buffer, std::size_t size, const char* what,
                        bool required) {
        for (;;) {
            const ssize_t count = ::recv(fd.Get(), buffer, size, MSG_DONTWAIT);
            if (count >= 0) {
                return count;
            }
            if (errno == ECONNRESET) {
                return 0;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // Only a step's own wait deserves the grace time; reading beyond the
                // script takes what is there.
                const Wait wait =
                    WaitFor(fd.Get(), POLLIN,
                            required ? m_options.finishGrace : std::chrono::milliseconds(0));
                if (wait == Wait::Ready) {
                    continue;
                }
                if (required) {
                    ReportWait(wait, what);
                }
                return -1;
            }
            if (errno != EINTR) {
                Problem(std::string("receive failed: ") + std::strerror(errno));
                return -1;
            }
        }
    }

    bool DelayReply() {
        if (m_options.replyDelay.count() > 0) {
            std::this_thread::sleep_for(m_options.replyDelay);
        }
        return true;
    }

    // Whole command lines received and not yet read by a step.
    int LinesWaiting() {
        std::vector<char> buffer(kChunk);
        const ssize_t count =
            ::recv(m_control.Get(), buffer.data(), buffer.size(), MSG_PEEK | MSG_DONTWAIT);
        return count <= 0
                   ? 0
                   : static_cast<int>(std::count(buffer.begin(), buffer.begin() + count, '\n'));
    }

    bool ExpectLine(const std::string& expected) {
        m_result.linesWaiting.push_back(LinesWaiting());
        std::string line;
        while (line.empty() || line.back() != '\n') {
            char byte = 0;
            const ssize_t count = ReceiveSome(m_control, &byte, 1, "a command line", true);
            if (count < 0) {
                return false;
            }
            if (count == 0) {
                Problem("the client closed the connection; had " + Escape(line) + ", expected " +
                        Escape(expected));
                return false;
            }
            line.push_back(byte);
            m_result.transcript.push_back(byte);
            if (line.size() > kMaxCommandLine) {
                Problem("command line without end: " + Escape(line));
                return false;
            }
        }
        if (line != expected) {
            Problem("expected " + Escape(expected) + ", the client sent " + Escape(line));
        }
        return true;
    }

    bool ReceiveData(bool checkPattern) {
        std::vector<char> buffer(kChunk);
        std::uint64_t offset = 0;
        bool reported = false;
        for (;;) {
            const ssize_t count =
                ReceiveSome(m_data, buffer.data(), buffer.size(), "the end of the data", true);
            if (count < 0) {
                return false;
            }
            if (count == 0) {
                break;
            }
            const auto size = static_cast<std::size_t>(count);
            if (!checkPattern) {
                m_result.dataReceived.append(buffer.data(), size);
            } else if (!reported && std::string_view(buffer.data(), size) !=
                                        ScriptedFtpServer::Pattern(offset, size)) {
                Problem("data differs from the pattern near byte " + std::to_string(offset));
                reported = true;
            }
            offset += size;
        }
        if (checkPattern) {
            m_result.patternBytes += offset;
        }
        m_data.Reset();
        return true;
    }

    bool ResetData() {
        const linger abort{1, 0};
        if (::setsockopt(m_data.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort) != 0) {
            Problem(std::string("cannot reset the data connection: ") + std::strerror(errno));
            return false;
        }
        m_data.Reset();
        return true;
    }

    // True once the peer has gone (reset or closed); keeps control bytes that came meanwhile.
    bool PeerGone(const Fd& fd) {
        char buffer[512];
        for (;;) {
            const ssize_t count = ::recv(fd.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
            if (count > 0 && &fd == &m_control) {
                m_result.transcript.append(buffer, static_cast<std::size_t>(count));
            }
            if (count == 0 ||
                (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                return true;
            }
            if (count < 0) {
                return false;
            }
        }
    }

    // Sends what it can; a client that goes away ends the sending without complaint.
    // False only on time-out or an unexpected error.
    bool SendWhileTaken(const Fd& fd, std::string_view bytes, bool& gone) {
        while (!bytes.empty() && !gone) {
            const ssize_t sent =
                ::send(fd.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(sent));
                m_result.floodBytes += static_cast<std::uint64_t>(sent);
            } else if (sent < 0 && (errno == EPIPE || errno == ECONNRESET)) {
                gone = true;
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!Ready(fd.Get(), POLLOUT, "room to send")) {
                    return false;
                }
            } else if (sent < 0 && errno != EINTR) {
                Problem(std::string("send failed: ") + std::strerror(errno));
                return false;
            }
        }
        return true;
    }

    // `prefix`, then `count` bytes: `filler` repeated, or Pattern() without a filler.
    bool Flood(const Fd& fd, std::string_view prefix, std::uint64_t count,
               std::string_view filler) {
        bool gone = false;
        if (!SendWhileTaken(fd, prefix, gone)) {
            return false;
        }
        std::string chunk;
        while (!filler.empty() && chunk.size() < kChunk) {
            chunk += filler;
        }
        for (std::uint64_t offset = 0; offset < count && !gone; offset += kChunk) {
            const auto size =
                static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, count - offset));
            const std::string bytes =
                filler.empty() ? ScriptedFtpServer::Pattern(offset, size) : chunk.substr(0, size);
            if (!SendWhileTaken(fd, bytes, gone)) {
                return false;
            }
        }
        return true;
    }

    bool Drip(std::string_view bytes, std::chrono::milliseconds interval) {
        bool gone = false;
        for (const char byte : bytes) {
            if (!SendWhileTaken(m_control, std::string_view(&byte, 1), gone)) {
                return false;
            }
            pollfd fds[2] = {{m_control.Get(), POLLIN | POLLRDHUP, 0}, {m_wake.Get(), POLLIN, 0}};
            if (gone || (::poll(fds, 2, static_cast<int>(interval.count())) > 0 &&
                         fds[0].revents != 0 && PeerGone(m_control))) {
                return true;
            }
            if (fds[1].revents != 0) {
                m_finishing = true;
                return true;
            }
        }
        return true;
    }

    bool StallData() {
        if (!Ready(m_data.Get(), POLLRDHUP, "the client to end the data connection")) {
            return false;
        }
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(m_data.Get(), SOL_SOCKET, SO_ERROR, &error, &length);
        m_result.dataEndedByReset = error == ECONNRESET;
        m_data.Reset();
        return true;
    }

    bool ReadControlUntilClosed(bool required) {
        char buffer[512];
        for (;;) {
            const ssize_t count =
                ReceiveSome(m_control, buffer, sizeof buffer, "the connection's end", required);
            if (count <= 0) {
                return count == 0;
            }
            m_result.transcript.append(buffer, static_cast<std::size_t>(count));
        }
    }

    // Whatever the client has sent already belongs to the transcript, also when the
    // connection is dropped next.
    void KeepAvailableControlBytes() {
        if (!m_control.Valid()) {
            return;
        }
        char buffer[512];
        ssize_t count = 0;
        while ((count = ::recv(m_control.Get(), buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
            m_result.transcript.append(buffer, static_cast<std::size_t>(count));
        }
    }

    Options m_options;
    std::uint16_t m_controlPort = 0;
    std::uint16_t m_dataPort = 0;
    Fd m_controlListener;
    Fd m_dataListener;
    Fd m_wake;  // readable once Finish() was called
    Fd m_control;
    Fd m_data;
    std::vector<Step> m_steps;
    std::string m_step;  // the running step, for problem reports
    std::thread m_thread;
    bool m_started = false;
    bool m_finished = false;
    bool m_finishing = false;  // the server thread has seen Finish()'s wake-up
    Result m_result;           // written by the server thread only until Finish() joins it
};

ScriptedFtpServer::ScriptedFtpServer() : ScriptedFtpServer(Options{}) {}

ScriptedFtpServer::ScriptedFtpServer(Options options)
    : m_runner(std::make_unique<Runner>(options)) {}

ScriptedFtpServer::~ScriptedFtpServer() = default;

std::uint16_t ScriptedFtpServer::Port() const {
    return m_runner->ControlPort();
}
std::uint16_t ScriptedFtpServer::DataPort() const {
    return m_runner->DataPort();
}

ScriptedFtpServer& ScriptedFtpServer::Add(StepKind kind, std::string text, std::uint64_t count,
                                          std::chrono::milliseconds interval, std::string filler) {
    m_runner->Add(Runner::Step{kind, std::move(text), count, interval, std::move(filler)});
    return *this;
}

ScriptedFtpServer& ScriptedFtpServer::Accept() {
    return Add(StepKind::Accept);
}
ScriptedFtpServer& ScriptedFtpServer::Reply(std::string bytes) {
    return Add(StepKind::Reply, std::move(bytes));
}
ScriptedFtpServer& ScriptedFtpServer::Expect(std::string line) {
    return Add(StepKind::Expect, std::move(line));
}
ScriptedFtpServer& ScriptedFtpServer::ReplyPasv(std::string addressNumbers) {
    return Add(StepKind::ReplyPasv, std::move(addressNumbers));
}
ScriptedFtpServer& ScriptedFtpServer::AcceptData() {
    return Add(StepKind::AcceptData);
}
ScriptedFtpServer& ScriptedFtpServer::Listing(const std::string& folder,
                                              const std::string& listing) {
    Command("PWD\r\n", "257 \"" + folder + "\" is current\r\n")
        .Command("TYPE I\r\n", "200 Binary\r\n")
        .Expect("PASV \r\n")
        .ReplyPasv()
        .AcceptData()
        .Command("LIST\r\n", "150 Listing\r\n");
    if (!listing.empty()) {
        SendData(listing);
    }
    return CloseData().Reply("226 Done\r\n");
}

ScriptedFtpServer& ScriptedFtpServer::SendData(std::string bytes) {
    return Add(StepKind::SendData, std::move(bytes));
}
ScriptedFtpServer& ScriptedFtpServer::SendPattern(std::uint64_t count) {
    return Add(StepKind::SendPattern, {}, count);
}
ScriptedFtpServer& ScriptedFtpServer::ReceiveData() {
    return Add(StepKind::ReceiveData);
}
ScriptedFtpServer& ScriptedFtpServer::ReceivePattern() {
    return Add(StepKind::ReceivePattern);
}
ScriptedFtpServer& ScriptedFtpServer::CloseData() {
    return Add(StepKind::CloseData);
}
ScriptedFtpServer& ScriptedFtpServer::ResetData() {
    return Add(StepKind::ResetData);
}
ScriptedFtpServer& ScriptedFtpServer::CloseControl() {
    return Add(StepKind::CloseControl);
}
ScriptedFtpServer& ScriptedFtpServer::AwaitControlClosed() {
    return Add(StepKind::AwaitControlClosed);
}

ScriptedFtpServer& ScriptedFtpServer::StallData() {
    return Add(StepKind::StallData);
}
ScriptedFtpServer& ScriptedFtpServer::Drip(std::string bytes, std::chrono::milliseconds interval) {
    return Add(StepKind::Drip, std::move(bytes), 0, interval);
}
ScriptedFtpServer& ScriptedFtpServer::ReplyOversized(std::string prefix, std::uint64_t count,
                                                     std::string filler) {
    return Add(StepKind::ReplyOversized, std::move(prefix), count, {}, std::move(filler));
}
ScriptedFtpServer& ScriptedFtpServer::SendDataOversized(std::uint64_t count) {
    return Add(StepKind::SendDataOversized, {}, count);
}

void ScriptedFtpServer::Start() {
    m_runner->Start();
}

const ScriptedFtpServer::Result& ScriptedFtpServer::Finish() {
    return m_runner->Finish();
}

std::string ScriptedFtpServer::ExpectedTranscript() const {
    return m_runner->ExpectedTranscript();
}

std::string ScriptedFtpServer::Pattern(std::uint64_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>(PatternByte(offset + i));
    }
    return bytes;
}

}  // namespace testing_support
