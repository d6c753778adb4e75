#include "tls_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace tls_testing {
namespace {

using namespace std::chrono_literals;

struct Issued {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{EVP_EC_gen("P-256"), EVP_PKEY_free};
    std::unique_ptr<X509, decltype(&X509_free)> certificate{X509_new(), X509_free};
};

void Extend(X509* certificate, X509V3_CTX& context, int nid, const char* value) {
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (extension == nullptr || X509_add_ext(certificate, extension, -1) != 1) {
        throw std::runtime_error("cannot add a certificate extension");
    }
    X509_EXTENSION_free(extension);
}

// An authority's own certificate without `issuer`, else a server's signed by `issuer`.
Issued Issue(const char* commonName, const Issued* issuer, const char* names = nullptr) {
    Issued made;
    X509* certificate = made.certificate.get();
    X509_set_version(certificate, X509_VERSION_3);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), issuer != nullptr ? 2 : 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
    X509_set_pubkey(certificate, made.key.get());
    X509_NAME_add_entry_by_txt(X509_get_subject_name(certificate), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    const Issued& signer = issuer != nullptr ? *issuer : made;
    X509_set_issuer_name(certificate, X509_get_subject_name(signer.certificate.get()));
    X509V3_CTX context;
    X509V3_set_ctx(&context, signer.certificate.get(), certificate, nullptr, nullptr, 0);
    if (issuer == nullptr) {
        Extend(certificate, context, NID_basic_constraints, "critical,CA:TRUE");
        Extend(certificate, context, NID_key_usage, "critical,keyCertSign");
    } else {
        Extend(certificate, context, NID_subject_alt_name, names);
    }
    if (X509_sign(certificate, signer.key.get(), EVP_sha256()) == 0) {
        throw std::runtime_error("cannot sign a certificate");
    }
    return made;
}

std::string Pem(X509* certificate) {
    std::unique_ptr<BIO, decltype(&BIO_free)> memory(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_X509(memory.get(), certificate);
    char* bytes = nullptr;
    const long size = BIO_get_mem_data(memory.get(), &bytes);
    return std::string(bytes, static_cast<std::size_t>(size));
}

}  // namespace

TlsServer::TlsServer(const ServerSetup& setup)
    : m_setup(setup), m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const Issued trusted = Issue("test authority", nullptr);
    const Issued stranger = Issue("stranger authority", nullptr);
    const Issued server =
        Issue("test server", setup.signedByTrustedAuthority ? &trusted : &stranger, setup.names);
    m_caFile = m_folder.WriteFile("ca.pem", Pem(trusted.certificate.get()));

    m_context.reset(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
    SSL_CTX_set_max_proto_version(m_context.get(), setup.newestVersion);
    SSL_CTX_use_certificate(m_context.get(), server.certificate.get());
    SSL_CTX_use_PrivateKey(m_context.get(), server.key.get());

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (::bind(m_listener.Get(), raw, sizeof address) != 0 ||
        ::getsockname(m_listener.Get(), raw, &length) != 0 || ::listen(m_listener.Get(), 8) != 0) {
        throw std::runtime_error("cannot listen on loopback");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

TlsServer::~TlsServer() {
    ::shutdown(m_listener.Get(), SHUT_RDWR);  // ends the wait in accept()
    m_thread.join();
}

bool TlsServer::WaitFor(const std::atomic<int>& counter, int count) {
    for (int tries = 0; counter < count && tries < 500; ++tries) {
        std::this_thread::sleep_for(10ms);
    }
    return counter >= count;
}

// Each connection is answered on its own, as a control connection stays open while the data
// connections come and go.
void TlsServer::Serve() {
    std::vector<testing_support::Fd> silent;  // held open until the server goes
    std::vector<std::jthread> answering;
    for (;;) {
        testing_support::Fd connection(::accept(m_listener.Get(), nullptr, nullptr));
        if (!connection.Valid()) {
            return;
        }
        const timeval limit{5, 0};  // a client that went wrong cannot hold the server up
        ::setsockopt(connection.Get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        if (m_setup.ending == Ending::Silent) {
            silent.push_back(std::move(connection));
        } else {
            answering.emplace_back([this, fd = std::move(connection)] { Answer(fd.Get()); });
        }
    }
}

void TlsServer::Answer(int fd) {
    std::unique_ptr<SSL, decltype(&SSL_free)> tls(SSL_new(m_context.get()), SSL_free);
    SSL_set_fd(tls.get(), fd);
    if (SSL_accept(tls.get()) != 1) {
        return;  // the client refused the certificate
    }
    ++m_handshakes;
    char ping[4] = {};
    if (SSL_read(tls.get(), ping, sizeof ping) != 4 || SSL_write(tls.get(), "pong", 4) != 4) {
        return;
    }
    if (m_setup.ending == Ending::CloseNotify && SSL_shutdown(tls.get()) == 0 &&
        SSL_shutdown(tls.get()) == 1) {
        ++m_cleanEnds;
    }
}

}  // namespace tls_testing
