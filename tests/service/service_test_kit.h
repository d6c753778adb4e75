#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "service.h"
#include "unique_fd.h"

namespace stowbox::service::test {

// A service on free loopback ports with a temporary root and the accounts
// alice:secret (download limit 10) and bob:pw (limit 3).
class TestService {
  public:
    explicit TestService(const std::function<void(ServiceConfig&)>& adjust = {});
    ~TestService();

    std::uint16_t ftp_port() const { return service_->ftp_port(); }
    std::uint16_t web_port() const { return service_->web_port(); }
    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path home(const std::string& account = "alice") const {
        return root_ / "accounts" / account;
    }

  private:
    std::filesystem::path root_;
    std::unique_ptr<Service> service_;
};

UniqueFd connect_to(std::uint16_t port, const char* from_address = "127.0.0.1");
void send_text(int fd, const std::string& text);
// Everything the peer sends until it closes the connection.
std::string read_to_end(int fd);
// Sends `text` a byte at a time with `pause` before each, until the peer answers or closes;
// true when it did so before the text was through.
bool drip_until_answered(int fd, const std::string& text, std::chrono::milliseconds pause);

// A raw FTP control connection that checks nothing itself.
class FtpClient {
  public:
    explicit FtpClient(std::uint16_t port);

    // The greeting or the reply to the last command, multi-line replies whole.
    std::string reply();
    // Sends `line` and CR LF and returns the reply.
    std::string command(const std::string& line);
    // USER and PASS; the PASS reply.
    std::string login(const std::string& user = "alice", const std::string& password = "secret");
    // Sends "PASV " and connects to the address of the reply.
    UniqueFd passive();

    // Whole exchanges: the final reply, and for LIST and RETR the data received.
    std::string list(std::string& data, const std::string& command_line = "LIST");
    std::string retrieve(const std::string& name, std::string& data);
    std::string store(const std::string& name, const std::string& data);

    int fd() const { return control_.get(); }

  private:
    UniqueFd control_;
    std::string buffer_;
};

int code_of(const std::string& reply);

struct ProgramResult {
    int exit_code = -1;
    std::string output;  // stdout and stderr together
};
ProgramResult run_program(const std::vector<std::string>& args);
bool have_program(const std::string& name);

void write_file(const std::filesystem::path& path, const std::string& bytes);
std::string read_file(const std::filesystem::path& path);
// Bytes 0 to 255 repeated in an order that depends on `seed`.
std::string pattern_bytes(std::size_t size, unsigned seed);

}  // namespace stowbox::service::test
