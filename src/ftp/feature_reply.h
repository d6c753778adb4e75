#pragma once
// The features a server lists in its answer to FEAT: "211-Features:\r\n UTF8\r\n SIZE\r\n211 End".

#include <string_view>

namespace ftp {

// Whether a 211 reply lists the feature (any case); a refused FEAT lists none.
bool ListsFeature(std::wstring_view reply, std::wstring_view feature);

}  // namespace ftp
