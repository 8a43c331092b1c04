// The fixed texts of the engine: file-read causes, the launch refusals, the run
// and its check (Shift_JIS at run time).
#pragma once

#include <cstddef>

namespace engine {

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
// Cause text of a file refused unread because it is larger than its reader takes.
constexpr const char kFileTooLarge[] = "ファイル サイズ超過";

// The load sequence of the launch contract.
constexpr const char kRefuseDirectStart[] = "直接起動はできません　";
constexpr const char kParameterReadFailed[] = "パラメータファイルの読み込みに失敗しました。　\n";
constexpr const char kParameterPathOpen[] = "\n( ";
constexpr const char kSelectionUnrecognised[] = "選択したファイル、またはフォルダが正しく認識できません ";
constexpr const char kSelectionEmpty[] = "指定されたファイル・フォルダが0件です ";

// The backup run.
constexpr const char kNoBackupFolder[] =
    "バックアップ用のフォルダが未設定です。　\n「バックアップフォルダ設定」で設定してください。　";
constexpr const char kBackupFolderMissing[] = "バックアップフォルダが存在しません。　\n( ";
constexpr const char kZeroFilesQuestion[] = "バックアップの対象となるファイルが0件です。バックアップ開始しますか？　";
constexpr const char kFolderCreateFailed[] = "バックアップ先のフォルダ作成に失敗しました。　";
constexpr const char kFileCopyFailed[] = "バックアップ先へのファイル複写に失敗しました。　";
constexpr const char kErrorDetail[] = "\nエラー詳細：";
constexpr const char kErrorPathOpen[] = "　\n( ";
constexpr const char kSourceReadFailed[] = "バックアップ元フォルダの読み取りに失敗しました。　";
constexpr const char kCancelled[] = "バックアップがキャンセルされました　";
// The sub-folder name: each character of the first text becomes the
// full-width character at the same place of the second (two bytes each, spelt
// as bytes so that every build has them: "１２３４５６７８９０／：＿").
constexpr const char kStampHalfWidth[] = "1234567890/:_";
constexpr const char kStampFullWidth[] =
    "\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56\x82\x57\x82\x58\x82\x4F\x81\x5E\x81\x46\x81\x51";

// The check after a backup.
constexpr const char kBackupReadFailed[] = "バックアップ先フォルダの読み取りに失敗しました。　";
constexpr const char kVerifiedTitle[] = "バックアップが正常終了しました。　\n\nバックアップフォルダ：\n  ";
constexpr const char kVerifiedSubFolder[] = "  \n\nバックアップフォルダの配下に作成したフォルダ：　　\n  ";
constexpr const char kMismatchHead[] =
    "【バックアップ終了後の確認チェックで検出】\n\nバックアップが正常に終了できませんでした。　　　　\n"
    "バックアップ元とバックアップ先の、ファイル数またはサイズが異なります。　\n\n";
constexpr const char kMismatchSourceFiles[] = "・バックアップ元ファイル数　：　";
constexpr const char kMismatchSourceBytes[] = "　\n・バックアップ元サイズ　：　";
constexpr const char kMismatchDestFiles[] = "バイト　\n\n・バックアップ先ファイル数　：　";
constexpr const char kMismatchDestBytes[] = "　\n・バックアップ先サイズ　：　";
constexpr const char kMismatchTail[] = "バイト　";

// The content check after the count check (when the option asks for it).
constexpr const char kContentChecked[] = "\n\nファイルの内容を照合しました（";
constexpr const char kContentCheckedFiles[] = " ファイル）。　";
constexpr const char kContentDiffersHead[] =
    "【バックアップ終了後の内容照合で検出】\n\nバックアップが正常に終了できませんでした。　　　　\nバックアップ元と内容が異なるファイルがあります。　\n\n・内容が異なるファイル数　：　";
constexpr const char kContentDiffersCountEnd[] = "　";
constexpr const char kContentCheckCancelled[] = "ファイルの内容の照合がキャンセルされました　";

// The end of the success message when unchanged files were linked to the
// previous backup (their number, that backup's sub-folder name).
constexpr const char kLinkedHead[] = "\n\n変更のない ";
constexpr const char kLinkedToBackup[] = " ファイルは前回のバックアップ（";
constexpr const char kLinkedEnd[] = "）とリンクしました。　";

// In the success message's place when files that could not be read were left
// out (the backup folder and the sub-folder follow as in kVerifiedTitle).
constexpr const char kLeftOutHead[] = "バックアップは終了しましたが、読めなかった ";
constexpr const char kLeftOutCountEnd[] = " ファイルはバックアップしていません。　\n";
constexpr const char kLeftOutFolder[] = "\n\nバックアップフォルダ：\n  ";

// The files a message names (the differing ones, those left out): the first
// kFilesNamed one by one, then how many more.
constexpr const char kFileItem[] = "\n・";
constexpr const char kFileItemEnd[] = "　";
constexpr const char kFilesOthers[] = "\n・ほか　";
constexpr const char kFilesOthersEnd[] = " ファイル　";
constexpr size_t kFilesNamed = 10;

}  // namespace texts

}  // namespace engine
