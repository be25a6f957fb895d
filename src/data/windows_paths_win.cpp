#include "data/windows_paths_win.h"

namespace lomi {

std::string FileErrorText(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return "アクセスが拒否されました";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "ほかのプログラムが使用中です";
        case ERROR_FILE_NOT_FOUND:
            return "ファイルが見つかりません";
        case ERROR_PATH_NOT_FOUND:
            return "ﾌｫﾙﾀﾞが見つかりません";
        case ERROR_FILENAME_EXCED_RANGE:
            return kTooLongPath;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return "名前が正しくありません";
        case ERROR_NOT_READY:
            return "ドライブの準備ができていません";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return "メモリが足りません";
        default:
            return "エラー番号 " + std::to_string(error);
    }
}

}  // namespace lomi
