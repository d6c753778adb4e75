#pragma once
// Runs another program for the benches and measures it: wall time from start to end, its peak
// memory, how it ended and the tail of what it wrote to standard error.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct ChildRun {
    bool ok = false;         // ended by itself with status 0
    std::string failure;     // why not: "exit status 3: ...", "killed after 300 s"
    double seconds = 0;      // wall time, start to end
    long peakKibibytes = 0;  // its maximum resident set size
};

struct ChildCommand {
    std::vector<std::string> argv;  // argv[0] is a path or a name looked up in PATH
    std::filesystem::path workingDir;
    std::filesystem::path home;    // HOME and XDG_CONFIG_HOME go below it, away from the user's
    std::filesystem::path output;  // where standard output goes; empty: nowhere
    std::chrono::seconds timeout{300};
};

ChildRun RunChild(const ChildCommand& command);

}  // namespace bench
