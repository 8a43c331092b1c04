// The fixed texts of the main window and the switch menu (Shift_JIS at run time).
#pragma once

namespace texts {

// The numbers of selected files and folders ("%d 個").
constexpr const char kCountFormat[] = "%d 個";
// The totals while they are being counted.
constexpr const char kCounting[] = "算出中";
// The backup-folder label when no folder can be used.
constexpr const char kFolderNotSet[] = " << 未設定 >>";
constexpr const char kFolderMissing[] = " << エラー：存在しない >>";

constexpr const char kSetUpBackupFolder[] =
    "Larkspanは、事前にバックアップ用のフォルダを設定する必要があります。\n「バックアップフォルダ設定」で設定してください。　";
constexpr const char kOpenFolderUnusable[] = "バックアップフォルダが未設定か、または存在しません。　\n( ";
constexpr const char kOpenFolderFailed[] = "フォルダのオープンに失敗しました。　\n( ";
constexpr const char kOpenFolderClose[] = " )";
constexpr const char kShellOpen[] = "open";

// The switch menu's item of an empty list.
constexpr const char kNoFolderItem[] = "未設定";

// The second start while the program runs: the product name, then this.
constexpr const char kAlreadyRunning[] = "は既に実行しています";

}  // namespace texts
