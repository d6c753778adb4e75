#pragma once
// Resource and control ids of the program's windows, menus and artwork.

// Login dialog.
inline constexpr int IDD_LOGIN = 102;
inline constexpr int IDC_USERNAME = 1001;
inline constexpr int IDC_PASSWORD = 1002;
inline constexpr int IDC_LOGIN = 1003;
inline constexpr int IDC_RESET = 1004;

// File manager window.
inline constexpr int IDD_FILEMANAGER = 135;
inline constexpr int IDC_FILELIST = 1008;
inline constexpr int IDC_PROGRESS = 1009;
inline constexpr int IDC_CANCEL_TRANSFER = 1010;
inline constexpr int IDC_PATHBOX = 1011;

// New folder dialog.
inline constexpr int IDD_NEWFOLDER = 159;
inline constexpr int IDC_FOLDERNAME = 1013;

// Move file dialog.
inline constexpr int IDD_MOVEFILE = 174;
inline constexpr int IDC_MOVE_CANCEL = 1010;
inline constexpr int IDC_MOVE_FILE = 1016;
inline constexpr int IDC_MOVE_FOLDERLIST = 1018;
inline constexpr int IDC_MOVE_PATHBOX = 1024;

// Share file dialog.
inline constexpr int IDD_SHAREFILE = 189;
inline constexpr int IDC_SHARE_DOWNLOADS = 1033;
inline constexpr int IDC_SHARE_PASSWORD = 1034;
inline constexpr int IDC_SHARE_WRITE = 1035;
inline constexpr int IDC_GENERATE_SHARE = 1036;
inline constexpr int IDC_SHARE_CANCEL = 1010;
inline constexpr int IDC_SHARE_FILENAME = 1038;
inline constexpr int IDC_SHARE_TO = 1043;
inline constexpr int IDC_SHARE_BCC = 1044;
inline constexpr int IDC_SHARE_FROM = 1049;

// Commands.
inline constexpr int ID_SHOW_LOCAL = 32788;
inline constexpr int ID_SHOW_REMOTE = 32789;
inline constexpr int ID_UPLOAD = 32790;
inline constexpr int ID_DOWNLOAD = 32791;
inline constexpr int ID_EXIT = 32792;
inline constexpr int ID_NEW_FOLDER = 32793;
inline constexpr int ID_DELETE = 32796;
inline constexpr int ID_SHOW_ACCOUNT_TOP = 32804;
inline constexpr int ID_MOVE = 32807;
inline constexpr int ID_CUT = 32812;
inline constexpr int ID_PASTE = 32814;
inline constexpr int ID_COPY = 32816;
inline constexpr int ID_SHARE_FILE_MENU = 32817;
inline constexpr int ID_SHARE = 32818;
inline constexpr int ID_EXIT_ALT = 32777;
inline constexpr int ID_HELP = 57670;

// Menus.
inline constexpr int IDR_POPUP = 185;

// Artwork.
inline constexpr int IDI_APP = 130;
inline constexpr int IDI_FOLDER = 143;
inline constexpr int IDI_FILE = 152;
inline constexpr int IDB_LOGIN_BACKGROUND = 171;
inline constexpr int IDB_NEWFOLDER_BACKGROUND = 175;
inline constexpr int IDB_MAIN_BACKGROUND = 176;
inline constexpr int IDB_SHARE_BACKGROUND = 192;
