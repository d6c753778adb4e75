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
    std::size_t sent = 0;
    while (replies.size() < commands.size()) {
        const std::size_t unanswered = sent - replies.size();
        if (sent < commands.size() && unanswered <= kRefillAt) {
            // The window's commands go out as one text, each line ended as SendCommand ends
            // it, so the bytes on the wire are those of one SendCommand per command. An empty
            // command sends nothing, as SendCommand does.
            std::wstring batch;
            for (std::size_t n = unanswered; n < kMaxPipelinedCommands && sent < commands.size();
                 ++n, ++sent) {
                const std::wstring& command = commands[sent];
                if (command.empty()) {
                    continue;
                }
                batch += command;
                if (command.size() < 2 || command.compare(command.size() - 2, 2, L"\r\n") != 0) {
                    batch += L"\r\n";
                }
            }
            if (!batch.empty()) {
                SendCommand(batch);
            }
        }
        // Each reply is read exactly as after a single command, so a connection that ends
        // leaves the unanswered commands with what ReadReply gives then.
        replies.push_back(ReadReply());
    }
    return replies;
}
