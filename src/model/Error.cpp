#include "model/Error.h"

#include <cerrno>

namespace kolvane {

std::string DescribeSystemError(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "ファイルまたはフォルダが見つかりません";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました";
    case EISDIR:
        return "ファイルではなくフォルダです";
    case ENODEV:
        return "通常のファイルではありません";
    case ENOTDIR:
        return "フォルダではありません";
    case ENOSPC:
        return "ディスクの空き容量が不足しています";
    case EDQUOT:
        return "ディスクの使用量の上限を超えました";
    case EFBIG:
        return "ファイルサイズの上限を超えました";
    case EROFS:
        return "読み取り専用の場所です";
    case EIO:
        return "入出力エラーが発生しました";
    case ENAMETOOLONG:
        return "パスが長すぎます";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    case ENOMEM:
        return "メモリが不足しています";
    default:
        return "システムエラー " + std::to_string(errorNumber);
    }
}

} // namespace kolvane
