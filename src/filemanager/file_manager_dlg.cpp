#include "filemanager/file_manager_dlg.h"

#include "app/globals.h"
#include "platform/ui/toolkit.h"
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
};

CFileManagerDlg::CFileManagerDlg() : Dialog(res::FileManagerDialog()), m_strPattern(L"*") {
    BindControl(IDC_FILELIST, m_listFiles);
    BindControl(IDC_PATHBOX, m_comboPath);
}

bool CFileManagerDlg::OnMessage(const Message& message) {
    return DispatchMessageTable(*this, kMessageMap, message) || Dialog::OnMessage(message);
}

bool CFileManagerDlg::OnInitDialog() {
    Dialog::OnInitDialog();

    m_pLargeImages = std::make_unique<ImageList>(32, 32, 2, 4);
    m_pSmallImages = std::make_unique<ImageList>(16, 16, 2, 4);
    for (ImageList* images : {m_pLargeImages.get(), m_pSmallImages.get()}) {
        images->Add(IDI_FOLDER);
        images->Add(IDI_FILE);
    }
    m_listFiles.SetImageLists(m_pLargeImages.get(), m_pSmallImages.get());
    m_listFiles.SetCheckBoxes(true);

    m_listFiles.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
    m_listFiles.InsertColumn(1, L"Size", ColumnAlign::Right, 40);
    m_listFiles.InsertColumn(2, L"No", ColumnAlign::Right, 0);

    GetCommandBar().AddButtons(res::FileManagerToolbar());

    m_listFiles.SetBackgroundColour(kCaptionTextColour);
    CClientApp* app = GetClientApp();
    app->m_hFileManagerWnd = Handle();

    CommandBar& bar = GetCommandBar();
    for (int id : {ID_DELETE, ID_NEW_FOLDER, ID_DOWNLOAD, ID_MOVE, ID_HELP, ID_SHARE}) {
        bar.HideButton(id, true);
    }
    app->m_strActiveView = L"LocalView";

    SetWindowText(L"My Device");
    EndWaitCursor();
    return true;
}

void CFileManagerDlg::OnExit() {
    if (AppMessageBox(L"Do You Want To Exit", MessageBoxButtons::YesNo, MessageBoxIcon::Stop) !=
        MessageBoxAnswer::Yes) {
        return;
    }
    g_ftp.Quit();
    PostQuitMessage();
}
