// Commands that protect the session with TLS: AUTH TLS for the control connection, PBSZ and
// PROT for the data connections.
#include <openssl/rand.h>

#include <algorithm>
#include <array>

#include "ascii_case.h"
#include "ftp_session.h"

namespace stowbox::service {

namespace {

constexpr std::size_t kScopeSize = 32;  // the most a TLS session context may hold

}  // namespace

const FtpSession::Command* FtpSession::find_tls_command(std::string_view verb) {
    static constexpr std::array<Command, 3> commands{{
        {"AUTH", &FtpSession::cmd_auth, false, false},
        {"PBSZ", &FtpSession::cmd_pbsz, false, false},
        {"PROT", &FtpSession::cmd_prot, false, false},
    }};
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const Command& c) { return c.name == verb; });
    return it == commands.end() ? nullptr : &*it;
}

void FtpSession::cmd_auth(const std::string& arg) {
    // "AUTH SSL" of the old drafts also meant protected data without PROT; a client that
    // sends it asks again with "AUTH TLS" when refused.
    if (upper_ascii(arg) != "TLS") {
        reply(504, "Only AUTH TLS is supported");
        return;
    }
    if (control_.secure()) {
        reply(503, "TLS is already on");
        return;
    }
    if (account_ != nullptr) {
        reply(503, "AUTH TLS must come before the log-in");
        return;
    }
    std::string scope(kScopeSize, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(scope.data()), int(scope.size())) != 1) {
        reply(431, "Cannot set up TLS now");
        return;
    }
    tls_scope_ = std::move(scope);
    reply(234, "Proceed with TLS");
    // Whatever came in clear behind AUTH was sent before the handshake, so anyone on the path
    // may have put it there.
    framer_.clear();
    user_.clear();
    if (!control_.start_tls(tls_->new_connection(tls_scope_), stop_fd_, config_.data_timeout)) {
        open_ = false;
    }
}

void FtpSession::cmd_pbsz(const std::string& arg) {
    if (!control_.secure()) {
        reply(503, "Use AUTH TLS first");
    } else if (arg.empty() || arg.find_first_not_of("0123456789") != std::string::npos) {
        reply(501, "PBSZ needs a number");
    } else {
        // TLS frames the data itself: whatever size the client offers, no buffer is needed.
        reply(200, "PBSZ=0");
    }
}

void FtpSession::cmd_prot(const std::string& arg) {
    const std::string level = upper_ascii(arg);
    if (level == "C") {
        protect_transfers_ = false;
        reply(200, "Data connections in clear");
    } else if (level == "P" && !control_.secure()) {
        reply(503, "Use AUTH TLS first");
    } else if (level == "P") {
        protect_transfers_ = true;
        reply(200, "Data connections protected");
    } else if (level == "S" || level == "E") {
        reply(536, "Only PROT C and PROT P are supported");
    } else {
        reply(504, "Unknown protection level");
    }
}

bool FtpSession::transfer_allowed() {
    if (config_.require_tls && !protect_transfers_) {
        reply(521, "This server requires protected data connections: use PROT P");
        return false;
    }
    return true;
}

bool FtpSession::protect_data(Channel& data) {
    // Only the client holding the control connection can resume its session, so a host that
    // reached the data port first is turned away here.
    const bool secured =
        data.start_tls(tls_->new_data_connection(tls_scope_), stop_fd_, config_.data_timeout);
    const bool resumed = secured && data.resumed_session();
    if (resumed) {
        return true;
    }
    data = Channel();
    if (secured) {
        reply(522, "The data connection must reuse the control connection's TLS session");
    } else {
        reply(425, "Cannot set up TLS on the data connection");
    }
    return false;
}

}  // namespace stowbox::service
