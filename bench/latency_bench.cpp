// What a slow link costs: the client against the stand-in service through a relay that holds
// every reply for D ms, at D = 0, 20 and 50. Each step is printed as a count of D, the
// number of round trips it costs: (time at D - time at 0) / D. Measures only.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ftp/ftp_session.h"
#include "headless/run_script.h"
#include "support/latency_relay.h"
#include "support/service_process.h"
#include "support/test_device.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::LatencyRelay;
using testing_support::TestDevice;

constexpr int kListedFiles = 200;
constexpr int kSmallFiles = 20;
constexpr int kDelays[] = {0, 20, 50};
const char* const kLogin = "type 1001 \"alice\"\ntype 1002 \"secret\"\nclick 1003\n";
const char* const kExit = "answer yes\ncommand 32792\n";

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "latency bench: %s\n", what.c_str());
    std::exit(1);
}

void WriteFile(const std::filesystem::path& path, std::size_t size) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

// The account: 200 files and a folder in the remote root, 20 small files in "small".
void FillAccount(const std::filesystem::path& account) {
    const auto root = account / "My Device on Stowbox";
    std::filesystem::create_directories(root / "small");
    for (int i = 0; i < kListedFiles; ++i) {
        WriteFile(root / ("photo" + std::to_string(i) + ".jpg"), 1000 + i);
    }
    for (int i = 0; i < kSmallFiles; ++i) {
        WriteFile(root / "small" / ("note" + std::to_string(i) + ".txt"), 2000 + i);
    }
}

// The program run by a script through the relay: login, maybe the Remote view, EXIT.
double RunProgram(std::uint16_t port, const std::filesystem::path& device, bool listRemote) {
    script::DeviceOptions options;
    options.root = device;
    options.ftpServer = platform::net::Endpoint{"127.0.0.1", port};
    const std::string script =
        std::string(kLogin) +
        (listRemote ? "command 32789\nexpect rows " + std::to_string(kListedFiles + 1) + "\n"
                    : "") +
        kExit;
    std::ostringstream transcript;
    const auto start = Clock::now();
    const auto result = headless::RunScriptText(script, options, transcript);
    const double seconds = Seconds(start);
    if (result.status != 0) {
        Fail("script: " + result.message);
    }
    return seconds;
}

// A session logged in through the relay on a test device routed to it.
struct Client {
    explicit Client(std::uint16_t port) : device(Routed(port)) {}
    static TestDevice::Options Routed(std::uint16_t port) {
        TestDevice::Options options;
        options.ftpPort = port;
        options.ioTimeout = std::chrono::seconds(60);
        return options;
    }
    TestDevice device;
    CFtpSession session;
};

double Login(std::uint16_t port) {
    Client client(port);
    const auto start = Clock::now();
    if (!client.session.Connect(L"127.0.0.1", 21) || !client.session.Login(L"alice", L"secret")) {
        Fail("login");
    }
    return Seconds(start);
}

void LoggedInAt(Client& client, const std::wstring& folder) {
    if (!client.session.Connect(L"127.0.0.1", 21) || !client.session.Login(L"alice", L"secret")) {
        Fail("login");
    }
    client.session.SendCommand(L"CWD " + folder);
    client.session.ReadReply();
}

double Downloads(std::uint16_t port) {
    Client client(port);
    LoggedInAt(client, L"/My Device on Stowbox/small");
    const auto start = Clock::now();
    for (int i = 0; i < kSmallFiles; ++i) {
        const std::wstring name = L"note" + std::to_wstring(i) + L".txt";
        if (!client.session.RetrieveFile(name, name)) {
            Fail("download");
        }
    }
    return Seconds(start);
}

// What a refill of the list after a paste asks: PWD, LIST and one SIZE per file, the sizes
// pipelined (or one after the other, as before).
double Refill(std::uint16_t port, bool pipelined) {
    Client client(port);
    LoggedInAt(client, L"/My Device on Stowbox");
    const auto start = Clock::now();
    std::wstring listing;
    client.session.List(client.session.GetCurrentDir(), listing);
    std::vector<std::wstring> commands;
    for (int i = 0; i < kListedFiles; ++i) {
        commands.push_back(L"SIZE photo" + std::to_wstring(i) + L".jpg");
    }
    if (pipelined) {
        const auto replies = client.session.ExchangePipelined(commands);
        if (replies.back().rfind(L"213 ", 0) != 0) {
            Fail("refill sizes");
        }
    } else {
        for (const auto& command : commands) {
            client.session.SendCommand(command);
            client.session.ReadReply();
        }
    }
    if (std::count(listing.begin(), listing.end(), L'\n') != kListedFiles + 1) {
        Fail("refill listing");
    }
    return Seconds(start);
}

struct Step {
    const char* name;
    std::function<double(std::uint16_t port, const std::filesystem::path& device)> time;
    const char* note;
};

}  // namespace

int main() {
    testing_support::ServiceProcess service{{"alice:secret"}};
    FillAccount(service.AccountDir("alice"));
    testing_support::TempFolder device;
    const std::vector<Step> steps{
        {"login (greeting, USER, PASS)",
         [](std::uint16_t port, const std::filesystem::path&) { return Login(port); }, ""},
        {"remote listing, 200 files",
         [](std::uint16_t port, const std::filesystem::path& root) {
             // The best of each run apart: a difference of two single runs is mostly noise.
             double with = 1e9, without = 1e9;
             for (int run = 0; run < 3; ++run) {
                 with = std::min(with, RunProgram(port, root, true));
                 without = std::min(without, RunProgram(port, root, false));
             }
             return with - without;
         },
         "Remote view command: CWD, PWD, LIST, 200 SIZE"},
        {"download of 20 small files",
         [](std::uint16_t port, const std::filesystem::path&) { return Downloads(port); },
         "TYPE, PASV, RETR, 226 each"},
        {"refill after a paste, 200 files",
         [](std::uint16_t port, const std::filesystem::path&) { return Refill(port, true); },
         "PWD, LIST, 200 SIZE"},
        {"same refill, one SIZE at a time",
         [](std::uint16_t port, const std::filesystem::path&) { return Refill(port, false); },
         "for comparison: the old way"},
    };
    std::printf("%-36s", "round trips (count of D)");
    for (const int delay : kDelays) {
        std::printf("   D=%2d ms", delay);
    }
    std::printf("\n");
    for (const Step& step : steps) {
        std::vector<double> seconds;
        for (const int delay : kDelays) {
            LatencyRelay relay(static_cast<std::uint16_t>(service.FtpPort()),
                               std::chrono::milliseconds(delay));
            // The best of three runs: the figure is the link's, not the machine's hiccups.
            double best = 1e9;
            for (int run = 0; run < 3; ++run) {
                best = std::min(best, step.time(relay.Port(), device.Path()));
            }
            seconds.push_back(best);
        }
        std::printf("%-36s %7.1f ms", step.name, seconds[0] * 1e3);
        std::string counts;
        for (std::size_t i = 1; i < seconds.size(); ++i) {
            const double count = (seconds[i] - seconds[0]) * 1e3 / kDelays[i];
            std::printf(" %8.1f D", count);
            char text[32];
            std::snprintf(text, sizeof text, "%s%.1f D at %d ms", counts.empty() ? "" : ", ", count,
                          kDelays[i]);
            counts += text;
        }
        std::printf("\n");
        // A row of the bench command's table.
        std::printf("| %s | %s | %s |\n", step.name, counts.c_str(), step.note);
    }
    return 0;
}
