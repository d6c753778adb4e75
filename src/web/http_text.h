#pragma once
// The byte-level rules of the HTTP request client: splitting a URL into its parts and finding
// the end of a response head. Free functions on plain buffers, so that they can be driven
// with any bytes.

#include <cstddef>

// The default port of a URL that names none.
inline constexpr int kHttpDefaultPort = 80;

// A letter, a digit, "-", "." or ":": what a host (with its port) is made of.
bool IsHostChar(char c);

// Splits a zero-terminated URL "SCHEME://HOST[:PORT]PATH" into its parts. Each part is cut
// to fit its buffer (of at least one byte) and zero-terminated; the path keeps its query.
// A URL without ":" has the scheme "HTTP"; a port without digits is 0. Never fails.
void SplitUrl(const char* url, char* scheme, std::size_t schemeSize, char* host,
              std::size_t hostSize, char* path, std::size_t pathSize, int& port);

// Follows a response byte by byte and tells where its head ends: at a line feed that ends
// a line with nothing but carriage returns on it (the empty line, CR LF or a bare LF).
class HeadEndScanner {
  public:
    // True when this byte ends the head.
    bool Push(char byte);

  private:
    std::size_t m_lineCharacters = 0;  // characters other than CR since the last LF
};

// The length of the head at the start of `bytes`: up to and including the line feed that
// ends it, or `count` when it does not end there.
std::size_t HeadLength(const char* bytes, std::size_t count);
