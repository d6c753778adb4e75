#pragma once
// The texts the session state keeps its modes in, compared exactly.

// Which kind of folder the list holds (m_strCurrentView, m_strCutSource, m_strCopySource).
inline constexpr const wchar_t* kViewLocal = L"Local";
inline constexpr const wchar_t* kViewRemote = L"Remote";
// Which toolbar set is shown (m_strActiveView).
inline constexpr const wchar_t* kToolbarLocal = L"LocalView";
inline constexpr const wchar_t* kToolbarRemote = L"RemoteView";
// Flags kept as text (g_strOpenRemote, m_strClipIsCut).
inline constexpr const wchar_t* kTextTrue = L"TRUE";
inline constexpr const wchar_t* kTextFalse = L"FALSE";
