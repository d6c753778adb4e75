#pragma once
// The size column's text.

#include <cstdint>
#include <string>

// "1024", "1KB", "1MB": whole units, a unit only above its boundary.
std::wstring FormatSize(std::uint32_t nSize);
