// Rows from a LIST text with each file's size asked of the server.

#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filelist/listing_line.h"
#include "platform/ui/ui_guards.h"

void CFileListCtrl::AddListingRows(const std::wstring& strListing) {
    ForEachListingLine(strListing, [this](const std::wstring& line) {
        const CListingEntry entry = ParseListingLine(line);
        std::uint32_t size = 0;
        if (!entry.bFolder) {
            g_ftp.SendCommand(L"SIZE " + entry.strName);
            size = SizeFromReply(g_ftp.ReadReply());
        }
        AddRow(entry.strName, entry.bFolder, size);
    });
}

void CFileListCtrl::FillFromListing(const std::wstring& strListing) {
    CWaitCursor wait;
    CListFreeze freeze(*this);
    DeleteAllItems();
    AddListingRows(strListing);
    SortByColumn(kColumnType, true);
}

void CFileListCtrl::RefillFromServer() {
    // A LIST the server refuses leaves the text empty, and the list with it: no other
    // folder's rows are shown as this one's.
    std::wstring listing;
    g_ftp.List(g_ftp.GetCurrentDir(), listing);
    FillFromListing(listing);
}
