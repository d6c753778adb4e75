#pragma once
// A text field; its style says whether it masks its text or only shows it.

#include "platform/ui/control.h"

namespace platform::ui {

class Edit : public Control {
  public:
    bool IsPassword() const { return (Template().style & kStylePassword) != 0; }
    bool IsReadOnly() const { return (Template().style & kStyleReadOnly) != 0; }
};

}  // namespace platform::ui
