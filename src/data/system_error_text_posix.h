#pragma once

#include <string>

namespace lomi {

// A short Japanese text for the errno of a failed file or folder call
// ("アクセスが拒否されました", "ファイルが見つかりません", …; "エラー番号 N"
// for the rest), the one every POSIX file call reports with. A caller that
// looks for a folder passes ENOTDIR for ENOENT, so the text names a folder.
// The Windows counterpart is FileErrorText (windows_paths_win.h).
std::string SystemErrorText(int error);

}  // namespace lomi
