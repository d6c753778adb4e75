#pragma once
// Entries of the path box: "My Device" or "Stowbox" first, then one entry per folder level,
// written as asterisks (indentation only), one blank and the folder name.

#include <string>

// The entry at position nIndex for a folder: nIndex + 1 asterisks, a blank and the name.
std::wstring PathBoxEntry(int nIndex, const std::wstring& strName);
// The folder name of an entry: its text after the first blank (all of it without a blank).
std::wstring PathEntryName(const std::wstring& strEntry);
std::wstring TrimLeadingBlanks(const std::wstring& strText);
