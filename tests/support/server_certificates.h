#pragma once
// A throw-away authority and a server certificate it signed, made with the openssl command.

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace testing_support {

class ServerCertificates {
  public:
    // `names` as a subjectAltName extension lists them: "IP:127.0.0.1,DNS:localhost".
    // Throws std::runtime_error when openssl fails.
    explicit ServerCertificates(const std::string& names = "IP:127.0.0.1,DNS:localhost");

    std::filesystem::path Authority() const { return m_folder.Path() / "ca.pem"; }
    std::filesystem::path Certificate() const { return m_folder.Path() / "server.pem"; }
    std::filesystem::path Key() const { return m_folder.Path() / "server.key"; }
    std::filesystem::path AuthorityKey() const { return m_folder.Path() / "ca.key"; }

    static bool HaveOpenssl();

  private:
    void Openssl(const std::string& args) const;

    TempFolder m_folder{"stowbox-certificates"};
};

}  // namespace testing_support
