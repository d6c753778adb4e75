#pragma once
// The file list of the main window, a view of rows: double tap opens a folder, tap-and-hold
// opens the pop-up menu of cut, copy and paste (carried out by CFileClipboard), the hidden
// type column stays closed.

#include <cstdint>
#include <string>

#include "platform/ui/combo_box.h"
#include "platform/ui/list_view.h"
#include "platform/ui/message_map.h"

// The columns of every file list row.
inline constexpr int kColumnName = 0;
inline constexpr int kColumnSize = 1;
inline constexpr int kColumnType = 2;  // zero width: the row's type code

// Type codes in the type column: the only record of whether a row is a folder.
inline constexpr const wchar_t* kTypeFolder = L"1";
inline constexpr const wchar_t* kTypeFile = L"2";

// Images of the rows.
inline constexpr int kImageFolder = 0;
inline constexpr int kImageFile = 1;

class CFileListCtrl : public platform::ui::ListView {
  public:
    bool OnMessage(const platform::ui::Message& message) override;
    // Keeps the zero-width type column from being dragged open.
    bool AllowColumnResize(int nColumn) override;

    bool SortByColumn(int nColumn, bool bAscending, int nLow = 0, int nHigh = -1);
    // Lists every entry of a device folder (the path ends in "\").
    void FillLocalFolder(const std::wstring& strFolder, const std::wstring& strPattern);

    // What a device folder listing leaves out.
    enum class SpecialEntries { Listed, Skipped };
    // Empties the list and fills it from a device folder; with Skipped, entries whose
    // attributes are exactly "in ROM" or exactly "system" (pipes, sockets, devices) are left
    // out. A download's temporary files are never listed.
    void FillFromDevice(const std::wstring& strFolder, const std::wstring& strPattern,
                        SpecialEntries special);
    // Appends one row in name order: name, size text (files only) and type code. Returns the
    // row, or -1 when it could not be inserted.
    int AddRow(const std::wstring& strName, bool bFolder, std::uint32_t nSize);
    // Adds the rows of a LIST text, each file's size read from its own line (the double
    // tap's listing: no SIZE requests).
    void FillFromListingLines(const std::wstring& strListing);
    // Adds one row per line of a LIST text, asking the server for each file's size.
    void AddListingRows(const std::wstring& strListing);
    // Empties the list and fills it from a LIST text with one SIZE request per file, folders
    // first (the refill after a paste changed the remote folder).
    void FillFromListing(const std::wstring& strListing);

    // Where the sizes of a listing's file rows come from.
    enum class ListingSizes { FromLines, AskServer };
    // Empties the list and shows the rows of a LIST text, folders first; an empty text leaves
    // the list empty.
    void ShowListing(const std::wstring& strListing, ListingSizes sizes);

    // The path box of the window this list belongs to.
    platform::ui::ComboBox* PathBox() const;

  private:
    void OnDoubleTap();
    void OnTapAndHold(const platform::ui::Message& message);
    // The pop-up menu's clipboard commands.
    void OnCopy();
    void OnCut();
    void OnPaste();
    void OnShareFile() {}

    static const platform::ui::MessageEntry<CFileListCtrl> kMessageMap[];
};
