#pragma once
// The ids of res/resource.h by their names, for scripts that name an id as the code does.

#include <optional>
#include <string_view>

namespace res {

// The id NAME stands for: a name of res/resource.h, or a dialog's standard IDOK and IDCANCEL.
// Names that share a value (the CANCEL buttons of different windows) all give it.
std::optional<int> ResourceId(std::string_view name);

}  // namespace res
