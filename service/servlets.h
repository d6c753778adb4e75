#pragma once

#include <filesystem>
#include <string>

#include "account.h"
#include "guess_brake.h"
#include "service_config.h"
#include "share_store.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace stowbox::service {

// What the servlets share, built once per web server. Opening the share database throws
// std::runtime_error.
struct ServletContext {
    ServletContext(const AccountBook& accounts, const ServiceConfig& config);

    const AccountBook& accounts;
    ShareStore shares;
    // Brakes on guessing account and share passwords over the web.
    GuessBrake guesses;
    std::filesystem::path outbox;
};

// Checks `user` and `password` behind the context's brake; answers 429 or 403 itself and
// returns nullptr when the account may not be used.
std::shared_ptr<const Account> authenticate_braked(ServletContext& context,
                                                   const httplib::Request& request,
                                                   const std::string& user,
                                                   const std::string& password,
                                                   httplib::Response& response);

// The brake's key for the client that sent `request`.
std::string client_key(const httplib::Request& request);

// Answers 429 with the time the client must wait.
void refuse_guessing(httplib::Response& response, GuessBrake::Clock::duration wait);

// POST /qmanager/servlet/DownloadLimits?user=U&password=P
void add_download_limits_servlet(httplib::Server& server, ServletContext& context);
// GET /qmanager/servlet/KestraShare?... and the share links it mails, GET /share/TOKEN
void add_share_servlet(httplib::Server& server, ServletContext& context);

}  // namespace stowbox::service
