#pragma once
// Entries of the path box: "My Device" or "Stowbox" first, then one entry per folder level,
// written as asterisks (indentation only), one blank and the folder name.

#include <string>

#include "platform/ui/combo_box.h"

// Empties the box and gives it the account's two top entries: "Stowbox" and the remote root,
// indented with two asterisks and two blanks.
void ResetToRemoteRoot(platform::ui::ComboBox& box);
// The entry at position nIndex for a folder: nIndex + 1 asterisks, a blank and the name.
std::wstring PathBoxEntry(int nIndex, const std::wstring& strName);
// The folder name of an entry: its text after the first blank (all of it without a blank).
std::wstring PathEntryName(const std::wstring& strEntry);
std::wstring TrimLeadingBlanks(const std::wstring& strText);

// The folder path that entries 1 to nLast spell, each level's name after chSeparator:
// "\\Photos\\2003" or "/My Device on Stowbox/Photos"; empty when nLast is below 1. bTrim
// drops the blanks that lead a level's name (those that indent the remote root's entry).
std::wstring PathFromEntries(const platform::ui::ComboBox& box, int nLast, wchar_t chSeparator,
                             bool bTrim = false);
