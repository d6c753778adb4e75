#include <unistd.h>

#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "password_hash.h"
#include "password_prompt.h"
#include "service.h"

namespace {

// Reads one password line from standard input and prints its hash for an accounts file.
int print_password_hash() {
    if (::isatty(STDIN_FILENO)) {
        std::cerr << "Password: " << std::flush;
    }
    std::string password;
    std::getline(std::cin, password);
    if (password.ends_with('\r')) {
        password.pop_back();
    }
    if (password.empty()) {
        std::cerr << "stowbox-service: no password on standard input\n";
        return 2;
    }
    try {
        std::cout << stowbox::service::hash_password(password) << "\n";
    } catch (const std::exception& error) {
        std::cerr << "stowbox-service: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

// Adds, changes or removes an account and says in one line what it did.
int change_accounts(const stowbox::service::AccountCommand& command) {
    std::string error;
    const auto done =
        stowbox::service::run_account_command(command, stowbox::service::read_new_password, error);
    if (!done) {
        std::cerr << "stowbox-service: " << error << "; nothing changed\n";
        return 1;
    }
    std::cout << *done << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace stowbox::service;
    const CommandLine command_line =
        parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (command_line.help) {
        std::cout << usage_text();
        return 0;
    }
    if (command_line.version) {
        std::cout << "stowbox-service " << STOWBOX_VERSION << "\n";
        return 0;
    }
    if (command_line.hash_password) {
        return print_password_hash();
    }
    if (command_line.account_command) {
        return change_accounts(*command_line.account_command);
    }
    if (!command_line.config) {
        std::cerr << "stowbox-service: " << command_line.error << "\n"
                  << (command_line.error_in_file ? "" : usage_text());
        return 2;
    }
    // Block the stop signals in every thread so that only sigwait below receives them, and
    // let a peer that went away show up as a failed send rather than a signal.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    if (!command_line.notice.empty()) {
        std::cerr << "stowbox-service: " << command_line.notice << "\n";
    }
    try {
        Service service(*command_line.config);
        service.start();
        const auto& listen = service.config().listen;
        std::cout << "ftp " << listen << ":" << service.ftp_port() << "\n"
                  << "web " << listen << ":" << service.web_port() << std::endl;
        int signal = 0;
        sigwait(&stop_signals, &signal);
        service.stop();
    } catch (const std::exception& error) {
        std::cerr << "stowbox-service: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
