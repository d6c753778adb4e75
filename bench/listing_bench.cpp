// Lists and sorts a device folder of n entries the way the file manager's Local view does,
// through the headless front end: one window opened on the folder and closed again. Prints
// the time per entry and, at the end, how the time grows from 1,000 to 10,000 entries
// (n log n gives about 13 times, n squared 100 times). Measures only.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "filemanager/file_manager_dlg.h"
#include "headless/headless_frontend.h"
#include "platform/device.h"
#include "script/script.h"
#include "script/script_player.h"

namespace {

namespace stdfs = std::filesystem;

enum class Names { Lower, MixedCase };

// A device root holding n entries, every tenth a folder; removed at exit.
class DeviceRoot {
  public:
    DeviceRoot(int count, Names names) {
        std::string pattern = (stdfs::temp_directory_path() / "stowbox-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        m_path = pattern;
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%s%05d.txt",
                          names == Names::MixedCase && i % 2 == 1 ? "Entry" : "entry", i);
            if (i % 10 == 0) {
                stdfs::create_directory(m_path / name);
            } else {
                std::ofstream(m_path / name)
                    << std::string(static_cast<std::size_t>(i % 3000), 'x');
            }
        }
    }
    ~DeviceRoot() {
        std::error_code ignored;
        stdfs::remove_all(m_path, ignored);
    }
    DeviceRoot(const DeviceRoot&) = delete;
    DeviceRoot& operator=(const DeviceRoot&) = delete;
    const stdfs::path& Path() const { return m_path; }

  private:
    stdfs::path m_path;
};

const DeviceRoot& RootWith(int count, Names names) {
    static std::map<std::pair<int, Names>, std::unique_ptr<DeviceRoot>> roots;
    auto& root = roots[{count, names}];
    if (!root) {
        root = std::make_unique<DeviceRoot>(count, names);
    }
    return *root;
}

// Opens a file manager window on the device's top folder (listing and sorting it) and
// confirms EXIT.
void OpenAndClose(const stdfs::path& root, int count) {
    std::ostringstream transcript;
    script::ScriptPlayer player(script::ParseScript("answer yes\ncommand 32792\n").steps,
                                transcript);
    headless::HeadlessFrontend frontend(player);
    platform::Device device(frontend, root);
    platform::ActiveDevice active(device);
    CFileManagerDlg window;
    window.RunModal();
    if (window.m_listFiles.GetItemCount() != count) {
        throw std::logic_error("the folder was not listed whole");
    }
}

void ListLocalFolder(benchmark::State& state, Names names) {
    const int count = static_cast<int>(state.range(0));
    const DeviceRoot& root = RootWith(count, names);
    for (auto _ : state) {
        OpenAndClose(root.Path(), count);
    }
    state.counters["per_entry"] =
        benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ListLocalFolder(benchmark::State& state) {
    ListLocalFolder(state, Names::Lower);
}
void BM_ListLocalFolderMixedCase(benchmark::State& state) {
    ListLocalFolder(state, Names::MixedCase);
}

BENCHMARK(BM_ListLocalFolder)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListLocalFolderMixedCase)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

// Keeps the time of every run so that the growth can be printed at the end.
class GrowthReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            if (slash != std::string::npos && run.run_type == Run::RT_Iteration) {
                m_times[name.substr(0, slash)][std::stoi(name.substr(slash + 1))] =
                    run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintGrowth() const {
        const double nLogN = (10000 * std::log(10000.0)) / (1000 * std::log(1000.0));
        for (const auto& [family, times] : m_times) {
            const auto small = times.find(1000);
            const auto large = times.find(10000);
            if (small == times.end() || large == times.end() || small->second <= 0) {
                continue;
            }
            std::printf("%s: 10,000 / 1,000 entries = %.1f times (n log n: %.1f, n^2: 100)\n",
                        family.c_str(), large->second / small->second, nLogN);
            // A row of the bench command's table; the times are per run, in milliseconds.
            std::printf(
                "| %s per entry | %.2f us at 1,000, %.2f us at 10,000 | per-entry ratio "
                "%.2f (n log n: %.2f) |\n",
                family.c_str(), small->second * 1e3 / 1000, large->second * 1e3 / 10000,
                (large->second / 10000) / (small->second / 1000), nLogN / 10);
        }
    }

  private:
    std::map<std::string, std::map<int, double>> m_times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintGrowth();
    benchmark::Shutdown();
    return 0;
}
