#pragma once

#include <sys/types.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace testing_support {

// Runs the built stowbox-service as a child process on 127.0.0.1 with free ports and a
// fresh temporary root folder. The constructor returns once both ports listen; the
// destructor stops and reaps the child and removes the folder.
class ServiceProcess {
  public:
    // `accounts` are "NAME:PASSWORD[:LIMIT]" texts; `extra_args` go to the command line as
    // they are (for example {"--idle-timeout", "1"}). Throws std::runtime_error when the
    // service does not come up.
    explicit ServiceProcess(std::vector<std::string> accounts,
                            std::vector<std::string> extra_args = {});
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;
    ~ServiceProcess();

    const std::string& host() const { return host_; }
    int ftpPort() const { return ftp_port_; }
    int webPort() const { return web_port_; }
    pid_t pid() const { return pid_; }

    const std::filesystem::path& root() const { return root_.Path(); }
    std::filesystem::path accountDir(const std::string& name) const;
    std::filesystem::path outboxDir() const;

    // Sends `signal`, waits for the child to end and returns its wait status (see
    // WIFEXITED); a child that has not ended after a while is killed.
    int stop(int signal = SIGTERM);

  private:
    void start(const std::vector<std::string>& args);

    TempFolder root_{"stowbox-service"};
    pid_t pid_ = -1;
    std::string host_;
    int ftp_port_ = 0;
    int web_port_ = 0;
};

}  // namespace testing_support
