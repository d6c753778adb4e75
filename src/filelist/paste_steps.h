#pragma once
// Steps that the paths of Paste share: the replace question, the remote existence test and
// the messages that end a transfer.

#include <string>

// The two spellings of the replace question, each on its own paths: spelled right when a
// paste replaces a device file and when a cut device file is uploaded; misspelled when a
// copied device file is uploaded and when a move inside the account replaces a file.
inline constexpr const wchar_t* kAskReplaceSpelledRight =
    L"Do you want to replace the existing file.";
inline constexpr const wchar_t* kAskReplaceMisspelled =
    L"Do you want to replace the exisiting file.";

inline constexpr const wchar_t* kPasteTransferFailed = L"File transfer Cancelled";
inline constexpr const wchar_t* kPasteUploadDone = L"File Upload Completed";
inline constexpr const wchar_t* kPasteDownloadDone = L"File DownLoad Completed";

// Asks the question with Yes, No and the stop icon; true only for Yes.
bool AskToReplace(const wchar_t* strQuestion);

// Asks the server for the size of a file (a name in its current folder or a path). Only the
// reply code counts: 550 means there is no such file, any other answer, an error included,
// that there may be one.
bool RemoteFileMayExist(const std::wstring& strPath);

// Sends DELE for a remote file; the reply is read and not examined.
void DeleteRemoteFile(const std::wstring& strPath);
