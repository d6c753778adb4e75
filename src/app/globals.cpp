// Defined in one unit so that they come to life in this order and end in reverse.

#include "app/globals.h"

std::wstring g_strOpenRemote;
CClientApp theApp;
CFtpSession g_ftp;
