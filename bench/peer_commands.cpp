#include "peer_commands.h"

#include <fstream>

namespace bench {
namespace {

const char* const kUser = "alice";
const char* const kPassword = "secret";
const char* const kFolder = "My Device on Stowbox";
const char* const kFolderInUrl = "My%20Device%20on%20Stowbox";
const char* const kLogin =
    "type IDC_USERNAME \"alice\"\ntype IDC_PASSWORD \"secret\"\nclick IDC_LOGIN\n";
const char* const kExit = "answer yes\ncommand ID_EXIT\n";

std::string FolderUrl(const Job& job) {
    return "ftp://127.0.0.1:" + std::to_string(job.ftpPort) + "/" + kFolderInUrl + "/";
}

// "{a,b,c}": curl's glob of the names, one connection for all of them.
std::string Glob(const std::vector<std::string>& names) {
    std::string glob = "{";
    for (const auto& name : names) {
        glob += (glob.size() > 1 ? "," : "") + name;
    }
    return glob + "}";
}

std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const auto& name : names) {
        joined += " '" + name + "'";
    }
    return joined;
}

std::string CheckRows(std::size_t rows) {
    std::string steps = "expect rows " + std::to_string(rows) + "\n";
    for (std::size_t row = 0; row < rows; ++row) {
        steps += "check " + std::to_string(row) + "\n";
    }
    return steps;
}

ChildCommand Base(const Job& job, std::vector<std::string> argv) {
    ChildCommand command;
    command.argv = std::move(argv);
    command.workingDir = job.local;
    command.home = job.scratch;
    return command;
}

ChildCommand Program(const Job& job, const std::string& steps) {
    const auto script = job.scratch / "bench.script";
    std::ofstream(script) << kLogin << steps << kExit;
    return Base(
        job, {STOWBOX_PROGRAM_PATH, "--headless", "--script", script.string(), "--device-root",
              job.local.string(), "--server", "127.0.0.1:" + std::to_string(job.ftpPort), "--web",
              "127.0.0.1:" + std::to_string(job.webPort), "--tls", "off"});
}

// curl without its settings file, quiet but for errors.
ChildCommand Curl(const Job& job, std::vector<std::string> args) {
    std::vector<std::string> argv{"curl",         "-q",     "--silent",
                                  "--show-error", "--user", std::string(kUser) + ":" + kPassword};
    argv.insert(argv.end(), args.begin(), args.end());
    return Base(job, std::move(argv));
}

// lftp in clear (as the others), stopping at the first failing command.
ChildCommand Lftp(const Job& job, const std::string& commands) {
    return Base(job, {"lftp", "-c",
                      "set cmd:fail-exit yes; set ftp:ssl-allow no; set net:max-retries 1; "
                      "set net:timeout 60; set xfer:clobber yes; open -u " +
                          std::string(kUser) + "," + kPassword + " -p " +
                          std::to_string(job.ftpPort) + " 127.0.0.1; cd '" + kFolder + "'; lcd '" +
                          job.local.string() + "'; " + commands});
}

}  // namespace

const char* PeerName(Peer peer) {
    switch (peer) {
        case Peer::Program:
            return "this program";
        case Peer::Curl:
            return "curl";
        case Peer::Lftp:
            return "lftp";
    }
    return "";
}

ChildCommand Download(Peer peer, const Job& job, const std::vector<std::string>& names) {
    switch (peer) {
        case Peer::Program:
            return Program(job,
                           "command ID_SHOW_REMOTE\n" + CheckRows(names.size()) +
                               "command ID_DOWNLOAD\nexpect box \"File Download Completed\"\n");
        case Peer::Curl:
            return names.size() == 1 ? Curl(job, {FolderUrl(job) + names[0], "--output", names[0]})
                                     : Curl(job, {FolderUrl(job) + Glob(names), "--output", "#1"});
        case Peer::Lftp:
            // One file: get; many: mirror, lftp's quickest way with many files.
            return Lftp(job, names.size() == 1 ? "get" + Joined(names) : "mirror . .");
    }
    return {};
}

ChildCommand Upload(Peer peer, const Job& job, const std::vector<std::string>& names) {
    switch (peer) {
        case Peer::Program:
            return Program(job, CheckRows(names.size()) +
                                    "command ID_UPLOAD\nexpect box \"File Upload Completed\"\n");
        case Peer::Curl:
            return Curl(
                job, {"--upload-file", names.size() == 1 ? names[0] : Glob(names), FolderUrl(job)});
        case Peer::Lftp:
            return Lftp(job, names.size() == 1 ? "put" + Joined(names) : "mput" + Joined(names));
    }
    return {};
}

ChildCommand List(Peer peer, const Job& job, int rows) {
    ChildCommand command;
    switch (peer) {
        case Peer::Program:
            return Program(job,
                           "command ID_SHOW_REMOTE\nexpect rows " + std::to_string(rows) + "\n");
        case Peer::Curl:
            command = Curl(job, {FolderUrl(job)});
            break;
        case Peer::Lftp:
            command = Lftp(job, "ls");
            break;
    }
    command.output = job.scratch / "listing.txt";
    return command;
}

}  // namespace bench
