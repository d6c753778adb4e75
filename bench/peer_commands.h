#pragma once
// The command lines that make this program, curl and lftp do the same job against the
// stand-in service: this program through a headless script, the peers with their own
// commands. Every job works in the account's "My Device on Stowbox" folder, the one this
// program's Remote view opens.

#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"

namespace bench {

enum class Peer { Program, Curl, Lftp };
inline constexpr Peer kPeers[] = {Peer::Program, Peer::Curl, Peer::Lftp};
const char* PeerName(Peer peer);

struct Job {
    int ftpPort = 0;  // the service's, or a relay's in front of it
    int webPort = 0;
    std::filesystem::path local;    // this program's device root; the peers' local folder
    std::filesystem::path scratch;  // the run's home, script and output
};

// Each remote file named into `local`; this program takes every file the folder lists.
ChildCommand Download(Peer peer, const Job& job, const std::vector<std::string>& names);
// Each file of `local` named into the remote folder; this program takes every file there.
ChildCommand Upload(Peer peer, const Job& job, const std::vector<std::string>& names);
// Logs in, lists the remote folder of `rows` files with their sizes, and ends. The peers
// write the listing to job.scratch / "listing.txt"; this program checks its row count.
ChildCommand List(Peer peer, const Job& job, int rows);

}  // namespace bench
