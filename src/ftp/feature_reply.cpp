#include "ftp/feature_reply.h"

#include <cwctype>

#include "ftp/reply_codes.h"

namespace ftp {
namespace {

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ListsFeature(std::wstring_view reply, std::wstring_view feature) {
    if (ReplyCodeOf(reply) != kReplyFeatures) {
        return false;
    }
    // Feature lines start with a blank; the name runs to the next blank or the line's end.
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find(L'\n', start);
        if (end == std::wstring_view::npos) {
            end = reply.size();
        }
        std::wstring_view line = reply.substr(start, end - start);
        start = end + 1;
        const std::size_t first = line.find_first_not_of(L' ');
        if (first == 0 || first == std::wstring_view::npos) {
            continue;
        }
        line.remove_prefix(first);
        const std::wstring_view name = line.substr(0, line.find_first_of(L" \r"));
        if (SameIgnoringCase(name, feature)) {
            return true;
        }
    }
    return false;
}

}  // namespace ftp
