// The stand-in service soaked for about a minute on loopback. Clients from one address log in,
// upload, list, download, rename, delete and vanish at random (a quarter of the vanishings
// with a reset) and ask the web side for their download limit, while idle and slow clients
// from other addresses hold as many FTP and web connections as an address may. At the end
// every stored byte is checked against what the clients know they stored.
// Prints the sessions served, the bytes checked, the files corrupted or lost and the service's
// peak memory and open descriptors against its start. Measures only, but a corrupted or lost
// file, a real client turned away or a descriptor left open makes it fail.
//
// Usage: service_soak_bench [SECONDS]   (the time of the random traffic, default 50)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/service_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kClientAddress = "127.0.0.2";
constexpr const char* kIdleFtpAddress = "127.0.0.10";
constexpr const char* kSlowFtpAddress = "127.0.0.11";
constexpr const char* kIdleWebAddress = "127.0.0.12";
constexpr const char* kSlowWebAddress = "127.0.0.13";
// The service's defaults: connections one address may hold.
constexpr int kFtpPerAddress = 32;
constexpr int kWebPerAddress = 8;
constexpr int kAccounts = 4;
constexpr int kWorkers = 8;  // two per account, each with a session at a time
constexpr std::size_t kLargestFile = 512 * 1024;
// Only guards against a hung service; a healthy one answers in milliseconds.
constexpr int kReplyTimeoutSeconds = 60;

std::string AccountName(int index) {
    return "soak" + std::to_string(index);
}
std::string Password(int index) {
    return "pw-" + std::to_string(index);
}

// The bytes of a stored version: `size` bytes that depend on `seed`.
struct Version {
    std::uint32_t seed = 0;
    std::size_t size = 0;
    bool operator==(const Version&) const = default;
};

std::string Bytes(Version version) {
    std::string bytes(version.size, '\0');
    std::uint32_t state = version.seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}

// What a file may hold at the end. Settled files hold exactly one version; a file whose last
// step the client did not see through may hold an earlier one, a prefix of the new one, or be
// missing.
struct Expectation {
    std::vector<Version> versions;  // acceptable whole
    std::optional<Version> prefix_of;
    bool may_be_missing = false;
    bool settled() const { return versions.size() == 1 && !prefix_of && !may_be_missing; }
};

int ConnectFrom(const char* from, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    timeval timeout{kReplyTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

// Closes `fd`; with `reset`, the peer gets a reset instead of an orderly end.
void CloseSocket(int fd, bool reset) {
    if (fd < 0) {
        return;
    }
    if (reset) {
        const linger abort_on_close{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
    }
    ::close(fd);
}

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::string ReadAll(int fd) {
    std::string data;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return data;
        }
        data.append(buffer, static_cast<std::size_t>(got));
    }
}

// One FTP control connection; replies are single lines.
class Control {
  public:
    explicit Control(int port) : m_fd(ConnectFrom(kClientAddress, port)) {}
    ~Control() { CloseSocket(m_fd, false); }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    bool Ok() const { return m_fd >= 0; }
    void Vanish(bool reset) { CloseSocket(std::exchange(m_fd, -1), reset); }

    std::string Reply() {
        for (;;) {
            if (const auto end = m_pending.find("\r\n"); end != std::string::npos) {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 2);
                return line;
            }
            char buffer[1024];
            const ssize_t got = m_fd < 0 ? -1 : ::recv(m_fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return "(connection ended)";
            }
            m_pending.append(buffer, static_cast<std::size_t>(got));
        }
    }
    bool Send(const std::string& line) { return m_fd >= 0 && SendAll(m_fd, line + "\r\n"); }
    std::string Command(const std::string& line) {
        return Send(line) ? Reply() : "(connection ended)";
    }
    // A data connection from the same address, after PASV; -1 when there is none.
    int Passive() {
        const std::string reply = Command("PASV");
        unsigned h1, h2, h3, h4, p1, p2;
        const auto open = reply.find('(');
        if (reply.rfind("227", 0) != 0 || open == std::string::npos ||
            std::sscanf(reply.c_str() + open, "(%u,%u,%u,%u,%u,%u)", &h1, &h2, &h3, &h4, &p1,
                        &p2) != 6) {
            return -1;
        }
        return ConnectFrom(kClientAddress, static_cast<int>(p1 * 256 + p2));
    }

  private:
    int m_fd;
    std::string m_pending;
};

bool Is(const std::string& reply, const char* code) {
    return reply.rfind(code, 0) == 0;
}

struct Totals {
    std::atomic<long> sessions{0};
    std::atomic<long> web_requests{0};
    std::atomic<long> vanished{0};
    std::atomic<long> corrupted{0};  // found wrong while running
    // Web requests under way: kept below an address's share, so that one still being
    // closed by the service never makes the next one too many.
    std::atomic<int> asking{0};
    std::mutex mutex;
    std::vector<std::string> failures;

    void Fail(const std::string& what) {
        std::lock_guard lock(mutex);
        if (failures.size() < 20) {
            failures.push_back(what);
        }
    }
};

// One client's life: sessions of random steps on files of its own, until the deadline.
class Worker {
  public:
    Worker(int index, int ftpPort, int webPort, Totals& totals)
        : m_index(index),
          m_account(index % kAccounts),
          m_ftpPort(ftpPort),
          m_webPort(webPort),
          m_random(static_cast<unsigned>(index) * 7919u + 17u),
          m_totals(totals) {}

    void Run(Clock::time_point deadline) {
        while (Clock::now() < deadline) {
            Session();
        }
    }
    int Account() const { return m_account; }
    const std::map<std::string, Expectation>& Files() const { return m_files; }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(m_random); }
    std::string Where(const std::string& what) const {
        return "client " + std::to_string(m_index) + ": " + what;
    }

    // A settled file of this client, or "" when it has none.
    std::string SettledFile() {
        std::vector<std::string> names;
        for (const auto& [name, expectation] : m_files) {
            if (expectation.settled()) {
                names.push_back(name);
            }
        }
        return names.empty() ? "" : names[static_cast<std::size_t>(Pick(0, int(names.size()) - 1))];
    }
    std::string NewName() {
        return "c" + std::to_string(m_index) + "-" + std::to_string(m_next++) + ".bin";
    }
    Version NewVersion() {
        // Mostly small files, now and then a large one.
        const std::size_t size = Chance(0.2) ? static_cast<std::size_t>(Pick(0, kLargestFile))
                                             : static_cast<std::size_t>(Pick(0, 16 * 1024));
        return {static_cast<std::uint32_t>(m_random()), size};
    }

    void Session() {
        Control control(m_ftpPort);
        if (!control.Ok()) {
            m_totals.Fail(Where("cannot connect"));
            return;
        }
        const std::string greeting = control.Reply();
        if (!Is(greeting, "220")) {
            m_totals.Fail(Where("not greeted: " + greeting));
            return;
        }
        control.Command("USER " + AccountName(m_account));
        const std::string login = control.Command("PASS " + Password(m_account));
        if (!Is(login, "230")) {
            m_totals.Fail(Where("not logged in: " + login));
            return;
        }
        ++m_totals.sessions;
        const int steps = Pick(1, 12);
        // About a third of the sessions end by vanishing, at some step.
        const int vanish_at = Chance(0.35) ? Pick(0, steps) : -1;
        for (int step = 0; step < steps; ++step) {
            if (step == vanish_at) {
                Vanish(control);
                return;
            }
            if (!Step(control)) {
                return;
            }
        }
        if (vanish_at == steps) {
            Vanish(control);
            return;
        }
        control.Command("QUIT");
    }

    // One random step; false when the session cannot go on.
    bool Step(Control& control) {
        const int roll = Pick(0, 99);
        if (roll < 30 || m_files.empty()) {
            const std::string existing = Chance(0.3) ? SettledFile() : "";
            return Upload(control, existing.empty() ? NewName() : existing);
        }
        const std::string name = SettledFile();
        if (roll < 45 || name.empty()) {
            return List(control);
        }
        if (roll < 75) {
            return Download(control, name);
        }
        if (roll < 85) {
            return Rename(control, name);
        }
        if (roll < 93) {
            return Delete(control, name);
        }
        return AskWeb();
    }

    bool Expect(const std::string& reply, const char* code, const std::string& what) {
        if (!Is(reply, code)) {
            m_totals.Fail(Where(what + ": " + reply));
            return false;
        }
        return true;
    }

    bool Upload(Control& control, const std::string& name) {
        const Version version = NewVersion();
        const int data = control.Passive();
        if (data < 0) {
            m_totals.Fail(Where("no data connection for STOR"));
            return false;
        }
        if (!Expect(control.Command("STOR " + name), "150", "STOR " + name)) {
            CloseSocket(data, false);
            return false;
        }
        const bool sent = SendAll(data, Bytes(version));
        CloseSocket(data, false);
        const std::string reply = control.Reply();
        if (!sent || !Is(reply, "226")) {
            // Whether the new bytes were stored is not known.
            Unsettle(name, version, false);
            m_totals.Fail(Where("STOR " + name + ": " + reply));
            return false;
        }
        m_files[name] = Expectation{{version}, std::nullopt, false};
        return true;
    }

    bool List(Control& control) {
        const int data = control.Passive();
        if (data < 0 || !Expect(control.Command("LIST"), "150", "LIST")) {
            CloseSocket(data, false);
            return false;
        }
        ReadAll(data);
        CloseSocket(data, false);
        return Expect(control.Reply(), "226", "LIST");
    }

    bool Download(Control& control, const std::string& name) {
        const int data = control.Passive();
        if (data < 0 || !Expect(control.Command("RETR " + name), "150", "RETR " + name)) {
            CloseSocket(data, false);
            return false;
        }
        const std::string bytes = ReadAll(data);
        CloseSocket(data, false);
        if (!Expect(control.Reply(), "226", "RETR " + name)) {
            return false;
        }
        if (bytes != Bytes(m_files[name].versions.front())) {
            ++m_totals.corrupted;
            m_totals.Fail(Where(name + " came back changed"));
        }
        return true;
    }

    bool Rename(Control& control, const std::string& name) {
        const std::string target = NewName();
        if (!Expect(control.Command("RNFR " + name), "350", "RNFR " + name) ||
            !Expect(control.Command("RNTO " + target), "250", "RNTO " + target)) {
            return false;
        }
        m_files[target] = m_files[name];
        m_files.erase(name);
        return true;
    }

    bool Delete(Control& control, const std::string& name) {
        if (!Expect(control.Command("DELE " + name), "250", "DELE " + name)) {
            return false;
        }
        m_files.erase(name);
        return true;
    }

    bool AskWeb() {
        if (++m_totals.asking > kWebPerAddress / 2) {
            --m_totals.asking;
            return true;
        }
        const bool answered = AskWebNow();
        --m_totals.asking;
        return answered;
    }

    bool AskWebNow() {
        const int fd = ConnectFrom(kClientAddress, m_webPort);
        const bool sent =
            fd >= 0 &&
            SendAll(fd, "POST /qmanager/servlet/DownloadLimits?user=" + AccountName(m_account) +
                            "&password=" + Password(m_account) + " HTTP/1.0\r\n\r\n");
        const std::string reply = sent ? ReadAll(fd) : "";
        CloseSocket(fd, false);
        if (reply.rfind("HTTP/1.1 200 ", 0) != 0 || !reply.ends_with("\r\n\r\n10\n")) {
            m_totals.Fail(Where("download limits: " + reply.substr(0, 40)));
            return false;
        }
        ++m_totals.web_requests;
        return true;
    }

    // The file `name` may now hold what it held, any prefix of `version`, or be missing.
    void Unsettle(const std::string& name, Version version, bool may_be_missing) {
        auto& expectation = m_files[name];
        expectation.prefix_of = version;
        expectation.may_be_missing =
            expectation.may_be_missing || may_be_missing || expectation.versions.empty();
    }

    // Ends the session without a word: between steps, in a download, in an upload or right
    // after asking for a deletion.
    void Vanish(Control& control) {
        ++m_totals.vanished;
        const bool reset = Chance(0.25);
        const int how = Pick(0, 3);
        const std::string name = SettledFile();
        if (how == 1 && !name.empty()) {
            const int data = control.Passive();
            if (Is(control.Command("RETR " + name), "150")) {
                char buffer[4096];
                [[maybe_unused]] auto got = ::recv(data, buffer, sizeof buffer, 0);
            }
            control.Vanish(reset);
            CloseSocket(data, reset);
        } else if (how == 2) {
            const std::string target = name.empty() || Chance(0.5) ? NewName() : name;
            const Version version = NewVersion();
            const int data = control.Passive();
            if (Is(control.Command("STOR " + target), "150")) {
                Unsettle(target, version, false);
                const std::string bytes = Bytes(version);
                SendAll(data, std::string_view(bytes).substr(0, bytes.size() / 2));
            }
            control.Vanish(reset);
            CloseSocket(data, reset);
        } else if (how == 3 && !name.empty()) {
            control.Send("DELE " + name);
            m_files[name].may_be_missing = true;
            control.Vanish(reset);
        } else {
            control.Vanish(reset);
        }
    }

    int m_index;
    int m_account;
    int m_ftpPort;
    int m_webPort;
    std::mt19937 m_random;
    Totals& m_totals;
    std::map<std::string, Expectation> m_files;
    int m_next = 0;
};

// Holds `count` connections from `address` to `port` open, opening a new one whenever one
// ends, and with `drip` sends one byte of a never-ending line into each every second.
class Holder {
  public:
    Holder(const char* address, int port, int count, std::string drip)
        : m_address(address),
          m_port(port),
          m_fds(static_cast<std::size_t>(count), -1),
          m_drip(std::move(drip)) {}

    void Run(const std::atomic<bool>& stop) {
        auto next_drip = Clock::now();
        std::size_t dripped = 0;
        while (!stop) {
            for (auto& fd : m_fds) {
                if (fd < 0) {
                    fd = ConnectFrom(m_address, m_port);
                    m_opened += fd >= 0 ? 1 : 0;
                }
            }
            const bool drip_now = !m_drip.empty() && Clock::now() >= next_drip;
            for (auto& fd : m_fds) {
                if (fd < 0) {
                    continue;
                }
                char buffer[4096];
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                const bool ended = got == 0 ||
                                   (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK) ||
                                   (drip_now &&
                                    ::send(fd, &m_drip[dripped % m_drip.size()], 1,
                                           MSG_NOSIGNAL | MSG_DONTWAIT) < 0 &&
                                    errno != EAGAIN);
                if (ended) {
                    CloseSocket(std::exchange(fd, -1), false);
                }
            }
            if (drip_now) {
                ++dripped;
                next_drip += std::chrono::seconds(1);
            }
            // A connection turned away or pushed out is tried again a little later.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        for (auto& fd : m_fds) {
            CloseSocket(std::exchange(fd, -1), false);
        }
    }
    long Opened() const { return m_opened; }

  private:
    const char* m_address;
    int m_port;
    std::vector<int> m_fds;
    std::string m_drip;
    long m_opened = 0;
};

long ProcessFigure(pid_t pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::atol(line.c_str() + key.size() + 1);  // kB
        }
    }
    return -1;
}

long OpenDescriptors(pid_t pid) {
    long count = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error), end;
         !error && it != end; it.increment(error)) {
        ++count;
    }
    return count;
}

struct Check {
    long files = 0;
    long bytes = 0;
    long bad = 0;  // corrupted, lost or unexpected
};

// Downloads every file the clients of `account` may have left and compares it; then looks
// for anything on disk that none of them stored.
void CheckAccount(int account, const std::vector<const Worker*>& workers, int ftpPort,
                  const std::filesystem::path& folder, Check& check, Totals& totals) {
    Control control(ftpPort);
    control.Reply();
    control.Command("USER " + AccountName(account));
    if (!Is(control.Command("PASS " + Password(account)), "230")) {
        totals.Fail("check: cannot log in to " + AccountName(account));
        ++check.bad;
        return;
    }
    std::set<std::string> known;
    for (const Worker* worker : workers) {
        for (const auto& [name, expectation] : worker->Files()) {
            known.insert(name);
            const int data = control.Passive();
            const std::string first = control.Command("RETR " + name);
            std::string bytes;
            bool present = false;
            if (Is(first, "150")) {
                bytes = ReadAll(data);
                present = Is(control.Reply(), "226");
            }
            CloseSocket(data, false);
            ++check.files;
            bool good = expectation.may_be_missing && !present;
            if (present) {
                check.bytes += static_cast<long>(bytes.size());
                for (const Version& version : expectation.versions) {
                    good = good || bytes == Bytes(version);
                }
                if (expectation.prefix_of) {
                    const std::string longest = Bytes(*expectation.prefix_of);
                    good = good || longest.compare(0, bytes.size(), bytes) == 0;
                }
            }
            if (!good) {
                ++check.bad;
                totals.Fail("check: " + name + (present ? " is corrupted" : " is lost: " + first));
            }
        }
    }
    control.Command("QUIT");
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!known.count(entry.path().filename().string())) {
            ++check.bad;
            totals.Fail("check: unexpected " + entry.path().string());
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    std::vector<std::string> accounts;
    for (int i = 0; i < kAccounts; ++i) {
        accounts.push_back(AccountName(i) + ":" + Password(i));
    }
    testing_support::ServiceProcess service{accounts};
    const pid_t pid = service.Pid();
    const int ftp = service.FtpPort();
    const int web = service.WebPort();
    const long start_rss = ProcessFigure(pid, "VmRSS");
    const long start_fds = OpenDescriptors(pid);

    Totals totals;
    std::atomic<bool> stop_holders{false};
    std::vector<Holder> holders;
    holders.reserve(4);
    holders.emplace_back(kIdleFtpAddress, ftp, kFtpPerAddress, "");
    holders.emplace_back(kSlowFtpAddress, ftp, kFtpPerAddress, "USER " + std::string(4000, 's'));
    holders.emplace_back(kIdleWebAddress, web, kWebPerAddress, "");
    holders.emplace_back(kSlowWebAddress, web, kWebPerAddress,
                         "GET /" + std::string(4000, 'w') + " HTTP/1.0\r\n");
    std::vector<std::thread> holder_threads;
    for (auto& holder : holders) {
        holder_threads.emplace_back([h = &holder, &stop_holders] { h->Run(stop_holders); });
    }
    // Lets the holders take their places first.
    std::this_thread::sleep_for(std::chrono::seconds(2));

    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    std::vector<Worker> workers;
    workers.reserve(kWorkers);
    for (int i = 0; i < kWorkers; ++i) {
        workers.emplace_back(i, ftp, web, totals);
    }
    std::vector<std::thread> worker_threads;
    for (auto& worker : workers) {
        worker_threads.emplace_back([w = &worker, deadline] { w->Run(deadline); });
    }
    for (auto& thread : worker_threads) {
        thread.join();
    }
    stop_holders = true;
    for (auto& thread : holder_threads) {
        thread.join();
    }

    // Every connection is gone now; the service lets go of them a moment later.
    const auto settle = [&] {
        long open = OpenDescriptors(pid);
        for (int wait = 0; wait < 150 && open > start_fds; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            open = OpenDescriptors(pid);
        }
        return open;
    };
    settle();
    Check check;
    for (int account = 0; account < kAccounts; ++account) {
        std::vector<const Worker*> own;
        for (const auto& worker : workers) {
            if (worker.Account() == account) {
                own.push_back(&worker);
            }
        }
        CheckAccount(account, own, ftp, service.AccountDir(AccountName(account)), check, totals);
    }
    const long end_fds = settle();
    const long peak_rss = ProcessFigure(pid, "VmHWM");

    const long bad = check.bad + totals.corrupted;
    std::printf(
        "%d s of traffic: %ld sessions (%ld vanished), %ld web requests; holders opened "
        "%ld, %ld, %ld and %ld connections\n",
        seconds, totals.sessions.load(), totals.vanished.load(), totals.web_requests.load(),
        holders[0].Opened(), holders[1].Opened(), holders[2].Opened(), holders[3].Opened());
    std::printf("checked %ld files, %ld bytes: %ld corrupted, lost or unexpected\n", check.files,
                check.bytes, bad);
    std::printf(
        "service: peak RSS %.1f MiB (%.1f MiB at the start), %ld descriptors open at the "
        "end (%ld at the start)\n",
        peak_rss / 1024.0, start_rss / 1024.0, end_fds, start_fds);
    for (const auto& failure : totals.failures) {
        std::printf("failure: %s\n", failure.c_str());
    }
    std::printf(
        "| stand-in service soak, %d s of random sessions beside idle and slow clients at their "
        "per-address limits | %ld sessions served, %.1f MB checked | %ld corrupted or lost "
        "files; peak RSS %.1f MiB (%.1f at the start); %ld descriptors open at the end (%ld at "
        "the start) |\n",
        seconds, totals.sessions.load(), check.bytes / 1e6, bad, peak_rss / 1024.0,
        start_rss / 1024.0, end_fds, start_fds);
    return bad == 0 && totals.failures.empty() && end_fds <= start_fds ? 0 : 1;
}
