#pragma once
// The whole program, played from a script with the headless front end, against a scripted FTP
// server on a temporary device. The server's transcript is checked when the test ends, so no
// test can leave it out.
//
//   class Login : public testing_support::ScriptedRun {};
//   TEST_F(Login, Something) {
//       server.Greet().Command("USER alice\r\n", "331 Password\r\n") ...;
//       const auto result = Run("type IDC_USERNAME \"alice\"\n...");
//       EXPECT_EQ(result.status, 0) << result.message;
//   }

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "script/run_program.h"
#include "support/scripted_ftp_server.h"
#include "support/temp_folder.h"

namespace testing_support {

class ScriptedRun : public ::testing::Test {
  protected:
    // Starts the server's script and runs the program from its start on the script's steps.
    script::ScriptResult Run(const std::string& script);
    // The client sent exactly the scripted lines and the script ran through.
    void TearDown() override;

    TempFolder device;
    ScriptedFtpServer server;
    platform::net::TlsMode tls = platform::net::TlsMode::Off;  // today's wire unless a test asks
    std::ostringstream transcript;
};

}  // namespace testing_support
