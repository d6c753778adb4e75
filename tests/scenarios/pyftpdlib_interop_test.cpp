// The whole program against a widely used standard FTP server (Debian's pyftpdlib): it must
// show the user what it shows against the stand-in service, and move the same bytes.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ftp/ftp_session.h"
#include "headless/run_script.h"
#include "mixed_script_folder.h"
#include "script/run_program.h"
#include "support/fd.h"
#include "support/program_state.h"
#include "support/scripted_ftp_server.h"
#include "support/server_certificates.h"
#include "support/temp_folder.h"
#include "support/test_device.h"

extern char** environ;

namespace {

using testing_support::Fd;
using testing_support::ReadHostFile;
using testing_support::ScriptedFtpServer;
using testing_support::ServerCertificates;
using testing_support::WriteHostFile;

// pyftpdlib on a free loopback port, serving one account from a temporary folder; with
// certificates, in forced explicit TLS.
class PyftpdlibServer {
  public:
    PyftpdlibServer(const std::string& user, const std::string& password,
                    const ServerCertificates* tls = nullptr) {
        int out[2] = {-1, -1};
        int in[2] = {-1, -1};
        const bool piped = ::pipe2(out, O_CLOEXEC) == 0 && ::pipe2(in, O_CLOEXEC) == 0;
        const Fd outRead(out[0]);
        Fd outWrite(out[1]);
        Fd inRead(in[0]);
        m_stdin.Reset(in[1]);
        if (!piped) {
            throw std::runtime_error("cannot create pipes");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, inRead.Get(), STDIN_FILENO);
        // The Debian package lives with the system's own interpreter.
        std::vector<std::string> args = {"/usr/bin/python3", PYFTPDLIB_LAUNCHER};
        if (tls != nullptr) {
            args.insert(args.end(), {"--tls", tls->Certificate().string(), tls->Key().string()});
        }
        args.insert(args.end(), {m_home.Path().string(), user, password});
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const int spawned = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        outWrite.Reset();
        inRead.Reset();
        if (spawned != 0) {
            m_pid = -1;
            throw std::runtime_error(
                "cannot start /usr/bin/python3 for the Debian package python3-pyftpdlib");
        }
        std::string output;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (output.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{outRead.Get(), POLLIN, 0};
            char buffer[256];
            ssize_t got = 0;
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0 ||
                (got = ::read(outRead.Get(), buffer, sizeof buffer)) <= 0) {
                break;
            }
            output.append(buffer, static_cast<std::size_t>(got));
        }
        const std::string prefix = "ftp 127.0.0.1:";
        if (output.rfind(prefix, 0) != 0) {
            Stop();
            throw std::runtime_error(
                "pyftpdlib (Debian package python3-pyftpdlib) did not start: " + output);
        }
        m_port = static_cast<std::uint16_t>(std::stoi(output.substr(prefix.size())));
    }
    ~PyftpdlibServer() { Stop(); }
    PyftpdlibServer(const PyftpdlibServer&) = delete;
    PyftpdlibServer& operator=(const PyftpdlibServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    const std::filesystem::path& Home() const { return m_home.Path(); }

  private:
    // Closing its standard input ends the server; one that does not end is killed.
    void Stop() {
        m_stdin.Reset();
        if (m_pid <= 0) {
            return;
        }
        for (int i = 0; i < 500 && ::waitpid(m_pid, nullptr, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (i == 499) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, nullptr, 0);
            }
        }
        m_pid = -1;
    }

    testing_support::TempFolder m_home{"stowbox-pyftpdlib"};
    pid_t m_pid = -1;
    Fd m_stdin;
    std::uint16_t m_port = 0;
};

class AgainstPyftpdlib : public ::testing::Test {
  protected:
    void SetUp() override { Start(); }
    void Start(const ServerCertificates* tls = nullptr) {
        try {
            m_server = std::make_unique<PyftpdlibServer>("carol", "pw-of-carol", tls);
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
    }

    std::filesystem::path RemoteRoot() const { return m_server->Home() / "My Device on Stowbox"; }

    // The whole program, headless, with the built-in FTP address led to pyftpdlib.
    script::ScriptResult Run(const std::string& script, std::string& transcript,
                             const script::DeviceOptions& base = {}) {
        script::DeviceOptions options = base;
        options.root = device.Path();
        options.ftpServer = platform::net::Endpoint{"127.0.0.1", m_server->Port()};
        std::ostringstream out;
        // What an earlier case of this process left in the program must not steer this one.
        testing_support::ResetProgramState();
        auto result = headless::RunScriptText(script, options, out);
        transcript = out.str();
        return result;
    }

    std::unique_ptr<PyftpdlibServer> m_server;
    testing_support::TempFolder device{"stowbox-device"};
};

TEST_F(AgainstPyftpdlib, TheProgramWorksAsAgainstTheService) {
    // Every byte value, so that no translation on the way goes unnoticed.
    const std::string notes = ScriptedFtpServer::Pattern(0, 5000);
    const std::string photo = ScriptedFtpServer::Pattern(7, 1500);
    const std::string deep = ScriptedFtpServer::Pattern(13, 70000);
    device.WriteFile("Source/notes.bin", notes);
    device.WriteFile("Source/Photos/a.jpg", photo);
    device.WriteFile("Source/Photos/2003/b.jpg", deep);
    device.WriteFile("Source/Photos/z.txt", "z");

    std::string transcript;
    const auto result =
        Run("type IDC_USERNAME \"carol\"\ntype IDC_PASSWORD \"pw-of-carol\"\nclick IDC_LOGIN\n"
            // A fresh account: the Remote view makes the remote root and shows it empty.
            "command ID_SHOW_REMOTE\n"
            "expect title \"Stowbox\"\n"
            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
            "expect rows 0\n"
            // Upload a folder with a subfolder, and a file.
            "command ID_SHOW_LOCAL\n"
            "doubletap 0\n"
            "expect row 0 \"Photos\" \"\" \"1\"\n"
            "expect row 1 \"notes.bin\" \"4KB\" \"2\"\n"
            "check 0\n"
            "check 1\n"
            "command ID_UPLOAD\n"
            "expect box \"File Upload Completed\"\n"
            // The listing with sizes, asked with SIZE.
            "command ID_SHOW_REMOTE\n"
            "expect rows 2\n"
            "expect row 0 \"Photos\" \"\" \"1\"\n"
            "expect row 1 \"notes.bin\" \"4KB\" \"2\"\n"
            // One level down the sizes come from the listing lines themselves.
            "doubletap 0\n"
            "expect path 2 \"Stowbox\" \"**  My Device on Stowbox\" \"*** Photos\"\n"
            "expect rows 3\n"
            "expect row 0 \"2003\" \"\" \"1\"\n"
            "expect row 1 \"a.jpg\" \"1KB\" \"2\"\n"
            "expect row 2 \"z.txt\" \"1\" \"2\"\n"
            // Download two files from here to the device's top folder.
            "check 1\n"
            "check 2\n"
            "command ID_DOWNLOAD\n"
            "expect box \"File Download Completed\"\n"
            // Delete a file, then its folder once empty; a full folder stays.
            "doubletap 0\n"
            "expect rows 1\n"
            "expect row 0 \"b.jpg\" \"68KB\" \"2\"\n"
            "check 0\n"
            "answer yes\n"
            "command ID_DELETE\n"
            "expect box \"Do You Want To Delete The Selected Files and Folders\"\n"
            "expect path 1 \"Stowbox\" \"**  My Device on Stowbox\"\n"
            "expect rows 0\n"
            "select IDC_PATHBOX 1\n"
            "doubletap 0\n"
            "check 0\n"
            "answer yes\n"
            "command ID_DELETE\n"
            "expect box \"Do You Want To Delete The Selected Files and Folders\"\n"
            "expect rows 2\n"
            "select IDC_PATHBOX 1\n"
            "expect row 0 \"Photos\"\n"
            "check 0\n"
            "answer yes\n"
            "command ID_DELETE\n"
            "expect box \"Do You Want To Delete The Selected Files and Folders\"\n"
            "expect box \"Directory is not empty\"\n"
            "expect no-box\n"
            "expect rows 2\n"
            "answer yes\n"
            "command ID_EXIT\n",
            transcript);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << transcript;

    EXPECT_EQ(ReadHostFile(RemoteRoot() / "notes.bin"), notes);
    EXPECT_EQ(ReadHostFile(RemoteRoot() / "Photos" / "a.jpg"), photo);
    EXPECT_EQ(ReadHostFile(RemoteRoot() / "Photos" / "z.txt"), "z");
    EXPECT_FALSE(std::filesystem::exists(RemoteRoot() / "Photos" / "2003"));
    EXPECT_EQ(ReadHostFile(device.Path() / "a.jpg"), photo);
    EXPECT_EQ(ReadHostFile(device.Path() / "z.txt"), "z");
}

TEST_F(AgainstPyftpdlib, AFolderOfManyScriptsComesBackByteForByte) {
    mixed_script::WriteFolder(device);
    std::string transcript;
    const auto result =
        Run("type IDC_USERNAME \"carol\"\ntype IDC_PASSWORD \"pw-of-carol\"\nclick IDC_LOGIN\n" +
                mixed_script::RoundTripSteps(),
            transcript);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << transcript;
    mixed_script::ExpectEveryFileBack(RemoteRoot() / "Intl", device.Path());
}

// pyftpdlib's forced TLS (its own TLS handler, a data connection protected each time): the
// program protects the session, and files go both ways whole.
TEST_F(AgainstPyftpdlib, AForcedTlsServerIsUsedOverTls) {
    ServerCertificates certificates;
    Start(&certificates);
    const std::string up = ScriptedFtpServer::Pattern(3, 200000);
    const std::string down = ScriptedFtpServer::Pattern(5, 90000);
    device.WriteFile("up.bin", up);
    WriteHostFile(RemoteRoot() / "down.bin", down);
    script::DeviceOptions options;
    options.tls = platform::net::TlsMode::Require;
    options.caFile = certificates.Authority();
    std::string transcript;
    const auto result =
        Run("type IDC_USERNAME \"carol\"\ntype IDC_PASSWORD \"pw-of-carol\"\nclick IDC_LOGIN\n"
            "expect row 0 \"up.bin\"\n"
            "check 0\n"
            "command ID_UPLOAD\n"
            "expect box \"File Upload Completed\"\n"
            "command ID_SHOW_REMOTE\n"
            "expect rows 2\n"
            "expect row 0 \"down.bin\" \"87KB\" \"2\"\n"
            "check 0\n"
            "command ID_DOWNLOAD\n"
            "expect box \"File Download Completed\"\n"
            "answer yes\n"
            "command ID_EXIT\n",
            transcript, options);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << transcript;
    EXPECT_NE(transcript.find("\nsecure connection\n"), std::string::npos) << transcript;
    EXPECT_EQ(ReadHostFile(RemoteRoot() / "up.bin"), up);
    EXPECT_EQ(ReadHostFile(device.Path() / "down.bin"), down);
}

TEST_F(AgainstPyftpdlib, SessionOperationsKeepTheirReplies) {
    std::filesystem::create_directories(RemoteRoot() / "empty");
    WriteHostFile(RemoteRoot() / "full" / "a.txt", "a");
    testing_support::TestDevice::Options options;
    options.ftpPort = m_server->Port();
    testing_support::TestDevice testDevice(options);
    const std::string bytes = ScriptedFtpServer::Pattern(0, 300000);
    testDevice.WriteFile("up.bin", bytes);

    CFtpSession session;
    ASSERT_TRUE(session.Connect(L"127.0.0.1", 21));
    ASSERT_TRUE(session.Login(L"carol", L"pw-of-carol"));
    session.SendCommand(L"CWD /My Device on Stowbox");
    session.ReadReply();
    EXPECT_EQ(session.GetReplyCode(), 250);
    // Transfers that pyftpdlib opens with 125, one after the other, each in step.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(session.StoreFile(L"up.bin", L"up.bin"));
        EXPECT_TRUE(session.RetrieveFile(L"up.bin", L"down.bin"));
    }
    EXPECT_EQ(ReadHostFile(RemoteRoot() / "up.bin"), bytes);
    EXPECT_EQ(testDevice.ReadFile("down.bin"), bytes);
    std::wstring listing;
    EXPECT_TRUE(session.List(L"", listing));
    EXPECT_NE(listing.find(L" 300000 "), std::wstring::npos);

    EXPECT_FALSE(session.RemoveDir(L"full"));
    EXPECT_TRUE(session.RemoveDir(L"empty"));
    EXPECT_FALSE(session.Rename(L"missing.txt", L"x.txt"));
    EXPECT_TRUE(session.Rename(L"full/a.txt", L"/My Device on Stowbox//b.txt"));
    EXPECT_EQ(session.GetReplyCode(), 250);
    EXPECT_EQ(ReadHostFile(RemoteRoot() / "b.txt"), "a");
    EXPECT_FALSE(std::filesystem::exists(RemoteRoot() / "empty"));
    EXPECT_TRUE(session.Quit());
}

}  // namespace
