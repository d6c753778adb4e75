// The executables' command lines as a person meets them: --version, --help, refused options,
// where the program keeps the device's files when no --device-root is given, the device
// settings file, and the GUI program that `stowbox` starts for the display.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/fd.h"
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
        // Options for the tests are not a person's business.
        EXPECT_EQ(help.output.find("--fail-socket-startup"), std::string::npos) << help.output;

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
            // No settings file of the person running the tests takes part.
            Shell("env XDG_CONFIG_HOME=" + Quoted(device.Path().string()) + " " +
                  Quoted(STOWBOX_CLIENT_PATH) + " --headless --script - " + "--device-root " +
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

// A loopback port bound but not listening: a connection to it is refused while this lives.
struct ClosedPort {
    testing_support::Fd socket{::socket(AF_INET, SOCK_STREAM, 0)};
    std::string address;
    ClosedPort() {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof local;
        auto* any = reinterpret_cast<sockaddr*>(&local);
        if (::bind(socket.Get(), any, size) == 0 && ::getsockname(socket.Get(), any, &size) == 0) {
            address = "127.0.0.1:" + std::to_string(ntohs(local.sin_port));
        }
    }
};

// The settings file below XDG_CONFIG_HOME: its values taken (paths beside the file or below
// home), the command line winning, and every kind of bad line refused before the start with
// the file and the line. A log-in against a closed port shows where the address was set.
TEST(Executables, TakeDeviceSettingsFromTheirFileBelowTheCommandLine) {
    const ClosedPort inFile;
    const ClosedPort onCommandLine;
    ASSERT_FALSE(inFile.address.empty() || onCommandLine.address.empty());
    struct Case {
        std::string file;  // nothing written when empty
        std::string options;
        int status;
        std::string output;            // what the output holds, CONF standing for the file's path
        std::filesystem::path device;  // below the home folder, when the case makes one
    };
    const std::string settings =
        "# the service on this machine\n\n  device-root = dev  \nserver=" + inFile.address +
        "\r\ntls = off\n";
    const Case cases[] = {
        {settings, "", 0,
         "stowbox: no FTP server answered at " + inFile.address + " (set in CONF line 4)\n",
         "config/stowbox/dev"},
        {settings, "--server " + onCommandLine.address, 0,
         "stowbox: no FTP server answered at " + onCommandLine.address + " (set by --server)\n",
         "config/stowbox/dev"},
        {"device-root = ~/mine\nscale = 2\nweb = https://127.0.0.1:8443\nca-file = ca.pem\n",
         "--server " + onCommandLine.address, 0, "(set by --server)", "mine"},
        {"server 127.0.0.1:2121\n", "", 2, "stowbox: CONF line 1: not a 'name = value' line\n", {}},
        {"\n# x\nport = 21\n", "", 2, "stowbox: CONF line 3: unknown setting 'port' (known: ", {}},
        {"scale = 9\n",
         "--scale 2",
         2,
         "stowbox: CONF line 1: scale needs a whole number from 1 to 8\n",
         {}},
        {"server = 127.0.0.1:2121\nserver = 127.0.0.1:2122\n",
         "",
         2,
         "stowbox: CONF line 2: server is already set on line 1\n",
         {}},
        {"tls = \n", "", 2, "stowbox: CONF line 1: tls has no value\n", {}},
        {"", "", 2, "stowbox: cannot read the settings file CONF: Is a directory\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + c.options);
        const testing_support::TempFolder home("stowbox-home");
        const std::filesystem::path conf = home.Path() / "config/stowbox/device.conf";
        if (c.file.empty()) {
            std::filesystem::create_directories(conf);
        } else {
            testing_support::WriteHostFile(conf, c.file);
        }
        const auto script =
            home.WriteFile("login.script",
                           "type IDC_USERNAME \"u\"\ntype IDC_PASSWORD \"p\"\nclick IDC_LOGIN\n"
                           "expect box \"Error Connecting to Server\"\ncommand IDCANCEL\n");
        const ShellRun run = Shell("env HOME=" + Quoted(home.Path().string()) +
                                   " XDG_CONFIG_HOME=" + Quoted((home.Path() / "config").string()) +
                                   " " + Quoted(STOWBOX_CLIENT_PATH) + " --headless --script " +
                                   Quoted(script.string()) + " " + c.options);
        EXPECT_EQ(run.status, c.status) << run.output;
        std::string expected = c.output;
        if (const auto at = expected.find("CONF"); at != std::string::npos) {
            expected.replace(at, 4, conf.string());
        }
        EXPECT_NE(run.output.find(expected), std::string::npos) << run.output;
        if (!c.device.empty()) {
            EXPECT_TRUE(std::filesystem::is_directory(home.Path() / c.device)) << run.output;
        }
    }
}

// Without an absolute XDG_CONFIG_HOME the file is the one below ~/.config.
TEST(Executables, ReadDeviceSettingsBelowTheHomeFolderWithoutXdgConfigHome) {
    const testing_support::TempFolder home("stowbox-home");
    const auto conf = home.WriteFile(".config/stowbox/device.conf", "web = ftp://127.0.0.1:21\n");
    const ShellRun run = Shell(
        "cd " + Quoted(home.Path().string()) + " && env HOME=" + Quoted(home.Path().string()) +
        " XDG_CONFIG_HOME=config " + Quoted(STOWBOX_CLIENT_PATH) + " --headless --script -");
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_EQ(run.output.rfind("stowbox: " + conf.string() + " line 1: web needs HOST:PORT", 0), 0u)
        << run.output;
}

// `stowbox` loads no GUI toolkit; for the display it starts the GUI program lying beside it
// (found from the real executable, not the name it was started by) with its command line, and
// says which file it tried when that program is missing or cannot be run.
TEST(Executables, LoadNoToolkitAndStartTheGuiProgramBesideThemForTheDisplay) {
    const ShellRun libraries =
        Shell("env LD_TRACE_LOADED_OBJECTS=1 " + Quoted(STOWBOX_CLIENT_PATH));
    EXPECT_NE(libraries.output.find("libc.so"), std::string::npos) << libraries.output;
    for (const char* toolkit : {"libQt", "libicu"}) {
        EXPECT_EQ(libraries.output.find(toolkit), std::string::npos) << libraries.output;
    }

    const testing_support::TempFolder home("stowbox-home");
    const std::filesystem::path client = STOWBOX_CLIENT_PATH;
    const std::filesystem::path gui =
        std::filesystem::path(STOWBOX_GUI_PATH).lexically_relative(client.parent_path());
    std::filesystem::create_directories(home.Path() / "link");
    std::filesystem::create_symlink(client, home.Path() / "link/stowbox");
    for (const char* copy : {"missing/bin", "unusable/bin"}) {
        std::filesystem::create_directories(home.Path() / copy);
        std::filesystem::copy_file(client, home.Path() / copy / "stowbox");
    }
    const auto unusable = home.WriteFile(std::filesystem::path("unusable/bin") / gui, "x");
    const auto missing = (home.Path() / "missing/bin" / gui).lexically_normal();
    struct Case {
        std::filesystem::path program;
        int status;
        std::string output;  // what the output holds
    };
    const std::string refusal = "stowbox: cannot start the GUI program ";
    const Case cases[] = {
        {client, 3, "window open \"Kestra\" CLoginDlg\n"},
        {home.Path() / "link/stowbox", 3, "window open \"Kestra\" CLoginDlg\n"},
        {home.Path() / "missing/bin/stowbox", 2,
         refusal + missing.string() + ": No such file or directory\n"},
        {home.Path() / "unusable/bin/stowbox", 2,
         refusal + unusable.lexically_normal().string() + ": Permission denied\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        // An empty script played in the widgets: the log-in window opens, the script runs out.
        const ShellRun run = Shell(
            "env QT_QPA_PLATFORM=offscreen HOME=" + Quoted(home.Path().string()) +
            " XDG_CONFIG_HOME=" + Quoted(home.Path().string()) + " " + Quoted(c.program.string()) +
            " --script - --device-root " + Quoted(home.Path().string()));
        EXPECT_EQ(run.status, c.status) << run.output;
        EXPECT_NE(run.output.find(c.output), std::string::npos) << run.output;
    }
}

}  // namespace
