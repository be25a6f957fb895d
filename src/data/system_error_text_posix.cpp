#include "data/system_error_text_posix.h"

#include <cerrno>

namespace lomi {

std::string SystemErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました";
        case ENOENT:
            return "ファイルが見つかりません";
        case ENOTDIR:
            return "ﾌｫﾙﾀﾞが見つかりません";
        case EISDIR:
            return "ファイルではありません";
        case ENAMETOOLONG:
            return "パスが長すぎます";
        case ELOOP:
            return "シンボリックリンクが循環しています";
        case EIO:
            return "入出力エラーです";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多すぎます";
        case ENOMEM:
            return "メモリが足りません";
        case ENOSPC:
        case EDQUOT:
            return "ディスクに空きがありません";
        case EROFS:
            return "書き込みできないドライブです";
        default:
            return "エラー番号 " + std::to_string(error);
    }
}

}  // namespace lomi
