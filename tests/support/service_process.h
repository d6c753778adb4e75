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
    // `accounts` are "NAME:PASSWORD[:LIMIT]" texts; `extraArgs` go to the command line as
    // they are (for example {"--idle-timeout", "1"}). Throws std::runtime_error when the
    // service does not come up.
    explicit ServiceProcess(std::vector<std::string> accounts,
                            std::vector<std::string> extraArgs = {});
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;
    ~ServiceProcess();

    const std::string& Host() const { return m_host; }
    int FtpPort() const { return m_ftpPort; }
    int WebPort() const { return m_webPort; }
    pid_t Pid() const { return m_pid; }

    const std::filesystem::path& Root() const { return m_root.Path(); }
    std::filesystem::path AccountDir(const std::string& name) const;
    std::filesystem::path OutboxDir() const;

    // Sends `signal`, waits for the child to end and returns its wait status (see
    // WIFEXITED); a child that has not ended after a while is killed.
    int Stop(int signal = SIGTERM);
    // Stops the child with `signal` (SIGKILL leaves it no chance to tidy up) and starts it
    // again with the same arguments and root folder; it announces new ports.
    void Restart(int signal = SIGTERM);

  private:
    void Start(const std::vector<std::string>& args);

    TempFolder m_root{"stowbox-service"};
    std::vector<std::string> m_args;
    pid_t m_pid = -1;
    std::string m_host;
    int m_ftpPort = 0;
    int m_webPort = 0;
};

}  // namespace testing_support
