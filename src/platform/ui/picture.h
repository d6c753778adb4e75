#pragma once
// A picture (a bitmap of the template): it takes no input.

#include "platform/ui/control.h"

namespace platform::ui {

class Picture : public Control {};

}  // namespace platform::ui
