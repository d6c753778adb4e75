#pragma once
// The service's servers as built into the program; the device routes connections to them
// wherever it is told.

inline constexpr const wchar_t* kServerAddress = L"127.0.0.1";
inline constexpr int kFtpServerPort = 21;
inline constexpr int kWebServerPort = 80;
