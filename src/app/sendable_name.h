#pragma once
// The check the windows make before a device name goes to the server.

#include <string>

// Whether the name can go into a command. A name with characters the server's encoding
// lacks is refused with a message that names it, so that no file is skipped untold; a name
// with a line break is refused without one (the command's own failure message follows).
bool CanSendName(const std::wstring& strName);
