#include "filemanager/file_manager_dlg.h"

#include "app/connection_notice.h"
#include "app/globals.h"
#include "dialogs/new_folder_dlg.h"
#include "filemanager/enter_remote_root.h"
#include "platform/device.h"
#include "platform/shell/shell.h"
#include "platform/ui/toolkit.h"
#include "platform/ui/ui_guards.h"
#include "res/resource.h"
#include "res/templates.h"

using namespace platform::ui;

namespace {
// The list's background: the system's caption text colour.
constexpr std::uint32_t kCaptionTextColour = 0xFFFFFF;
}  // namespace

const MessageEntry<CFileManagerDlg> CFileManagerDlg::kMessageMap[] = {
    OnCommand(ID_EXIT, &CFileManagerDlg::OnExit),
    OnCommand(ID_EXIT_ALT, &CFileManagerDlg::OnExit),
    OnCommand(ID_SHOW_REMOTE, &CFileManagerDlg::OnShowRemote),
    OnCommand(ID_SHOW_LOCAL, &CFileManagerDlg::OnShowLocal),
    OnCommand(ID_DOWNLOAD, &CFileManagerDlg::OnDownload),
    OnCommand(ID_UPLOAD, &CFileManagerDlg::OnUpload),
    OnCommand(ID_NEW_FOLDER, &CFileManagerDlg::OnNewFolder),
    OnCommand(ID_DELETE, &CFileManagerDlg::OnDelete),
    OnCommand(ID_SHOW_ACCOUNT_TOP, &CFileManagerDlg::OnShowAccountTop),
    OnCommand(ID_MOVE, &CFileManagerDlg::OnMove),
    OnCommand(ID_HELP, &CFileManagerDlg::OnHelp),
    OnCommand(ID_SHARE_FILE_MENU, &CFileManagerDlg::OnShareFileMenu),
    OnCommand(ID_SHARE, &CFileManagerDlg::OnShareFiles),
    OnNotify(IDC_PATHBOX, kNotifySelChange, &CFileManagerDlg::OnPathSelChange),
    OnNotify(IDC_FILELIST, kNotifyColumnClick, &CFileManagerDlg::OnColumnClick),
    OnCommand(IDC_CANCEL_TRANSFER, &CFileManagerDlg::OnCancelButton),
};

CFileManagerDlg::CFileManagerDlg() : Dialog(res::FileManagerDialog()), m_strPattern(L"*") {
    BindControl(IDC_FILELIST, m_listFiles);
    BindControl(IDC_PATHBOX, m_comboPath);
    BindControl(IDC_PROGRESS, m_progress);
    // A tap on CANCEL is what ends a running transfer.
    SetTransferCancelControl(IDC_CANCEL_TRANSFER);
}

bool CFileManagerDlg::OnMessage(const Message& message) {
    const bool handled =
        DispatchMessageTable(*this, kMessageMap, message) || Dialog::OnMessage(message);
    // A step that met a lost connection without a failure of its own to show says so now.
    ReportConnectionNotice();
    return handled;
}

void CFileManagerDlg::HideButtons(std::initializer_list<int> ids) {
    for (int id : ids) {
        GetCommandBar().HideButton(id, true);
    }
}

void CFileManagerDlg::ShowButtons(std::initializer_list<int> ids) {
    for (int id : ids) {
        GetCommandBar().HideButton(id, false);
    }
}

bool CFileManagerDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    CommonDialogSetUp();

    m_pLargeImages = std::make_unique<ImageList>(32, 32, 2, 4);
    m_pSmallImages = std::make_unique<ImageList>(16, 16, 2, 4);
    for (ImageList* images : {m_pLargeImages.get(), m_pSmallImages.get()}) {
        images->Add(IDI_FOLDER);
        images->Add(IDI_FILE);
    }
    m_listFiles.SetImageLists(m_pLargeImages.get(), m_pSmallImages.get());
    m_listFiles.SetCheckBoxes(true);

    m_listFiles.InsertColumn(kColumnName, L"Name", ColumnAlign::Left, 180);
    m_listFiles.InsertColumn(kColumnSize, L"Size", ColumnAlign::Right, 40);
    m_listFiles.InsertColumn(kColumnType, L"No", ColumnAlign::Right, 0);

    GetCommandBar().AddButtons(res::FileManagerToolbar());

    m_listFiles.SetBackgroundColour(kCaptionTextColour);
    CClientApp* app = GetClientApp();
    app->m_hFileManagerWnd = Handle();

    if (g_strOpenRemote == kTextTrue) {
        ListRemoteFolder();
        ReportConnectionNotice();
        HideButtons({ID_UPLOAD, ID_HELP, ID_MOVE});
        app->m_strActiveView = kToolbarRemote;
        g_strOpenRemote.clear();
    } else {
        ShowLocalRoot();
        HideButtons({ID_DELETE, ID_NEW_FOLDER, ID_DOWNLOAD, ID_MOVE, ID_HELP, ID_SHARE});
        app->m_strActiveView = kToolbarLocal;
    }

    SetWindowText(L"My Device");
    EndWaitCursor();
    return true;
}

void CFileManagerDlg::OnShowRemote() {
    CWaitCursor wait;
    m_progress.SetPos(0);
    const std::wstring strTitle = GetWindowText();
    SetWindowText(L"Stowbox");
    EnterRemoteRoot();
    if (!ListRemoteFolder()) {
        SetWindowText(strTitle);  // the view stays as it was
        return;
    }
    GetClientApp()->m_strActiveView = kToolbarRemote;
    ShowButtons({ID_DELETE, ID_NEW_FOLDER, ID_DOWNLOAD, ID_SHARE});
    HideButtons({ID_UPLOAD});
}

void CFileManagerDlg::OnShowLocal() {
    CWaitCursor wait;
    SetWindowText(L"My Device");
    m_progress.SetPos(0);
    ShowLocalRoot();
    GetClientApp()->m_strActiveView = kToolbarLocal;
    HideButtons({ID_DELETE, ID_NEW_FOLDER, ID_DOWNLOAD, ID_MOVE, ID_SHARE});
    ShowButtons({ID_UPLOAD});
}

void CFileManagerDlg::OnShowAccountTop() {
    CWaitCursor wait;
    m_progress.SetPos(0);
    SetWindowText(L"Stowbox");
    g_ftp.SendAndRead(L"CWD /");
    if (!ListRemoteFolder()) {
        return;
    }
    // Once more after the listing, on purpose: the server sees the exchange it knows.
    g_ftp.SendAndRead(L"CWD /");
    ShowButtons({ID_DELETE, ID_NEW_FOLDER, ID_DOWNLOAD});
    HideButtons({ID_UPLOAD});
}

void CFileManagerDlg::OnExit() {
    if (AppMessageBox(L"Do You Want To Exit", MessageBoxButtons::YesNo, MessageBoxIcon::Stop) !=
        MessageBoxAnswer::Yes) {
        return;
    }
    g_ftp.Quit();
    PostQuitMessage();
}

void CFileManagerDlg::OnClose() {
    if (GetCommandBar().IsVisible(ID_EXIT) && GetCommandBar().IsEnabled(ID_EXIT)) {
        OnExit();
        return;
    }
    Dialog::OnClose();
}

void CFileManagerDlg::OnNewFolder() {
    g_strOpenRemote = kTextTrue;
    {
        // It opens the next file manager window itself, before its run returns.
        CNewFolderDlg dlg;
        dlg.RunModal();
    }
    DestroyWindow();
}

void CFileManagerDlg::OnHelp() {
    platform::shell::StartProgram(platform::Device::Current().Frontend(), L"PegHelp.exe",
                                  L"file:\\Windows\\Kestra.htm");
}

void CFileManagerDlg::OnColumnClick(const Message& message) {
    if (message.column != kColumnName) {
        return;
    }
    CListFreeze freeze(m_listFiles);
    if (m_nNameSortDirection == 1) {
        m_listFiles.SortByColumn(kColumnName, true);
        m_nNameSortDirection = 2;
    } else {
        m_listFiles.SortByColumn(kColumnName, false);
        m_nNameSortDirection = 1;
    }
}
