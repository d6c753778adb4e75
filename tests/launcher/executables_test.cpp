// The executables' command lines as a person meets them: --version, --help, refused options,
// and where the program keeps the device's files when no --device-root is given.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace {

struct ShellRun {
    int status = -1;
    std::string output;  // standard output and error
};

// Runs a shell command line with standard input from /dev/null.
ShellRun Shell(const std::string& command) {
    ShellRun run;
    FILE* pipe = ::popen((command + " </dev/null 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer;
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.output.append(buffer.data(), got);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The paths here are the build's and the temporary folders': they hold no quotes.
std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

struct Executable {
    std::string name;
    std::string path;
};

TEST(Executables, AnswerVersionAndHelpAndRefuseUnknownOptions) {
    for (const Executable& program : {Executable{"stowbox", STOWBOX_CLIENT_PATH},
                                      Executable{"stowbox-service", STOWBOX_SERVICE_PATH}}) {
        SCOPED_TRACE(program.name);
        const ShellRun version = Shell(Quoted(program.path) + " --version");
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.output, program.name + " " + STOWBOX_VERSION + "\n");

        const ShellRun help = Shell(Quoted(program.path) + " --help");
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.output.rfind("Usage: " + program.name + " ", 0), 0u) << help.output;
        EXPECT_NE(help.output.find("\n  --help "), std::string::npos) << help.output;
        EXPECT_NE(help.output.find("\n  --version "), std::string::npos) << help.output;
        EXPECT_NE(help.output.find("\nExamples:\n  " + program.name + " --"), std::string::npos)
            << help.output;

        const ShellRun unknown = Shell(Quoted(program.path) + " --frobnicate");
        EXPECT_EQ(unknown.status, 2);
        EXPECT_EQ(unknown.output.rfind(program.name + ": ", 0), 0u) << unknown.output;
        EXPECT_NE(unknown.output.find("--frobnicate"), std::string::npos) << unknown.output;
    }
}

// Option values: a usable one starts the program (an empty script then runs out: 3), any
// other stops it before the start with a line naming the option (2).
TEST(Executables, TakeUsableNetworkOptionValuesAndRefuseOthers) {
    const testing_support::TempFolder device("stowbox-device");
    struct Case {
        const char* options;
        int status;
        const char* refusal;
    };
    const Case cases[] = {
        {"--tls off --web 127.0.0.1:8080", 3, nullptr},
        {"--tls require --web HTTPS://127.0.0.1:8443/", 3, nullptr},
        {"--tls try --web http://localhost:80", 3, nullptr},
        {"--tls maybe", 2, "stowbox: --tls needs off, try or require, not 'maybe'"},
        {"--web https://127.0.0.1", 2, "stowbox: --web needs HOST:PORT, http://HOST:PORT"},
        {"--web ftp://127.0.0.1:21", 2, "stowbox: --web needs HOST:PORT, http://HOST:PORT"},
        {"--server https://127.0.0.1:21", 2, "stowbox: --server needs HOST:PORT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const ShellRun run =
            Shell(Quoted(STOWBOX_CLIENT_PATH) + " --headless --script - " + "--device-root " +
                  Quoted(device.Path().string()) + " " + c.options);
        EXPECT_EQ(run.status, c.status) << run.output;
        if (c.refusal != nullptr) {
            EXPECT_EQ(run.output.rfind(c.refusal, 0), 0u) << run.output;
        }
    }
}

TEST(Executables, KeepTheDevicesFilesUnderTheUsersDataFolderByDefault) {
    const testing_support::TempFolder home("stowbox-home");
    const std::string h = home.Path().string();
    struct Case {
        std::string environment;
        std::filesystem::path device;
    };
    const Case cases[] = {
        {"env -u XDG_DATA_HOME HOME=" + Quoted(h + "/a"),
         home.Path() / "a/.local/share/stowbox/device"},
        {"env HOME=" + Quoted(h + "/b") + " XDG_DATA_HOME=" + Quoted(h + "/data"),
         home.Path() / "data/stowbox/device"},
        // A relative XDG_DATA_HOME is ignored rather than taken from the working folder.
        {"cd " + Quoted(h) + " && env HOME=" + Quoted(h + "/c") + " XDG_DATA_HOME=relative",
         home.Path() / "c/.local/share/stowbox/device"},
    };
    for (const Case& c : cases) {
        // An empty script: the program starts, creates its device folder and waits to log in.
        const ShellRun run =
            Shell(c.environment + " " + Quoted(STOWBOX_CLIENT_PATH) + " --headless --script -");
        EXPECT_EQ(run.status, 3) << c.environment << '\n' << run.output;
        EXPECT_TRUE(std::filesystem::is_directory(c.device)) << c.environment << '\n' << run.output;
    }
    EXPECT_FALSE(std::filesystem::exists(home.Path() / "relative"));
}

}  // namespace
