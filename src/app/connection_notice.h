#pragma once
// What the windows tell the person about the server connection: a lost connection is said
// once, by the step that found it, instead of the step's own silent or misleading result.

#include <string>

inline constexpr const wchar_t* kConnectionLost = L"Connection to the server lost";
inline constexpr const wchar_t* kErrorConnecting = L"Error Connecting to Server";
inline constexpr const wchar_t* kNoSecureConnection =
    L"The server does not offer a secure connection";
inline constexpr const wchar_t* kCertificateNotTrusted = L"The server's certificate is not trusted";
inline constexpr const wchar_t* kLoginFailed =
    L"Login Failed .Check the User name and the Password ";

// Shows the session's connection notice, if it has one; true when it did. The next remote
// step then reconnects.
bool ReportConnectionNotice();

// A step's failure: the connection notice when there is one, else `strText`.
void ShowStepFailure(const std::wstring& strText);
