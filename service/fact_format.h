#pragma once

#include <sys/stat.h>

#include <ctime>
#include <string>
#include <string_view>

namespace stowbox::service {

// A time as MDTM and the "modify" fact give it: "YYYYMMDDHHMMSS", in UTC.
std::string format_fact_time(std::time_t when);

// The facts of a machine listing entry, each ended by ";", e.g.
// "type=file;size=2048;modify=20261207123456;". Folders carry no size.
std::string format_facts(const struct stat& info);

// One line of an MLSD reply, CR LF included: the facts, a blank and the name.
std::string format_facts_line(const struct stat& info, std::string_view name);

}  // namespace stowbox::service
