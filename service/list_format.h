#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace stowbox::service {

struct ListEntry {
    std::string name;
    mode_t mode = 0;  // st_mode: type and permission bits
    std::uintmax_t links = 1;
    std::uintmax_t size = 0;
    std::time_t modified = 0;
};

// One line of a LIST reply, CR LF included, e.g.
// "-rw-r--r--   1 alice    support      2048 Dec 07 12:34 notes.txt".
// The date always carries a time of day, never a year: the client finds the name after the
// first ":" and the blank behind it.
std::string format_list_line(const ListEntry& entry, std::string_view owner);

}  // namespace stowbox::service
