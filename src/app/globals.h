#pragma once
// The three objects that live for the whole run.

#include <string>

#include "app/client_app.h"
#include "ftp/ftp_session.h"
#include "res/session_texts.h"

// "TRUE" makes the next file manager window open in the Remote view.
extern std::wstring g_strOpenRemote;
extern CClientApp theApp;
extern CFtpSession g_ftp;
