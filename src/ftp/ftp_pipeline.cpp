// Pipelined command exchange: many commands on the wire before their replies come back, so
// a folder of n files costs a few round trips instead of n.

#include "ftp/ftp_session.h"

namespace {

// Refill once half the window is answered: fewer, fuller sends than one per reply.
constexpr std::size_t kRefillAt = CFtpSession::kMaxPipelinedCommands / 2;

}  // namespace

std::vector<std::wstring> CFtpSession::ExchangePipelined(
    const std::vector<std::wstring>& commands) {
    std::vector<std::wstring> replies;
    replies.reserve(commands.size());
    // A command that would break its line is never sent; its reply is the refusal.
    std::vector<bool> refused(commands.size(), false);
    std::size_t sent = 0;
    while (replies.size() < commands.size()) {
        const std::size_t unanswered = sent - replies.size();
        if (sent < commands.size() && unanswered <= kRefillAt) {
            // The window's commands go out in one send, each line as SendCommand would send
            // it. An empty command sends nothing, as SendCommand does.
            std::string batch;
            for (std::size_t n = unanswered; n < kMaxPipelinedCommands && sent < commands.size();
                 ++n, ++sent) {
                if (commands[sent].empty()) {
                    continue;
                }
                const std::optional<std::string> line = CommandLine(commands[sent]);
                if (line) {
                    batch += *line;
                } else {
                    refused[sent] = true;
                }
            }
            if (!batch.empty()) {
                SendLines(batch);
            }
        }
        // Each reply is read exactly as after a single command, so a connection that ends
        // leaves the unanswered commands with what ReadReply gives then.
        if (refused[replies.size()]) {
            RefuseCommand();
        }
        replies.push_back(ReadReply());
    }
    return replies;
}
