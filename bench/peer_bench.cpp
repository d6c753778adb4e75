// This program against curl and lftp on the same files in the same run, against the stand-in
// service on loopback: bulk transfers (MB/s, next to a bare loop with large buffers), many
// small files and a listing over a relay that delays every byte 25 ms each way on control and
// data connections (round trips), and the peak memory of a headless 1 GiB download. Every
// figure counts only runs whose bytes arrived and were compared with the ones sent. Measures
// only: a figure never fails it, but a failed run or a wrong byte does (exit status 1).
// Arguments, if any, pick cases by name: "peer_bench small listing".

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bare_ftp_client.h"
#include "checked_files.h"
#include "peer_commands.h"
#include "peer_table.h"
#include "support/latency_relay.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;
using testing_support::LatencyRelay;
using testing_support::TempFolder;

constexpr std::uint64_t kBulkSize = 256ull << 20;
constexpr std::uint64_t kMemorySize = 1ull << 30;
constexpr int kBulkRounds = 2;
constexpr int kSmallFiles = 100;
constexpr std::uint64_t kSmallSize = 4096;
constexpr int kListedFiles = 200;
constexpr auto kOneWay = std::chrono::milliseconds(25);
constexpr double kRoundTripSeconds = 2 * 0.025;

// The service with one account, and the remote folder every job works in.
struct Service {
    testing_support::ServiceProcess process{{"alice:secret"}};
    std::filesystem::path folder = process.AccountDir("alice") / "My Device on Stowbox";

    void Clear() const {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
};

// A fresh local folder and scratch folder for one run.
struct Run {
    TempFolder local{"peer-bench-local"};
    TempFolder scratch{"peer-bench-home"};
    Job JobAt(const Service& service, int ftpPort) const {
        return Job{ftpPort, service.process.WebPort(), local.Path(), scratch.Path()};
    }
};

std::vector<std::string> Names(const char* stem, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%03d.bin", stem, i);
        names.push_back(name);
    }
    return names;
}

// "" when every named file came from `from` to `to` whole.
std::string Arrived(const std::vector<std::string>& names, const std::filesystem::path& from,
                    const std::filesystem::path& to) {
    for (const auto& name : names) {
        if (const auto difference = Difference(from / name, to / name); !difference.empty()) {
            return name + ": " + difference;
        }
    }
    return "";
}

// Runs a child and checks what it moved; the figure from its run, or why there is none.
Figure Measured(const ChildCommand& command, const std::function<std::string()>& check,
                const std::function<double(const ChildRun&)>& figure) {
    const ChildRun run = RunChild(command);
    Figure result;
    result.measured = true;
    result.failure = run.ok ? check() : run.failure;
    result.value = result.Ok() ? figure(run) : 0;
    return result;
}

double MegabytesPerSecond(std::uint64_t size, double seconds) {
    return static_cast<double>(size) / 1e6 / seconds;
}

Row Headed(std::string name, std::string unit, std::string goal) {
    Row row;
    row.name = std::move(name);
    row.unit = std::move(unit);
    row.goal = std::move(goal);
    return row;
}

Figure& FigureOf(Row& row, Peer peer) {
    return peer == Peer::Program ? row.program : peer == Peer::Curl ? row.curl : row.lftp;
}

Figure BareTransfer(const Service& service, bool download, const std::filesystem::path& local) {
    const auto start = Clock::now();
    BareFtpClient client(service.process.FtpPort(), "alice", "secret", "My Device on Stowbox");
    const bool done = download ? client.Download("big.bin", local / "big.bin")
                               : client.Upload(local / "big.bin", "big.bin");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Figure figure;
    figure.measured = true;
    figure.failure = done ? (download ? Difference(service.folder / "big.bin", local / "big.bin")
                                      : Difference(local / "big.bin", service.folder / "big.bin"))
                          : "bare loop: " + client.Failure();
    figure.value = figure.Ok() ? MegabytesPerSecond(kBulkSize, seconds) : 0;
    return figure;
}

// A run that uploads `sent`: its local folder holds it, the remote folder not yet.
void StageUpload(const Service& service, const std::filesystem::path& sent, const Run& run) {
    std::filesystem::copy_file(sent, run.local.Path() / "big.bin");
    std::filesystem::remove(service.folder / "big.bin");
}

Figure BulkRun(const Service& service, Peer peer, bool download,
               const std::filesystem::path& sent) {
    Run run;
    if (!download) {
        StageUpload(service, sent, run);
    }
    const auto from = download ? service.folder : run.local.Path();
    const auto to = download ? run.local.Path() : service.folder;
    const Job job = run.JobAt(service, service.process.FtpPort());
    return Measured(
        download ? Download(peer, job, {"big.bin"}) : Upload(peer, job, {"big.bin"}),
        [&] { return Arrived({"big.bin"}, from, to); },
        [](const ChildRun& child) { return MegabytesPerSecond(kBulkSize, child.seconds); });
}

// 256 MiB one way, the best of a few rounds of each.
Row Bulk(const Service& service, bool download) {
    Row row = Headed(download ? "download 256 MiB" : "upload 256 MiB", "MB/s", "≥ 0.8 of curl");
    row.bare = Figure{};
    service.Clear();
    TempFolder source{"peer-bench-source"};
    const auto sent = (download ? service.folder : source.Path()) / "big.bin";
    WritePatternFile(sent, kBulkSize);
    for (int round = 0; round < kBulkRounds; ++round) {
        for (const Peer peer : kPeers) {
            FigureOf(row, peer).Keep(BulkRun(service, peer, download, sent), true);
        }
        Run bare;
        if (!download) {
            StageUpload(service, sent, bare);
        }
        row.bare->Keep(BareTransfer(service, download, bare.local.Path()), true);
    }
    return row;
}

// One job over the relay: what is there before, the command, and the check of its bytes.
struct RelayedCase {
    std::function<void(const Run&)> prepare;
    std::function<ChildCommand(Peer, const Job&)> command;
    std::function<std::string(Peer, const Run&)> check;
};

// The seconds of the job through a relay that holds every byte `oneWay`, best of `rounds`.
Figure Timed(const Service& service, const RelayedCase& job, Peer peer,
             std::chrono::milliseconds oneWay, int rounds) {
    LatencyRelay relay(static_cast<std::uint16_t>(service.process.FtpPort()),
                       LatencyRelay::Options{oneWay, oneWay, true});
    Figure best;
    for (int round = 0; round < rounds; ++round) {
        Run run;
        job.prepare(run);
        best.Keep(Measured(
                      job.command(peer, run.JobAt(service, relay.Port())),
                      [&] { return job.check(peer, run); },
                      [](const ChildRun& child) { return child.seconds; }),
                  false);
    }
    return best;
}

// What the delay added to the job's time, counted in round trips and divided by `per`:
// the time of the same job without delay holds the programs' own work.
Figure RoundTrips(const Service& service, const RelayedCase& job, Peer peer, int per, int rounds) {
    const Figure quick = Timed(service, job, peer, std::chrono::milliseconds(0), rounds);
    Figure slow = Timed(service, job, peer, kOneWay, rounds);
    if (!quick.Ok()) {
        return quick;
    }
    if (slow.Ok()) {
        slow.value = (slow.value - quick.value) / kRoundTripSeconds / per;
    }
    return slow;
}

Row SmallFiles(const Service& service, bool download) {
    Row row =
        Headed(download ? "100 × 4 KiB download" : "100 × 4 KiB upload", "round trips per file",
               download ? "≤ 1.2 round trips per file" : "≤ 2.2 round trips per file");
    const auto names = Names("small", kSmallFiles);
    TempFolder source{"peer-bench-source"};
    for (int i = 0; i < kSmallFiles; ++i) {
        WritePatternFile(source.Path() / names[i], kSmallSize, i);
    }
    const RelayedCase job{
        [&](const Run& run) {
            service.Clear();
            std::filesystem::copy(source.Path(), download ? service.folder : run.local.Path());
        },
        [&](Peer peer, const Job& at) {
            return download ? Download(peer, at, names) : Upload(peer, at, names);
        },
        [&](Peer, const Run& run) {
            return Arrived(names, source.Path(), download ? run.local.Path() : service.folder);
        }};
    for (const Peer peer : kPeers) {
        FigureOf(row, peer) = RoundTrips(service, job, peer, kSmallFiles, 1);
    }
    return row;
}

// "" when the listing names every file with its size.
std::string ListingDifference(const std::filesystem::path& listing) {
    std::ifstream file(listing);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(" " + line + " ");
    }
    const auto names = Names("photo", kListedFiles);
    for (int i = 0; i < kListedFiles; ++i) {
        const std::string& name = names[i];
        const std::string size = " " + std::to_string(1000 + i) + " ";
        bool found = false;
        for (const auto& line : lines) {
            found = found || (line.find(" " + name) != std::string::npos &&
                              line.find(size) != std::string::npos);
        }
        if (!found) {
            return "the listing lacks " + name + " with its size";
        }
    }
    return "";
}

Row Listing(const Service& service) {
    Row row = Headed("log in, list 200 files with sizes, exit", "round trips", "≤ 8 round trips");
    const auto names = Names("photo", kListedFiles);
    service.Clear();
    for (int i = 0; i < kListedFiles; ++i) {
        std::ofstream(service.folder / names[i]) << std::string(1000 + i, 'x');
    }
    const RelayedCase job{
        [](const Run&) {}, [](Peer peer, const Job& at) { return List(peer, at, kListedFiles); },
        [](Peer peer, const Run& run) {
            return peer == Peer::Program ? ""
                                         : ListingDifference(run.scratch.Path() / "listing.txt");
        }};
    for (const Peer peer : kPeers) {
        FigureOf(row, peer) = RoundTrips(service, job, peer, 1, 2);
    }
    return row;
}

Row PeakMemory(const Service& service) {
    Row row = Headed("peak memory, 1 GiB download", "MiB", "≤ 12 MiB");
    service.Clear();
    WritePatternFile(service.folder / "big.bin", kMemorySize);
    for (const Peer peer : kPeers) {
        Run run;
        FigureOf(row, peer) = Measured(
            Download(peer, run.JobAt(service, service.process.FtpPort()), {"big.bin"}),
            [&] { return Arrived({"big.bin"}, service.folder, run.local.Path()); },
            [](const ChildRun& child) { return child.peakKibibytes / 1024.0; });
    }
    return row;
}

}  // namespace

bool Picked(const std::string& name, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (name.find(argv[i]) != std::string::npos) {
            return true;
        }
    }
    return argc < 2;
}

int main(int argc, char** argv) {
    Service service;
    std::vector<Row> rows;
    const std::vector<std::pair<const char*, std::function<Row()>>> cases{
        {"bulk download", [&] { return Bulk(service, true); }},
        {"bulk upload", [&] { return Bulk(service, false); }},
        {"small uploads", [&] { return SmallFiles(service, false); }},
        {"small downloads", [&] { return SmallFiles(service, true); }},
        {"listing", [&] { return Listing(service); }},
        {"peak memory", [&] { return PeakMemory(service); }},
    };
    bool failed = false;
    for (const auto& [name, measure] : cases) {
        if (!Picked(name, argc, argv)) {
            continue;
        }
        std::fprintf(stderr, "peer bench: %s\n", name);
        rows.push_back(measure());
        failed = failed || rows.back().Failed();
    }
    service.Clear();
    std::printf(
        "This program (the whole program, headless) against curl and lftp, the same files in "
        "the same run. ÷: this program's figure over theirs (MB/s: above 1 is faster; round "
        "trips and memory: below 1 is fewer). MB/s: the best of %d runs, program start to "
        "end. Round trips: what a relay holding every byte 25 ms each way on control and data "
        "connections (connecting itself costs none) adds to the run, over 50 ms.\n\n%s",
        kBulkRounds, Table(rows).c_str());
    return failed ? 1 : 0;
}
