#include "list_format.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>

namespace stowbox::service {

namespace {

std::string permissions(mode_t mode) {
    std::string text = S_ISDIR(mode) ? "d" : "-";
    constexpr std::array<std::pair<mode_t, char>, 9> bits{{{S_IRUSR, 'r'},
                                                           {S_IWUSR, 'w'},
                                                           {S_IXUSR, 'x'},
                                                           {S_IRGRP, 'r'},
                                                           {S_IWGRP, 'w'},
                                                           {S_IXGRP, 'x'},
                                                           {S_IROTH, 'r'},
                                                           {S_IWOTH, 'w'},
                                                           {S_IXOTH, 'x'}}};
    for (const auto& [bit, letter] : bits) {
        text += (mode & bit) != 0 ? letter : '-';
    }
    return text;
}

}  // namespace

std::string format_list_line(const ListEntry& entry, std::string_view owner) {
    // Fixed English month names: the line must not depend on the host's locale.
    constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm when{};
    ::gmtime_r(&entry.modified, &when);
    std::array<char, 64> head{};
    std::snprintf(head.data(), head.size(), "%s %3ju ", permissions(entry.mode).c_str(),
                  entry.links);
    std::array<char, 64> tail{};
    std::snprintf(tail.data(), tail.size(), " support      %ju %s %02d %02d:%02d ", entry.size,
                  months[std::size_t(when.tm_mon) % months.size()], when.tm_mday, when.tm_hour,
                  when.tm_min);
    std::string owner_field(owner);
    if (owner_field.size() < 8) {
        owner_field.resize(8, ' ');
    }
    return std::string(head.data()) + owner_field + tail.data() + entry.name + "\r\n";
}

}  // namespace stowbox::service
