#include "fact_format.h"

#include <array>

namespace stowbox::service {

std::string format_fact_time(std::time_t when) {
    std::tm parts{};
    ::gmtime_r(&when, &parts);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y%m%d%H%M%S", &parts);
    return {text.data(), length};
}

std::string format_facts(const struct stat& info) {
    std::string facts = S_ISDIR(info.st_mode) ? "type=dir;" : "type=file;";
    if (!S_ISDIR(info.st_mode)) {
        facts += "size=" + std::to_string(info.st_size) + ";";
    }
    return facts + "modify=" + format_fact_time(info.st_mtime) + ";";
}

std::string format_facts_line(const struct stat& info, std::string_view name) {
    return format_facts(info) + " " + std::string(name) + "\r\n";
}

}  // namespace stowbox::service
