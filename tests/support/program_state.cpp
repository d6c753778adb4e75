#include "support/program_state.h"

#include <memory>

#include "app/globals.h"
#include "filemanager/file_manager_dlg.h"

namespace testing_support {

void ResetProgramState() {
    // Rebuilt in place rather than field by field, so that state added later is reset too;
    // in the reverse order of their definition, as the program's end would take them down.
    std::destroy_at(&g_ftp);
    std::destroy_at(&theApp);
    std::construct_at(&theApp);
    std::construct_at(&g_ftp);
    g_strOpenRemote.clear();
    CFileManagerDlg::m_nNameSortDirection = 0;
}

}  // namespace testing_support
