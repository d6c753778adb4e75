#include <vector>

#include "app/globals.h"
#include "filelist/listing_line.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/ui_guards.h"

void CFileManagerDlg::ListRemoteFolder() {
    CWaitCursor wait;
    CListFreeze freeze(m_listFiles);
    m_comboPath.ResetContent();
    m_comboPath.InsertString(0, L"Stowbox");
    m_comboPath.InsertString(1, L"**  My Device on Stowbox");
    m_listFiles.DeleteAllItems();
    CClientApp* app = GetClientApp();
    app->m_strCurrentView = L"Remote";
    app->m_strRemoteDir = g_ftp.GetCurrentDir();
    // A refused LIST leaves the text as it was; starting empty keeps another folder's rows
    // from being shown as this one's.
    app->m_strRemoteListing.clear();
    g_ftp.List(app->m_strRemoteDir, app->m_strRemoteListing);
    if (!app->m_strRemoteListing.empty()) {
        AddListingRows(app->m_strRemoteListing);
        SortItems(kColumnType, true);
    }
    m_comboPath.SetCurSel(1);
}

void CFileManagerDlg::AddListingRows(const std::wstring& strListing) {
    std::vector<CListingEntry> entries;
    std::vector<std::wstring> sizeCommands;
    ForEachListingLine(strListing, [&](const std::wstring& line) {
        entries.push_back(ParseListingLine(line));
        if (!entries.back().bFolder) {
            sizeCommands.push_back(L"SIZE " + entries.back().strName);
        }
    });
    // One SIZE per file in line order, as one after the other would send them, but without
    // a round trip each.
    const std::vector<std::wstring> replies = g_ftp.ExchangePipelined(sizeCommands);
    std::size_t reply = 0;
    for (const CListingEntry& entry : entries) {
        const std::uint32_t size = entry.bFolder ? 0 : SizeFromReply(replies[reply++]);
        m_listFiles.AddRow(entry.strName, entry.bFolder, size);
    }
}
