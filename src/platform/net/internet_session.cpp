#include "platform/net/internet_session.h"

#include <curl/curl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>
#include <mutex>

#include "platform/device.h"
#include "platform/net/tls_context.h"
#include "platform/text/codepage.h"

namespace platform::net {

namespace {

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct TextDeleter {
    void operator()(char* text) const { curl_free(text); }
};
using Multi = std::unique_ptr<CURLM, MultiDeleter>;
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using ParsedUrl = std::unique_ptr<CURLU, UrlDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;
using CurlText = std::unique_ptr<char, TextDeleter>;

void StartCurl() {
    static std::once_flag started;
    std::call_once(started, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The person sees the program's own words, never the library's.
[[noreturn]] void Fail(std::wstring report) {
    throw InternetFailure(std::move(report));
}

[[noreturn]] void Unreachable(const std::string& host) {
    Fail(L"The web host could not be reached. (" + text::FromUtf8(host) + L")");
}

const wchar_t* const kOutOfMemory = L"There is not enough memory to open the web address.";

// As a protected FTP session says it, with the reason on a second line.
[[noreturn]] void Untrusted(CURL* handle, CURLcode result) {
    long verdict = X509_V_OK;
    curl_easy_getinfo(handle, CURLINFO_SSL_VERIFYRESULT, &verdict);
    std::string reason = "the certificate does not name the host";  // checked after the chain
    if (result == CURLE_SSL_CACERT_BADFILE) {
        reason = "the CA file cannot be read";
    } else if (verdict != X509_V_OK) {
        reason = X509_verify_cert_error_string(verdict);
    }
    Fail(L"The server's certificate is not trusted\n" + text::FromUtf8(reason));
}

// The host and port a URL leads to, before the device's routes.
Endpoint TargetOf(const std::string& url) {
    ParsedUrl parsed(curl_url());
    if (!parsed) {
        Fail(kOutOfMemory);
    }
    // Schemes are matched without regard to case; only plain HTTP is opened.
    const CURLUcode set = curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0);
    if (set != CURLUE_OK) {
        Fail(L"The web address is not usable.");
    }
    char* raw = nullptr;
    curl_url_get(parsed.get(), CURLUPART_SCHEME, &raw, 0);
    const CurlText scheme(raw);
    if (!scheme || std::string(scheme.get()) != "http") {
        Fail(L"Only HTTP web addresses can be opened.");
    }
    raw = nullptr;
    curl_url_get(parsed.get(), CURLUPART_HOST, &raw, 0);
    const CurlText host(raw);
    raw = nullptr;
    curl_url_get(parsed.get(), CURLUPART_PORT, &raw, CURLU_DEFAULT_PORT);
    const CurlText port(raw);
    if (!host || !port) {
        Fail(L"The web address names no host.");
    }
    return {host.get(), static_cast<std::uint16_t>(std::stoul(port.get()))};
}

// The URL with the scheme https and the host and port `to`: where the user led the web host
// with an https:// address. The request goes there directly, so the host whose certificate is
// verified is the one the user named.
std::string SecureAddress(const std::string& url, const Endpoint& to) {
    ParsedUrl parsed(curl_url());
    char* raw = nullptr;
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK ||
        curl_url_set(parsed.get(), CURLUPART_SCHEME, "https", 0) != CURLUE_OK ||
        curl_url_set(parsed.get(), CURLUPART_HOST, to.host.c_str(), 0) != CURLUE_OK ||
        curl_url_set(parsed.get(), CURLUPART_PORT, std::to_string(to.port).c_str(), 0) !=
            CURLUE_OK ||
        curl_url_get(parsed.get(), CURLUPART_URL, &raw, 0) != CURLUE_OK) {
        Fail(L"The web address is not usable.");
    }
    const CurlText secure(raw);
    return secure.get();
}

// The library's own context gets the device's rules: the CA file besides the system's
// authorities, no protocol older than the FTP session allows.
CURLcode SetUpTls(CURL*, void* context, void* caFile) {
    return SetUpClient(static_cast<ssl_ctx_st*>(context),
                       *static_cast<const std::filesystem::path*>(caFile))
               ? CURLE_OK
               : CURLE_SSL_CACERT_BADFILE;
}

long Milliseconds(std::chrono::milliseconds limit) {
    return static_cast<long>(std::min<std::chrono::milliseconds::rep>(limit.count(), LONG_MAX));
}

std::size_t KeepBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto* body = static_cast<std::string*>(target);
    const std::size_t bytes = size * count;
    const std::size_t room =
        InternetFile::kKeptBytes - std::min(body->size(), InternetFile::kKeptBytes);
    body->append(data, std::min(bytes, room));
    return bytes;
}

// Performs the request in slices with the network's wait hook called between them, so the
// device's screen stays alive while the web host takes its time.
CURLcode Perform(CURL* easy, const Network& network) {
    Multi multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) {
        return CURLE_OUT_OF_MEMORY;
    }
    // Only a finished transfer's own result counts; anything else is a failure.
    CURLcode result = CURLE_RECV_ERROR;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            break;
        }
        if (running > 0) {
            network.Waiting();
            const int slice = static_cast<int>(Network::kWaitSlice.count());
            if (curl_multi_poll(multi.get(), nullptr, 0, slice, nullptr) != CURLM_OK) {
                break;
            }
        }
    }
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
            result = message->data.result;
        }
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

HeaderList HeaderLines(const std::wstring& headers) {
    HeaderList list;
    const std::string bytes = text::ToAnsi(headers);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        end = end == std::string::npos ? bytes.size() : end;
        if (end > start) {
            // Appending returns the list's head, or null (leaving the list as it was).
            curl_slist* head =
                curl_slist_append(list.get(), bytes.substr(start, end - start).c_str());
            if (head == nullptr) {
                Fail(kOutOfMemory);
            }
            static_cast<void>(list.release());
            list.reset(head);
        }
        start = end + 2;
    }
    return list;
}

}  // namespace

InternetSession::InternetSession(std::wstring agent, std::uintptr_t context, InternetAccess access)
    : m_agent(std::move(agent)), m_context(context), m_access(access) {
    StartCurl();
}

InternetSession::~InternetSession() {
    Close();
}

void InternetSession::Close() {
    if (m_open) {
        m_open = false;
        OnStatusCallback(m_context, InternetStatus::Closing);
    }
}

void InternetSession::OnStatusCallback(std::uintptr_t, InternetStatus) {}

std::unique_ptr<InternetFile> InternetSession::OpenUrl(const std::wstring& url,
                                                       std::uintptr_t context, std::uint32_t,
                                                       const std::wstring& headers) {
    Device& device = Device::Current();
    device.Frontend().UrlOpened(url);
    if (!m_open) {
        Fail(L"The internet session is closed.");
    }
    const Network& network = device.Net();
    const Endpoint target = TargetOf(text::ToUtf8(url));
    const Endpoint routed = network.Resolve(target);
    const bool secure = network.ProtectsRoute(target);
    const std::string address =
        secure ? SecureAddress(text::ToUtf8(url), routed) : text::ToUtf8(url);

    Easy easy(curl_easy_init());
    if (!easy) {
        Fail(kOutOfMemory);
    }
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, secure ? "https" : "http");
    if (secure) {
        curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, &SetUpTls);
        curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &network.CaFile());
    }
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_IPRESOLVE, CURL_IPRESOLVE_V4);
    const std::string agent = text::ToAnsi(m_agent);
    if (!agent.empty()) {
        curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
    }
    if (m_access == InternetAccess::Direct) {
        curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
    }
    // The device's routes lead the built-in web host elsewhere; the request stays the same.
    HeaderList routes;
    if (!secure && !(routed == target)) {
        const std::string route = target.host + ":" + std::to_string(target.port) + ":" +
                                  routed.host + ":" + std::to_string(routed.port);
        routes.reset(curl_slist_append(nullptr, route.c_str()));
        curl_easy_setopt(handle, CURLOPT_CONNECT_TO, routes.get());
    }
    const HeaderList extra = HeaderLines(headers);
    if (extra) {
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, extra.get());
    }
    // One limit for the whole request, connection included, so that a silent or trickling
    // host ends in a report soon. Without it, the patience of the device's sockets: a peer
    // that stops sending ends the wait.
    if (network.ConnectTimeout().count() > 0) {
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(network.ConnectTimeout()));
    }
    if (network.WebTimeout().count() > 0) {
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, Milliseconds(network.WebTimeout()));
    } else if (network.IoTimeout().count() > 0) {
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(network.IoTimeout());
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(seconds.count()));
    }
    std::string body;
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &KeepBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);

    OnStatusCallback(context, InternetStatus::Connecting);
    const CURLcode result = Perform(handle, network);
    if (result == CURLE_PEER_FAILED_VERIFICATION || result == CURLE_SSL_CACERT_BADFILE) {
        Untrusted(handle, result);
    }
    if (result != CURLE_OK) {
        // Refused, silent past the time limit or broken off: to the person, all one.
        Unreachable(target.host);
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    OnStatusCallback(context, InternetStatus::ResponseReceived);
    return std::make_unique<InternetFile>(status, std::move(body));
}

}  // namespace platform::net
