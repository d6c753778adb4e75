#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace stowbox::service {

// Cuts a byte stream into command lines ended by LF (a CR before it is dropped). A line
// longer than the limit is reported once, as soon as it is known to be too long, and the
// rest of it is skipped, so memory stays bounded whatever the peer sends.
class LineFramer {
  public:
    struct Line {
        std::string text;
        bool too_long = false;
    };

    explicit LineFramer(std::size_t max_line) : max_line_(max_line) {}

    void feed(std::string_view bytes);
    std::optional<Line> next();
    // Forgets every byte fed so far, lines not yet taken included.
    void clear();

  private:
    std::size_t max_line_;
    std::string pending_;
    bool discarding_ = false;
    std::deque<Line> ready_;
};

}  // namespace stowbox::service
