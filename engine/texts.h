// The fixed texts of the file and path utilities (Shift_JIS at run time).
#pragma once

namespace texts {

constexpr const char kErrorDetailPrefix[] = "エラー詳細：";
// Cause texts of file exceptions, indexed by cause code 0..14.
constexpr const char* const kFileExceptionCauses[] = {
    "エラーなし",
    "未定義エラー",
    "ファイル未定義",
    "不正パス",
    "オープン ファイル数超過",
    "ファイル アクセス禁止",
    "不正ファイル ハンドル使用",
    "作業中のカレント ディレクトリの削除不可",
    "ディレクトリ フル",
    "ファイル ポインタ設定エラー",
    "ハードウェア エラー",
    "SHARE.EXE 未ロードまたは共有領域ロック済み",
    "ロック済み領域のロック要求",
    "ディスク フル",
    "ファイルの終わりに到達",
};
constexpr const char kFileExceptionUnknown[] = "エラー内容不明";

constexpr const char kUnitBytes[] = "バイト";
constexpr const char kZeroBytes[] = "0バイト";

}  // namespace texts
