// The fixed texts of the main window, the switch menu and the dialogs behind
// the extended menu (Shift_JIS at run time).
#pragma once

namespace ui {

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

// Shown when SaveSettings or the list's save fails (note the trailing space).
constexpr const char kSettingsSaveFailed[] = "環境設定ファイルの保存でエラーが発生しました ";

// The switch menu's item of an empty list.
constexpr const char kNoFolderItem[] = "未設定";


// --- The add/change backup-folder dialog ---
constexpr const char kTitleAddFolder[] = "バックアップフォルダ追加";
constexpr const char kTitleChangeFolder[] = "バックアップフォルダ変更";
constexpr const char kBrowseTitle[] = "バックアップフォルダを選択してください。";
constexpr const char kFolderHasSlash[] = "バックアップフォルダに ' / ' を使用しないでください　";
constexpr const char kFolderMissingMessage[] = "フォルダが存在しません　";
constexpr const char kFileNamesEmpty[] = "ファイル名が未設定です　";
constexpr const char kFileNamesHaveSpace[] = "ファイル名に空白が存在します　";
constexpr const char kFolderNamesEmpty[] = "フォルダ名が未設定です　";
constexpr const char kFolderNamesHaveBackslash[] = "フォルダ名に ' \\ ' は使用できません　";
constexpr const char kFolderNamesHaveWildcard[] = "フォルダ名に ' * ' と ' ? ' は使用できません　";
// The full-width space (U+3000) that a file-name list may not contain either;
// compared, so spelt as its Shift_JIS bytes, the same in every build (the fuzz
// build's compiler keeps literals in UTF-8).
constexpr const char kFullWidthSpace[] = "\x81\x40";

// --- The backup-folder settings dialog ---
constexpr const char kColumnFolder[] = "登録バックアップフォルダ";
constexpr const char kColumnFileIn[] = "F-FileIn";
constexpr const char kColumnFileOut[] = "F-FileOut";
constexpr const char kColumnFolderIn[] = "F-FolderIn";
constexpr const char kColumnFolderOut[] = "F-FolderOut";
// Formatted with the most entries the list holds.
constexpr const char kListFull[] = "バックアップフォルダの最大登録数%d件を超えます。これ以上は追加できません。　";
constexpr const char kAlreadyRegistered[] = "このフォルダはすでに登録済みです。　\n置き換えますか？";
constexpr const char kSelectToChange[] = "変更する対象を選択してください　";
constexpr const char kSelectToRemove[] = "解除する対象を選択してください　";

// --- Help ---
constexpr const char kHelpFileName[] = "Larkspan.chm";
constexpr const char kHelpMissing[] = "ヘルプが見つかりません　";

}  // namespace texts

}  // namespace ui
