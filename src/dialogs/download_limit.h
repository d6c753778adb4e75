#pragma once
// The download-limits servlet's question and how its answer is read.

#include <string>

// The most downloads the list offers: each number's text is at most three digits.
inline constexpr int kMaxDownloadChoices = 999;
// What the list offers when the servlet gives no positive number.
inline constexpr int kDefaultDownloadChoices = 5;

// "HTTP://" web host "/qmanager/servlet/DownloadLimits?user=" ... "&password=" ...
std::wstring DownloadLimitUrl(const std::wstring& strUserName, const std::wstring& strPassword);

// The number of choices an answer body gives: its last character dropped, the rest read as a
// decimal number (leading white space and a sign taken, reading stops at the first other
// character); 0, negative numbers and text without digits give 5, numbers above 999 give 999.
int DownloadChoicesFromBody(const std::wstring& strBody);
