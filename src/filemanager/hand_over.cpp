#include "filemanager/hand_over.h"

#include "filemanager/file_manager_dlg.h"

void HandOverToFileManager(platform::ui::Dialog& window) {
    {
        CFileManagerDlg fileManager;
        fileManager.RunModal();
    }
    window.DestroyWindow();
}
