#pragma once
// Whole-program scenarios: the program runs in this process with the headless front end on a
// temporary device folder, against the stand-in service on free ports.
//
//   class Uploads : public testing_support::Scenario {};
//   TEST_F(Uploads, Something) {
//       device.WriteFile("notes.txt", "hello");
//       const auto result = Run(LoginSteps() + "command ID_SHOW_REMOTE\nexpect rows 0\n" +
//       ExitSteps()); EXPECT_EQ(result.status, 0) << result.message << result.transcript;
//   }

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/net/tls.h"
#include "support/service_process.h"
#include "support/temp_folder.h"

namespace script {
struct DeviceOptions;
}

namespace testing_support {

struct ScenarioResult {
    int status = 0;          // 0 to 3, as the script language defines them
    std::string message;     // why the run did not end with 0
    std::string transcript;  // what a person would have seen, one event a line
};

class Scenario : public ::testing::Test {
  protected:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "secret";

    // Accounts as the service takes them: "NAME:PASSWORD[:LIMIT]".
    explicit Scenario(std::vector<std::string> accounts = {std::string(kUser) + ":" + kPassword},
                      std::vector<std::string> serviceArgs = {});

    // Runs the whole program on the script's steps, from a fresh start of its state.
    ScenarioResult Run(const std::string& script);
    // Runs it as Run does and records what the program painted at once while no event loop
    // ran, as TestFrontend::Repaints() tells them.
    ScenarioResult RunRecordingRepaints(const std::string& script,
                                        std::vector<std::string>& repaints);

    // Steps that log in; the file manager then shows the device's top folder.
    static std::string LoginSteps(const std::string& user = kUser,
                                  const std::string& password = kPassword);
    // Steps that confirm EXIT in the innermost window.
    static std::string ExitSteps();
    // A step that taps the centre of the file manager's CANCEL button just before the n-th
    // transfer cancel check from here on.
    static std::string TapCancelAtBlock(int n);

    // The host folder of an account's "/" and of its remote root.
    std::filesystem::path AccountDir(const std::string& user = kUser) const;
    std::filesystem::path RemoteRoot(const std::string& user = kUser) const;
    // Puts a file (with the folders on its way) below an account's "/", as if uploaded earlier.
    void WriteAccountFile(const std::filesystem::path& relative, const std::string& bytes,
                          const std::string& user = kUser) const;
    void MakeAccountFolder(const std::filesystem::path& relative,
                           const std::string& user = kUser) const;

    TempFolder device{"stowbox-device"};
    ServiceProcess service;
    // How the program protects its session; Off keeps the wire of the scenarios in clear.
    platform::net::TlsMode tls = platform::net::TlsMode::Off;
    std::filesystem::path caFile;
    bool webOverTls = false;  // the web host given as https://

  private:
    script::DeviceOptions ProgramOptions() const;
};

}  // namespace testing_support
