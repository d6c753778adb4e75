#include "filelist/format_size.h"

std::wstring FormatSize(std::uint32_t nSize) {
    const wchar_t* unit = L"";
    if (nSize > 1048576) {
        nSize >>= 20;
        unit = L"MB";
    } else if (nSize > 1024) {
        nSize >>= 10;
        unit = L"KB";
    }
    return std::to_wstring(nSize) + unit;
}
