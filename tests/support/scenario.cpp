#include "support/scenario.h"

#include <sstream>
#include <stdexcept>

#include "app/globals.h"
#include "headless/headless_frontend.h"
#include "headless/run_script.h"
#include "platform/device.h"
#include "platform/ui/window.h"
#include "res/resource.h"
#include "res/templates.h"
#include "script/run_program.h"
#include "support/program_state.h"
#include "support/test_device.h"

namespace testing_support {

Scenario::Scenario(std::vector<std::string> accounts, std::vector<std::string> serviceArgs)
    : service(std::move(accounts), std::move(serviceArgs)) {}

script::DeviceOptions Scenario::ProgramOptions() const {
    script::DeviceOptions options;
    options.root = device.Path();
    options.tls = tls;
    options.caFile = caFile;
    options.ftpServer =
        platform::net::Endpoint{service.Host(), static_cast<std::uint16_t>(service.FtpPort())};
    options.webServer =
        platform::net::Endpoint{service.Host(), static_cast<std::uint16_t>(service.WebPort())};
    options.webOverTls = webOverTls;
    return options;
}

ScenarioResult Scenario::Run(const std::string& script) {
    ResetProgramState();
    std::ostringstream transcript;
    const script::ScriptResult result =
        headless::RunScriptText(script, ProgramOptions(), transcript);
    return {result.status, result.message, transcript.str()};
}

ScenarioResult Scenario::RunRecordingRepaints(const std::string& script,
                                              std::vector<std::string>& repaints) {
    ResetProgramState();
    script::ParseResult parsed = script::ParseScript(script);
    if (parsed.error) {
        return {script::kStatusBadStep, *parsed.error, {}};
    }
    std::ostringstream transcript;
    script::ScriptPlayer player(std::move(parsed.steps), transcript);
    headless::HeadlessFrontend headless(player);
    TestFrontend frontend(headless);
    const script::ScriptResult played = script::PlayProgram(player, frontend, ProgramOptions());
    repaints = frontend.Repaints();
    return {played.status, played.message, transcript.str()};
}

std::string Scenario::LoginSteps(const std::string& user, const std::string& password) {
    return "type IDC_USERNAME \"" + user + "\"\ntype IDC_PASSWORD \"" + password +
           "\"\nclick IDC_LOGIN\n";
}

std::string Scenario::ExitSteps() {
    return "answer yes\ncommand ID_EXIT\n";
}

std::string Scenario::TapCancelAtBlock(int n) {
    for (const platform::ui::ControlTemplate& control : res::FileManagerDialog().controls) {
        if (control.id == IDC_CANCEL_TRANSFER) {
            const platform::ui::Point centre =
                platform::ui::DialogRectToScreen(control.rect).Centre();
            return "tap-at-block " + std::to_string(n) + " " + std::to_string(centre.x) + " " +
                   std::to_string(centre.y) + "\n";
        }
    }
    throw std::logic_error("the file manager has no CANCEL button");
}

std::filesystem::path Scenario::AccountDir(const std::string& user) const {
    return service.AccountDir(user);
}

std::filesystem::path Scenario::RemoteRoot(const std::string& user) const {
    return AccountDir(user) / "My Device on Stowbox";
}

void Scenario::WriteAccountFile(const std::filesystem::path& relative, const std::string& bytes,
                                const std::string& user) const {
    WriteHostFile(AccountDir(user) / relative, bytes);
}

void Scenario::MakeAccountFolder(const std::filesystem::path& relative,
                                 const std::string& user) const {
    std::filesystem::create_directories(AccountDir(user) / relative);
}

}  // namespace testing_support
