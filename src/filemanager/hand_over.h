#pragma once
// How a window of the chain ends: the next file manager window runs in its place.

#include "platform/ui/dialog.h"

// Runs a fresh file manager window; when its run returns, destroys the window that handed
// over, which ends that window's own run.
void HandOverToFileManager(platform::ui::Dialog& window);
