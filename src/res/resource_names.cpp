#include "res/resource_names.h"

#include <algorithm>
#include <iterator>

#include "platform/ui/message.h"
#include "res/resource.h"

namespace res {

namespace {

struct NamedId {
    std::string_view name;
    int id;
};

#define STOWBOX_NAMED_RESOURCE_ID(name, value) {#name, name},
constexpr NamedId kNamedIds[] = {{"IDOK", platform::ui::kIdOk},
                                 {"IDCANCEL", platform::ui::kIdCancel},
                                 STOWBOX_RESOURCE_IDS(STOWBOX_NAMED_RESOURCE_ID)};
#undef STOWBOX_NAMED_RESOURCE_ID

}  // namespace

std::optional<int> ResourceId(std::string_view name) {
    const auto* found = std::find_if(std::begin(kNamedIds), std::end(kNamedIds),
                                     [&](const NamedId& entry) { return entry.name == name; });
    if (found == std::end(kNamedIds)) {
        return std::nullopt;
    }
    return found->id;
}

}  // namespace res
