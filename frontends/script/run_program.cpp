#include "script/run_program.h"

#include "app/globals.h"
#include "platform/device.h"
#include "platform/text/codepage.h"
#include "res/built_in_servers.h"
#include "script/script_player.h"

namespace script {

namespace {

// A server built into the program, as the device's routes name it.
platform::net::Endpoint BuiltIn(int port) {
    return {platform::text::ToAnsi(kServerAddress), static_cast<std::uint16_t>(port)};
}

}  // namespace

platform::net::Endpoint BuiltInFtpServer() {
    return BuiltIn(kFtpServerPort);
}

platform::net::Network MakeNetwork(const DeviceOptions& options) {
    platform::net::Network::Options networkOptions;
    networkOptions.failStartup = options.failSocketStartup;
    networkOptions.tls = options.tls;
    networkOptions.caFile = options.caFile;
    platform::net::Network network(networkOptions);
    network.SetConnectFailureHook(options.onConnectFailure);
    if (options.ftpServer) {
        network.AddRoute(BuiltIn(kFtpServerPort), *options.ftpServer);
    }
    if (options.webServer) {
        network.AddRoute(BuiltIn(kWebServerPort), *options.webServer, options.webOverTls);
    }
    return network;
}

void RunProgram(platform::ui::Frontend& frontend, const DeviceOptions& options) {
    platform::Device device(frontend, options.root, MakeNetwork(options));
    platform::ActiveDevice active(device);
    theApp.InitInstance();
    // The session is closed when the program ends; it sends nothing more.
    g_ftp.Close();
}

ScriptResult PlayProgram(ScriptPlayer& player, platform::ui::Frontend& frontend,
                         const DeviceOptions& options) {
    platform::Device device(frontend, options.root, MakeNetwork(options));
    platform::ActiveDevice active(device);
    ScriptResult result;
    try {
        theApp.InitInstance();
        g_ftp.Close();
        player.Finish(device);
    } catch (const ScriptStop& stop) {
        g_ftp.Close();
        result.status = stop.Status();
        result.message = stop.what();
    }
    return result;
}

}  // namespace script
