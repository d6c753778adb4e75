// Pipelined command exchange: many commands on the wire before their replies come back, so
// a folder of n files costs a few round trips instead of n.

#include <algorithm>

#include "ftp/ftp_session.h"

namespace {

// Refill once half the window is answered: fewer, fuller sends than one per reply.
constexpr std::size_t kRefillAt = CFtpSession::kMaxPipelinedCommands / 2;

}  // namespace

std::vector<std::wstring> CFtpSession::ExchangePipelined(
    const std::vector<std::wstring>& commands) {
    return ExchangePipelinedReading(commands, commands.size());
}

std::vector<std::wstring> CFtpSession::ExchangePipelinedLeavingLast(
    const std::vector<std::wstring>& commands) {
    return ExchangePipelinedReading(commands, commands.empty() ? 0 : commands.size() - 1);
}

std::vector<std::wstring> CFtpSession::ExchangePipelinedReading(
    const std::vector<std::wstring>& commands, std::size_t nToRead) {
    std::vector<std::wstring> replies;
    replies.reserve(nToRead);
    // A command that would break its line is never sent; its reply is the refusal.
    std::vector<bool> refused(commands.size(), false);
    std::size_t sent = 0;
    // The commands up to `until` go out in one send, each line as SendCommand would send it.
    // An empty command sends nothing, as SendCommand does.
    const auto sendUpTo = [&](std::size_t until) {
        std::string batch;
        for (; sent < until; ++sent) {
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
    };
    while (replies.size() < nToRead) {
        if (sent < commands.size() && sent - replies.size() <= kRefillAt) {
            sendUpTo(std::min(commands.size(), replies.size() + kMaxPipelinedCommands));
        }
        // Each reply is read exactly as after a single command, so a connection that ends
        // leaves the unanswered commands with what ReadReply gives then.
        if (refused[replies.size()]) {
            RefuseCommand();
        }
        replies.push_back(ReadReply());
    }
    // Commands whose replies are left to the caller went out with the last window, or go now
    // when no reply was to be read.
    sendUpTo(commands.size());
    // The caller's next ReadReply then gives the refusal, as after SendCommand.
    if (replies.size() < commands.size() && refused[replies.size()]) {
        RefuseCommand();
    }
    return replies;
}
