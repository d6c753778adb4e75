#include <httplib.h>

#include "plain_reply.h"
#include "servlets.h"

namespace stowbox::service {

void add_download_limits_servlet(httplib::Server& server, ServletContext& context) {
    // A handler that takes a content reader runs before any body is read: the client sends
    // an HTTP/1.0 POST with neither body nor length, and waiting for a body would stall it.
    server.Post(
        "/qmanager/servlet/DownloadLimits",
        [&context](const httplib::Request& request, httplib::Response& response,
                   const httplib::ContentReader& read_body) {
            if (request.has_header("Content-Length") || request.has_header("Transfer-Encoding")) {
                read_body([](const char*, std::size_t) { return true; });
            }
            if (!request.has_param("user") || !request.has_param("password")) {
                plain_reply(response, 400, "error: user and password are required\n");
                return;
            }
            const std::shared_ptr<const Account> account =
                authenticate_braked(context, request, request.get_param_value("user"),
                                    request.get_param_value("password"), response);
            if (account == nullptr) {
                return;
            }
            // The client reads a decimal number followed by one character.
            plain_reply(response, 200, std::to_string(account->download_limit) + "\n");
        });
}

}  // namespace stowbox::service
