#pragma once
// The fastest plain FTP client the benches compare with: blocking sockets, 256 KiB reads and
// writes between the data connection and the file, nothing else per block.

#include <cstdint>
#include <filesystem>
#include <string>

namespace bench {

class BareFtpClient {
  public:
    // Logs in on 127.0.0.1:`port`, switches to binary and changes to `folder`; Failure()
    // says when that did not work.
    BareFtpClient(int port, const std::string& user, const std::string& password,
                  const std::string& folder);
    ~BareFtpClient();
    BareFtpClient(const BareFtpClient&) = delete;
    BareFtpClient& operator=(const BareFtpClient&) = delete;

    const std::string& Failure() const { return m_failure; }
    bool Download(const std::string& name, const std::filesystem::path& local);
    bool Upload(const std::filesystem::path& local, const std::string& name);

  private:
    std::string Command(const std::string& line);
    std::string Reply();
    bool Expect(const std::string& reply, const char* code, const std::string& what);
    int OpenData(const std::string& command);

    int m_control = -1;
    std::string m_pending;
    std::string m_failure;
};

}  // namespace bench
