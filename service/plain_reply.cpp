#include "plain_reply.h"

#include <httplib.h>

#include <memory>

namespace stowbox::service {

void plain_reply(httplib::Response& response, int status, std::string text) {
    response.status = status;
    auto body = std::make_shared<const std::string>(std::move(text));
    response.set_content_provider(
        body->size(), "text/plain",
        [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            sink.write(body->data() + offset, std::min(length, body->size() - offset));
            return true;
        });
}

}  // namespace stowbox::service
