#pragma once
// The folder of the account that holds the device's files, as the server names it.

inline constexpr const wchar_t* kRemoteRootName = L"My Device on Stowbox";
// Its path from the top of the account.
inline constexpr const wchar_t* kRemoteRoot = L"/My Device on Stowbox";
