#include "line_framer.h"

namespace stowbox::service {

void LineFramer::feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto lf = bytes.find('\n');
        const auto piece = bytes.substr(0, lf);
        if (!discarding_) {
            // One byte of slack for the CR that may end the line.
            if (pending_.size() + piece.size() > max_line_ + 1) {
                ready_.push_back({{}, true});
                pending_.clear();
                discarding_ = true;
            } else {
                pending_.append(piece);
            }
        }
        if (lf == std::string_view::npos) {
            return;
        }
        if (discarding_) {
            discarding_ = false;
        } else {
            if (!pending_.empty() && pending_.back() == '\r') {
                pending_.pop_back();
            }
            if (pending_.size() > max_line_) {
                ready_.push_back({{}, true});
            } else {
                ready_.push_back({std::move(pending_), false});
            }
            pending_.clear();
        }
        bytes.remove_prefix(lf + 1);
    }
}

std::optional<LineFramer::Line> LineFramer::next() {
    if (ready_.empty()) {
        return std::nullopt;
    }
    Line line = std::move(ready_.front());
    ready_.pop_front();
    return line;
}

void LineFramer::clear() {
    pending_.clear();
    discarding_ = false;
    ready_.clear();
}

}  // namespace stowbox::service
