#pragma once

// The Win32 window's identity and its child controls' ids, which the window and anything that
// drives it from outside (GetDlgItem, WM_COMMAND) agree on.
namespace win32ids {

inline constexpr const wchar_t* WindowClass = L"AmbrelithForm1";
// The heart: the icon resource of the executable and of the window.
inline constexpr unsigned short HeartIcon = 1;

// Command1(i) is MotherButton + i and Command2(i) FatherButton + i, for i = 1 to 6.
inline constexpr int MotherButton = 100;
inline constexpr int FatherButton = 200;
inline constexpr int RestartButton = 300; // Command3
// Label1 to Label6 are LabelBase + 1 to LabelBase + 6.
inline constexpr int LabelBase = 400;

} // namespace win32ids
