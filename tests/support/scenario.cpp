#include "support/scenario.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "headless/run_program.h"

namespace testing_support {

Scenario::Scenario(std::vector<std::string> accounts) : service(std::move(accounts)) {}

ScenarioResult Scenario::Run(const std::string& script) {
    headless::DeviceOptions options;
    options.root = device.Path();
    options.ftpServer =
        platform::net::Endpoint{service.host(), static_cast<std::uint16_t>(service.ftpPort())};
    options.webServer =
        platform::net::Endpoint{service.host(), static_cast<std::uint16_t>(service.webPort())};
    std::ostringstream transcript;
    const headless::ScriptResult result = headless::RunScriptText(script, options, transcript);
    return {result.status, result.message, transcript.str()};
}

std::string Scenario::LoginSteps(const std::string& user, const std::string& password) {
    return "type 1001 \"" + user + "\"\ntype 1002 \"" + password + "\"\nclick 1003\n";
}

std::string Scenario::ExitSteps() {
    return "answer yes\ncommand 32792\n";
}

std::filesystem::path Scenario::AccountDir(const std::string& user) const {
    return service.accountDir(user);
}

std::filesystem::path Scenario::RemoteRoot(const std::string& user) const {
    return AccountDir(user) / "My Device on Stowbox";
}

void Scenario::WriteAccountFile(const std::filesystem::path& relative, const std::string& bytes,
                                const std::string& user) const {
    const std::filesystem::path path = AccountDir(user) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void Scenario::MakeAccountFolder(const std::filesystem::path& relative,
                                 const std::string& user) const {
    std::filesystem::create_directories(AccountDir(user) / relative);
}

}  // namespace testing_support
