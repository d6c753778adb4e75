#pragma once
// The main window: one folder of the device or of the account in a checkable file list.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "filelist/file_list_ctrl.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/image_list.h"
#include "platform/ui/message_map.h"
#include "platform/ui/progress_bar.h"

class CFileManagerDlg : public platform::ui::Dialog {
  public:
    CFileManagerDlg();

    const char* ClassName() const override { return "CFileManagerDlg"; }
    bool OnMessage(const platform::ui::Message& message) override;

    // Resets the path box to the device root and lists it.
    void ShowLocalRoot();
    // Empties the list and fills it from a device folder (the path ends in "\"); the caller
    // sorts afterwards.
    void ListLocalFolder(const std::wstring& strFolder, const std::wstring& strPattern);
    // Lists the session's current remote folder under the remote root's path box entries.
    // False when the connection was lost: the list then keeps what it showed.
    bool ListRemoteFolder();
    bool SortItems(int nColumn, bool bAscending, int nLow = 0, int nHigh = -1);
    // Uploads a device folder's content (the path ends in "\") into the remote folder, which
    // the caller has made current, and below it folder by folder. False when a file failed or
    // a folder could not be entered, so that something was left behind.
    bool UploadFolder(const std::wstring& strLocalFolder, const std::wstring& strRemoteFolder);

    CFileListCtrl m_listFiles;
    platform::ui::ComboBox m_comboPath;
    platform::ui::ProgressBar m_progress;
    std::unique_ptr<platform::ui::ImageList> m_pLargeImages;
    std::unique_ptr<platform::ui::ImageList> m_pSmallImages;
    std::wstring m_strPattern;

    // Direction of the next name sort: 0 at start, then 1 or 2. It lasts for the whole run,
    // across refills, view switches and fresh windows.
    static inline int m_nNameSortDirection = 0;

  protected:
    bool OnInitDialog() override;
    // CANCEL does nothing by itself: a running transfer watches for the tap on it.
    void OnCancel() override {}
    // Closing the window asks like EXIT while EXIT can be pressed.
    void OnClose() override;

  private:
    void OnExit();
    void OnShowRemote();
    void OnShowLocal();
    void OnShowAccountTop();
    void OnNewFolder();
    void OnMove();
    void OnShareFiles();
    void OnHelp();
    void OnShareFileMenu() {}
    void OnCancelButton() { OnCancel(); }
    void OnColumnClick(const platform::ui::Message& message);
    void OnPathSelChange();
    void OnDownload();
    void OnUpload();
    void OnDelete();

    // The commands act on the checked rows.
    int CountCheckedRows() const;
    void UncheckAllRows();
    void EnableButtons(std::initializer_list<int> ids, bool bEnable);
    // No event loop runs during a transfer: the bar is painted as soon as it moves.
    void SetProgressNow(int nPosition);

    void HideButtons(std::initializer_list<int> ids);
    void ShowButtons(std::initializer_list<int> ids);

    static const platform::ui::MessageEntry<CFileManagerDlg> kMessageMap[];
};
