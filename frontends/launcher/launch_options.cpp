#include "launcher/launch_options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

const char* const kUsage =
    "Usage: stowbox [OPTION]...\n"
    "  or:  stowbox --headless --script FILE [OPTION]...\n"
    "Opens the Stowbox client's window, or plays a script in it (--script) or without a\n"
    "display (--headless).\n"
    "  --headless             run without a display; input comes from --script\n"
    "  --script FILE          play a script (FILE '-' reads standard input)\n"
    "  --screenshots DIR      with the GUI: save a picture of each window and 'show' step\n"
    "  --device-root DIR      host folder that holds the device's files\n"
    "                         (default: ~/.local/share/stowbox/device)\n"
    "  --server HOST:PORT     where the built-in FTP server address leads\n"
    "  --web [https://]HOST:PORT\n"
    "                         where the built-in web host leads; https:// protects the\n"
    "                         web requests with TLS\n"
    "  --tls off|try|require  protect the FTP session with TLS: never, when the server\n"
    "                         offers it (default), or always (else no log-in)\n"
    "  --ca-file FILE         also trust the authorities in this PEM file\n"
    "  --scale N              device pixels are drawn N screen pixels wide (default: the\n"
    "                         largest, at most 3, at which the screen fits the desktop)\n"
    "  --help                 print this help and exit\n"
    "  --version              print the version and exit\n"
    "\n"
    "The device options --device-root, --server, --web, --tls, --ca-file and --scale may\n"
    "also be kept in $XDG_CONFIG_HOME/stowbox/device.conf (~/.config/stowbox/device.conf),\n"
    "one 'name = value' a line, as in 'server = 127.0.0.1:2121'; the command line wins.\n"
    "\n"
    "Examples:\n"
    "  stowbox --headless --script login.script --server 127.0.0.1:2121\n";

namespace {

// Sets an option that stands alone; false when `arg` is none of them.
bool ApplyFlag(LaunchOptions& options, const std::string& arg) {
    if (arg == "--headless") {
        options.headless = true;
    } else if (arg == "--fail-socket-startup") {
        // For the tests only, so the help does not list it.
        options.device.failSocketStartup = true;
    } else if (arg == "--help" || arg == "-h") {
        options.showUsage = true;
    } else if (arg == "--version") {
        options.showVersion = true;
    } else {
        return false;
    }
    return true;
}

bool TakesValue(const std::string& arg) {
    return arg == "--script" || arg == "--screenshots" || arg == "--device-root" ||
           arg == "--server" || arg == "--web" || arg == "--scale" || arg == "--tls" ||
           arg == "--ca-file";
}

// A whole number from 1 to 8, or nothing.
std::optional<int> ParseScale(const std::string& text) {
    char* end = nullptr;
    const long scale = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || scale < 1 || scale > 8) {
        return std::nullopt;
    }
    return static_cast<int>(scale);
}

std::optional<platform::net::TlsMode> ParseTlsMode(const std::string& text) {
    using platform::net::TlsMode;
    if (text == "off") {
        return TlsMode::Off;
    }
    if (text == "try") {
        return TlsMode::Try;
    }
    if (text == "require") {
        return TlsMode::Require;
    }
    return std::nullopt;
}

struct WebAddress {
    platform::net::Endpoint endpoint;
    bool overTls = false;
};

// "HOST:PORT" or the same after http:// or https://, in any case, a closing slash allowed.
std::optional<WebAddress> ParseWebAddress(std::string text) {
    WebAddress address;
    const auto lower = [&text](std::size_t count) {
        std::string head = text.substr(0, count);
        std::transform(head.begin(), head.end(), head.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return head;
    };
    if (lower(8) == "https://") {
        address.overTls = true;
        text.erase(0, 8);
    } else if (lower(7) == "http://") {
        text.erase(0, 7);
    }
    if (!text.empty() && text.back() == '/') {
        text.pop_back();
    }
    const auto endpoint = platform::net::ParseEndpoint(text);
    if (!endpoint) {
        return std::nullopt;
    }
    address.endpoint = *endpoint;
    return address;
}

// Sets an option from its value; the error when the value does not do.
std::optional<std::string> ApplyValue(LaunchOptions& options, const std::string& arg,
                                      const std::string& text) {
    if (arg == "--script") {
        options.script = text;
    } else if (arg == "--screenshots") {
        options.screenshots = text;
    } else {
        const std::string name = arg.substr(2);
        if (const auto need = ApplyDeviceOption(options, name, text)) {
            return arg + " " + *need;
        }
        options.sources[name] = OptionSource{};
    }
    return std::nullopt;
}

}  // namespace

const char* const kDeviceOptionNames = "device-root, server, web, tls, ca-file, scale";

bool IsDeviceOption(const std::string& name) {
    return name == "device-root" || name == "server" || name == "web" || name == "tls" ||
           name == "ca-file" || name == "scale";
}

std::optional<std::string> ApplyDeviceOption(LaunchOptions& options, const std::string& name,
                                             const std::string& value) {
    if (name == "device-root") {
        options.device.root = value;
    } else if (name == "server") {
        options.device.ftpServer = platform::net::ParseEndpoint(value);
        if (!options.device.ftpServer) {
            return "needs HOST:PORT, not '" + value + "'";
        }
    } else if (name == "web") {
        const auto address = ParseWebAddress(value);
        if (!address) {
            return "needs HOST:PORT, http://HOST:PORT or https://HOST:PORT, not '" + value + "'";
        }
        options.device.webServer = address->endpoint;
        options.device.webOverTls = address->overTls;
    } else if (name == "tls") {
        const auto mode = ParseTlsMode(value);
        if (!mode) {
            return "needs off, try or require, not '" + value + "'";
        }
        options.device.tls = *mode;
    } else if (name == "ca-file") {
        options.device.caFile = value;
    } else {
        options.scale = ParseScale(value);
        if (!options.scale) {
            return "needs a whole number from 1 to 8";
        }
    }
    return std::nullopt;
}

ParsedLaunch ParseLaunchOptions(const std::vector<std::string>& args) {
    ParsedLaunch parsed;
    LaunchOptions& options = parsed.options;
    // A person's run protects the session whenever the server can.
    options.device.tls = platform::net::TlsMode::Try;
    for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
        const std::string& arg = args[i];
        if (ApplyFlag(options, arg)) {
            continue;
        }
        if (!TakesValue(arg)) {
            parsed.error = "unknown option '" + arg + "'";
        } else if (i + 1 >= args.size()) {
            parsed.error = arg + " needs a value";
        } else {
            parsed.error = ApplyValue(options, arg, args[++i]);
        }
    }
    if (!parsed.error && options.headless && !options.script) {
        parsed.error = "--headless needs --script FILE";
    }
    return parsed;
}

std::filesystem::path DefaultDeviceRoot() {
    std::filesystem::path data;
    // A relative XDG_DATA_HOME is invalid and ignored, as the XDG base directory rules say.
    if (const char* xdg = std::getenv("XDG_DATA_HOME");
        xdg != nullptr && std::filesystem::path(xdg).is_absolute()) {
        data = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        data = std::filesystem::path(home) / ".local" / "share";
    } else {
        data = std::filesystem::temp_directory_path();
    }
    return data / "stowbox" / "device";
}
