#pragma once
// Reading a remote folder for a list: where the session is, its LIST text, after a CWD.

#include <string>

// Lists the session's current folder (PWD, then LIST) into strListing, which starts empty: a
// folder the server refuses to list reads as empty. False when the connection was lost, so
// that an unread folder need not look empty.
bool ListCurrentFolder(std::wstring& strListing);

// Sends a CWD command and reads its reply, which is not examined (a refused CWD lists the
// folder the session stayed in), then lists as ListCurrentFolder does.
bool ChangeFolderAndList(const std::wstring& strCwdCommand, std::wstring& strListing);
