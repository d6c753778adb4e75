#include "filelist/path_box.h"

#include "ftp/remote_root.h"

std::wstring PathBoxEntry(int nIndex, const std::wstring& strName) {
    return std::wstring(static_cast<std::size_t>(nIndex + 1), L'*') + L' ' + strName;
}

std::wstring PathEntryName(const std::wstring& strEntry) {
    const std::size_t blank = strEntry.find(L' ');
    return blank == std::wstring::npos ? strEntry : strEntry.substr(blank + 1);
}

std::wstring TrimLeadingBlanks(const std::wstring& strText) {
    const std::size_t first = strText.find_first_not_of(L' ');
    return first == std::wstring::npos ? std::wstring() : strText.substr(first);
}

std::wstring PathFromEntries(const platform::ui::ComboBox& box, int nLast, wchar_t chSeparator,
                             bool bTrim) {
    std::wstring path;
    for (int i = 1; i <= nLast; ++i) {
        const std::wstring name = PathEntryName(box.GetLBText(i));
        path += chSeparator;
        path += bTrim ? TrimLeadingBlanks(name) : name;
    }
    return path;
}

void ResetToRemoteRoot(platform::ui::ComboBox& box) {
    box.ResetContent();
    box.InsertString(0, L"Stowbox");
    box.InsertString(1, std::wstring(L"**  ") + kRemoteRootName);
}
