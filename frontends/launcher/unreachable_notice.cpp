#include "launcher/unreachable_notice.h"

#include <iostream>

namespace {

std::string WhereSet(const std::optional<OptionSource>& source,
                     const std::optional<std::filesystem::path>& settingsFile) {
    if (!source) {
        std::string text = "the built-in address; --server HOST:PORT";
        if (settingsFile) {
            text += " or \"server = HOST:PORT\" in " + settingsFile->string();
        }
        return text + " points it elsewhere";
    }
    if (source->file.empty()) {
        return "set by --server";
    }
    return "set in " + source->file.string() + " line " + std::to_string(source->line);
}

// The line for a failed connection to `tried`, whose address came from `source` (nothing:
// the built-in one, which `settingsFile`, when there is one, could route elsewhere).
std::string UnreachableServerLine(const platform::net::Endpoint& tried,
                                  const std::optional<OptionSource>& source,
                                  const std::optional<std::filesystem::path>& settingsFile) {
    return "stowbox: no FTP server answered at " + tried.host + ":" + std::to_string(tried.port) +
           " (" + WhereSet(source, settingsFile) + ")";
}

}  // namespace

platform::net::Network::ConnectFailureHook UnreachableServerNotice(
    const LaunchOptions& options, const std::optional<std::filesystem::path>& settingsFile) {
    std::optional<OptionSource> source;
    if (const auto found = options.sources.find("server"); found != options.sources.end()) {
        source = found->second;
    }
    // Data connections fail too, but only the server's own address is the person's to set.
    return [builtIn = script::BuiltInFtpServer(), source, settingsFile](
               const platform::net::Endpoint& asked, const platform::net::Endpoint& tried) {
        if (asked == builtIn) {
            std::cerr << UnreachableServerLine(tried, source, settingsFile) << std::endl;
        }
    };
}
