#pragma once
// Runs the whole program on a device with a given front end, plain or playing a script: the
// launcher, both front ends and the tests share this.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/net/socket.h"
#include "platform/ui/frontend.h"
#include "script/script.h"

namespace script {

struct DeviceOptions {
    std::filesystem::path root;                        // the device's "\"
    std::optional<platform::net::Endpoint> ftpServer;  // where the built-in FTP address goes
    std::optional<platform::net::Endpoint> webServer;  // where the built-in web host goes
    bool webOverTls = false;  // the web server was given as https://: requests are protected
    bool failSocketStartup = false;
    // Off unless asked: the launcher's own default is Try, but a test that scripts a server's
    // exact wire wants today's.
    platform::net::TlsMode tls = platform::net::TlsMode::Off;
    std::filesystem::path caFile;  // authorities trusted besides the system's
    // Told of every connection that could not be made; none in runs inside a test.
    platform::net::Network::ConnectFailureHook onConnectFailure;
};

// The program's built-in FTP server, as the device's routes name it.
platform::net::Endpoint BuiltInFtpServer();

// Builds the device's network with its routes.
platform::net::Network MakeNetwork(const DeviceOptions& options);

// Starts the program (the application's instance initialisation) on a device with this
// front end, current for the calling thread, and returns when it ended.
void RunProgram(platform::ui::Frontend& frontend, const DeviceOptions& options);

struct ScriptResult {
    int status = 0;       // 0 to 3, as the script language defines them
    std::string message;  // why a run did not end with 0
};

class ScriptPlayer;

// Runs the program on a device with `frontend` while `player` plays the script: the
// player's checks and steps end the run early with their status. Front ends that play
// scripts in their own way (the Qt one, a recording one in tests) share this.
ScriptResult PlayProgram(ScriptPlayer& player, platform::ui::Frontend& frontend,
                         const DeviceOptions& options);

}  // namespace script
