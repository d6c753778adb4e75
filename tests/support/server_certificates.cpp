#include "support/server_certificates.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace testing_support {

namespace {

constexpr const char* kNewKey = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2";

}  // namespace

ServerCertificates::ServerCertificates(const std::string& names) {
    std::ofstream(m_folder.Path() / "names") << "subjectAltName=" << names << "\n";
    Openssl(std::string("req -x509") + kNewKey +
            " -keyout ca.key -out ca.pem -subj '/CN=Stowbox test authority'");
    Openssl(std::string("req") + kNewKey + " -keyout server.key -out server.csr -subj /CN=server");
    Openssl(
        "x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem "
        "-days 2 -extfile names");
}

bool ServerCertificates::HaveOpenssl() {
    return std::system("openssl version >/dev/null 2>&1") == 0;
}

void ServerCertificates::Openssl(const std::string& args) const {
    // The folder is the test's own temporary one: quoting it is enough.
    const std::string command =
        "cd '" + m_folder.Path().string() + "' && openssl " + args + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("openssl failed: " + args);
    }
}

}  // namespace testing_support
