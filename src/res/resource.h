#pragma once
// Resource and control ids of the program's windows, menus and artwork. One list both
// declares the constants and feeds the table of their names (res/resource_names.h), so a
// script can name an id the way the code does.

// X(name, value) for every id; names that share a value belong to different windows.
#define STOWBOX_RESOURCE_IDS(X)      \
    /* Login dialog. */              \
    X(IDD_LOGIN, 102)                \
    X(IDC_USERNAME, 1001)            \
    X(IDC_PASSWORD, 1002)            \
    X(IDC_LOGIN, 1003)               \
    X(IDC_RESET, 1004)               \
    /* File manager window. */       \
    X(IDD_FILEMANAGER, 135)          \
    X(IDC_FILELIST, 1008)            \
    X(IDC_PROGRESS, 1009)            \
    X(IDC_CANCEL_TRANSFER, 1010)     \
    X(IDC_PATHBOX, 1011)             \
    /* New folder dialog. */         \
    X(IDD_NEWFOLDER, 159)            \
    X(IDC_FOLDERNAME, 1013)          \
    /* Move file dialog. */          \
    X(IDD_MOVEFILE, 174)             \
    X(IDC_MOVE_CANCEL, 1010)         \
    X(IDC_MOVE_FILE, 1016)           \
    X(IDC_MOVE_FOLDERLIST, 1018)     \
    X(IDC_MOVE_PATHBOX, 1024)        \
    /* Share file dialog. */         \
    X(IDD_SHAREFILE, 189)            \
    X(IDC_SHARE_DOWNLOADS, 1033)     \
    X(IDC_SHARE_PASSWORD, 1034)      \
    X(IDC_SHARE_WRITE, 1035)         \
    X(IDC_GENERATE_SHARE, 1036)      \
    X(IDC_SHARE_CANCEL, 1010)        \
    X(IDC_SHARE_FILENAME, 1038)      \
    X(IDC_SHARE_TO, 1043)            \
    X(IDC_SHARE_BCC, 1044)           \
    X(IDC_SHARE_FROM, 1049)          \
    /* Commands. */                  \
    X(ID_SHOW_LOCAL, 32788)          \
    X(ID_SHOW_REMOTE, 32789)         \
    X(ID_UPLOAD, 32790)              \
    X(ID_DOWNLOAD, 32791)            \
    X(ID_EXIT, 32792)                \
    X(ID_NEW_FOLDER, 32793)          \
    X(ID_DELETE, 32796)              \
    X(ID_SHOW_ACCOUNT_TOP, 32804)    \
    X(ID_MOVE, 32807)                \
    X(ID_CUT, 32812)                 \
    X(ID_PASTE, 32814)               \
    X(ID_COPY, 32816)                \
    X(ID_SHARE_FILE_MENU, 32817)     \
    X(ID_SHARE, 32818)               \
    X(ID_EXIT_ALT, 32777)            \
    X(ID_HELP, 57670)                \
    /* Menus. */                     \
    X(IDR_POPUP, 185)                \
    /* Artwork. */                   \
    X(IDI_APP, 130)                  \
    X(IDI_FOLDER, 143)               \
    X(IDI_FILE, 152)                 \
    X(IDB_LOGIN_BACKGROUND, 171)     \
    X(IDB_NEWFOLDER_BACKGROUND, 175) \
    X(IDB_MAIN_BACKGROUND, 176)      \
    X(IDB_SHARE_BACKGROUND, 192)

#define STOWBOX_DECLARE_RESOURCE_ID(name, value) inline constexpr int name = value;
STOWBOX_RESOURCE_IDS(STOWBOX_DECLARE_RESOURCE_ID)
#undef STOWBOX_DECLARE_RESOURCE_ID
