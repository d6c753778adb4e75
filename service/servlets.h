#pragma once

#include <filesystem>

#include "account.h"
#include "share_store.h"

namespace httplib {
class Server;
}

namespace stowbox::service {

struct ServletContext {
    const AccountBook& accounts;
    ShareStore& shares;
    std::filesystem::path outbox;
};

// POST /qmanager/servlet/DownloadLimits?user=U&password=P
void add_download_limits_servlet(httplib::Server& server, const ServletContext& context);
// GET /qmanager/servlet/KestraShare?... and the share links it mails, GET /share/TOKEN
void add_share_servlet(httplib::Server& server, const ServletContext& context);

}  // namespace stowbox::service
