#pragma once

#include <string>

namespace httplib {
struct Response;
}

namespace stowbox::service {

// Answers with `status` and a short text/plain body, sent as it is: the client offers gzip
// in every request but never undoes a content encoding, and the web library leaves a body
// of known length from a content provider uncompressed.
void plain_reply(httplib::Response& response, int status, std::string text);

}  // namespace stowbox::service
