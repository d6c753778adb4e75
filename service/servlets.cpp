#include "servlets.h"

#include <httplib.h>

#include "plain_reply.h"

namespace stowbox::service {

namespace {

GuessBrakeSettings brake_settings(const ServiceConfig& config) {
    GuessBrakeSettings settings;
    settings.free_failures = config.web_free_guesses;
    settings.first_pause = config.web_guess_pause;
    settings.longest_pause = config.web_longest_guess_pause;
    return settings;
}

}  // namespace

ServletContext::ServletContext(const AccountBook& accounts, const ServiceConfig& config)
    : accounts(accounts),
      shares(config.root / "shares.db"),
      guesses(brake_settings(config)),
      outbox(config.root / "outbox") {}

std::string client_key(const httplib::Request& request) {
    return "address " + request.remote_addr;
}

void refuse_guessing(httplib::Response& response, GuessBrake::Clock::duration wait) {
    // Whole seconds, rounded up, as Retry-After counts them.
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(wait).count();
    response.set_header("Retry-After", std::to_string(seconds));
    plain_reply(
        response, 429,
        "error: too many wrong passwords; try again in " + std::to_string(seconds) + " seconds\n");
}

std::shared_ptr<const Account> authenticate_braked(ServletContext& context,
                                                   const httplib::Request& request,
                                                   const std::string& user,
                                                   const std::string& password,
                                                   httplib::Response& response) {
    auto attempt = context.guesses.begin(client_key(request), "account " + user);
    if (!attempt.admitted()) {
        refuse_guessing(response, attempt.refused_for());
        return nullptr;
    }
    auto account = context.accounts.authenticate(user, password);
    if (account == nullptr) {
        attempt.failed();
        plain_reply(response, 403, "error: unknown user or wrong password\n");
        return nullptr;
    }
    attempt.succeeded();
    return account;
}

}  // namespace stowbox::service
