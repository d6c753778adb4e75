#pragma once
// Passwords are kept only as hashes made by the system's crypt(3), in its default method, and
// every comparison of secrets takes the same time however early they differ.

#include <string>
#include <string_view>

namespace stowbox::service {

// A fresh salt and the hash of `password` in crypt's default method. Throws
// std::runtime_error when crypt fails.
std::string hash_password(std::string_view password);

// Whether `password` hashes to `hash`; false for a hash crypt does not accept.
bool verify_password(std::string_view password, const std::string& hash);

// Empty when crypt accepts `hash` and its method is not one of the weak old ones, else why.
std::string hash_problem(const std::string& hash);

// Compares without stopping at the first difference, so that timing tells nothing about
// where two secrets part.
bool equal_in_constant_time(std::string_view a, std::string_view b);

}  // namespace stowbox::service
