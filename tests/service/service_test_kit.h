#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "service.h"
#include "support/fd.h"
#include "support/temp_folder.h"

namespace testing_support {

// A service on free loopback ports with a temporary root and the accounts
// alice:secret (download limit 10) and bob:pw (limit 3).
class TestService {
  public:
    explicit TestService(const std::function<void(stowbox::service::ServiceConfig&)>& adjust = {});

    std::uint16_t FtpPort() const { return m_service->ftp_port(); }
    std::uint16_t WebPort() const { return m_service->web_port(); }
    const std::filesystem::path& Root() const { return m_root.Path(); }
    std::filesystem::path Home(const std::string& account = "alice") const {
        return Root() / "accounts" / account;
    }

  private:
    TempFolder m_root{"stowbox-service-test"};
    // Declared after the folder, so that it stops before the folder goes.
    std::unique_ptr<stowbox::service::Service> m_service;
};

Fd ConnectTo(std::uint16_t port, const char* fromAddress = "127.0.0.1");
void SendText(int fd, const std::string& text);
// Everything the peer sends until it closes the connection.
std::string ReadToEnd(int fd);
// Sends `text` a byte at a time with `pause` before each, until the peer answers or closes;
// true when it did so before the text was through.
bool DripUntilAnswered(int fd, const std::string& text, std::chrono::milliseconds pause);

// A raw FTP control connection that checks nothing itself.
class FtpClient {
  public:
    // The control and data connections come from `fromAddress` (any 127.x.y.z is loopback).
    explicit FtpClient(std::uint16_t port, const char* fromAddress = "127.0.0.1");

    // The greeting or the reply to the last command, multi-line replies whole.
    std::string Reply();
    // Sends `line` and CR LF and returns the reply.
    std::string Command(const std::string& line);
    // USER and PASS; the PASS reply.
    std::string Login(const std::string& user = "alice", const std::string& password = "secret");
    // Sends "PASV " and connects to the address of the reply.
    Fd Passive();

    // Whole exchanges: the final reply, and for LIST and RETR the data received.
    std::string List(std::string& data, const std::string& commandLine = "LIST");
    std::string Retrieve(const std::string& name, std::string& data);
    std::string Store(const std::string& name, const std::string& data);

    int ControlFd() const { return m_control.Get(); }

  private:
    const char* m_from;
    Fd m_control;
    std::string m_buffer;
};

int CodeOf(const std::string& reply);

struct ProgramResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};
ProgramResult RunProgram(const std::vector<std::string>& args);
bool HaveProgram(const std::string& name);

// Bytes 0 to 255 repeated in an order that depends on `seed`.
std::string PatternBytes(std::size_t size, unsigned seed);

}  // namespace testing_support
