#include "support/scripted_run.h"

#include <gmock/gmock.h>

#include "headless/run_script.h"
#include "script/run_program.h"
#include "support/program_state.h"

namespace testing_support {

script::ScriptResult ScriptedRun::Run(const std::string& script) {
    ResetProgramState();
    server.Start();
    script::DeviceOptions options;
    options.root = device.Path();
    options.tls = tls;
    options.ftpServer = platform::net::Endpoint{"127.0.0.1", server.Port()};
    return headless::RunScriptText(script, options, transcript);
}

void ScriptedRun::TearDown() {
    const ScriptedFtpServer::Result& finished = server.Finish();
    EXPECT_EQ(finished.transcript, server.ExpectedTranscript());
    EXPECT_THAT(finished.problems, ::testing::IsEmpty());
}

}  // namespace testing_support
