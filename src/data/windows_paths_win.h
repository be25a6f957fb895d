#pragma once

#include <windows.h>

#include <string>

namespace lomi {

// Paths as the Windows file calls take them, and the reasons they give.

// Whether a path is too long for the Windows calls without long-path
// support: 260 UTF-16 units with the terminating NUL.
inline bool IsTooLongPath(const std::wstring& path) { return path.size() >= MAX_PATH; }

inline constexpr const char* kTooLongPath = "パスが長すぎます（259 文字まで）";

// A short Japanese text for a Windows error code of a file or folder call.
std::string FileErrorText(DWORD error);

}  // namespace lomi
