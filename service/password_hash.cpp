#include "password_hash.h"

#include <crypt.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace stowbox::service {

namespace {

struct FreeWithStdFree {
    void operator()(void* memory) const { std::free(memory); }
};

// crypt_ra's scratch area, which it allocates on first use; one per call keeps it thread-safe.
class CryptScratch {
  public:
    // The hash of `password` with `setting`, or nullptr when crypt refuses.
    const char* hash(const std::string& password, const char* setting) {
        void* data = data_.release();
        const char* result = ::crypt_ra(password.c_str(), setting, &data, &size_);
        data_.reset(data);
        // crypt reports a failure as nullptr or as a token starting with "*".
        return result != nullptr && result[0] != '*' ? result : nullptr;
    }

  private:
    std::unique_ptr<void, FreeWithStdFree> data_;
    int size_ = 0;
};

std::string_view up_to_last_dollar(std::string_view hash) {
    const auto last = hash.rfind('$');
    return last == std::string_view::npos ? std::string_view() : hash.substr(0, last);
}

}  // namespace

std::string hash_password(std::string_view password) {
    // crypt reads a C string: a NUL would silently cut the password short.
    if (password.find('\0') != std::string_view::npos) {
        throw std::runtime_error("a password may not hold a NUL byte");
    }
    std::unique_ptr<char, FreeWithStdFree> setting(::crypt_gensalt_ra(nullptr, 0, nullptr, 0));
    if (!setting) {
        throw std::runtime_error("crypt cannot make a salt");
    }
    CryptScratch scratch;
    const char* hash = scratch.hash(std::string(password), setting.get());
    if (hash == nullptr) {
        throw std::runtime_error("crypt cannot hash a password");
    }
    return hash;
}

bool verify_password(std::string_view password, const std::string& hash) {
    if (password.find('\0') != std::string_view::npos) {
        return false;
    }
    CryptScratch scratch;
    const char* computed = scratch.hash(std::string(password), hash.c_str());
    return computed != nullptr && equal_in_constant_time(computed, hash);
}

std::string hash_problem(const std::string& hash) {
    switch (::crypt_checksalt(hash.c_str())) {
        case CRYPT_SALT_OK:
            break;
        case CRYPT_SALT_METHOD_LEGACY:
            return "the hash uses an old, weak method";
        case CRYPT_SALT_METHOD_DISABLED:
            return "the hash uses a method this system has disabled";
        default:
            return "not a hash crypt(3) accepts";
    }
    // A salt alone passes the check above but matches no password: the hash of anything with
    // this setting must have the same shape.
    CryptScratch scratch;
    const char* sample = scratch.hash("", hash.c_str());
    if (sample == nullptr || std::string_view(sample).size() != hash.size() ||
        up_to_last_dollar(sample) != up_to_last_dollar(hash)) {
        return "the hash is incomplete";
    }
    return {};
}

bool equal_in_constant_time(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    // volatile keeps the compiler from ending the loop at the first difference.
    volatile unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference = difference | static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

}  // namespace stowbox::service
