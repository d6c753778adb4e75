#include "script/run_program.h"

#include "app/globals.h"
#include "platform/device.h"
#include "script/script_player.h"

namespace script {

namespace {
// The addresses built into the program.
const platform::net::Endpoint kBuiltInFtpServer{"127.0.0.1", 21};
const platform::net::Endpoint kBuiltInWebHost{"127.0.0.1", 80};
}  // namespace

platform::net::Network MakeNetwork(const DeviceOptions& options) {
    platform::net::Network::Options networkOptions;
    networkOptions.failStartup = options.failSocketStartup;
    platform::net::Network network(networkOptions);
    if (options.ftpServer) {
        network.AddRoute(kBuiltInFtpServer, *options.ftpServer);
    }
    if (options.webServer) {
        network.AddRoute(kBuiltInWebHost, *options.webServer);
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
