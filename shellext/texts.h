// The extension's fixed texts and names: its menu item and its three messages (Shift_JIS at run time).
#pragma once

namespace shellext {
namespace texts {

constexpr const char kMenuItem[] = "Larkspan ...";
constexpr const char kOpenVerb[] = "open";

// Parameter file not created: head + the file's full path + tail.
constexpr const char kCreateFailedHead[] =
    "パラメータファイルの作成に失敗しました。　\n\n書き込み権限等を確認してください。　\n（ ";
constexpr const char kCreateFailedTail[] = " ）";
constexpr const char kStartFailed[] = "バックアップに失敗しました（バックアップ実行モジュール無し）　";
// A selected item whose path has no Shift_JIS form to hand over: head + its
// full path as the system has it + tail.
constexpr const char kNoShiftJisHead[] =
    "このファイル・フォルダは、パスにLarkspanで扱えない文字を含むため、バックアップできません。　\n\n"
    "ファイル名やフォルダ名を変更してから、もう一度選択してください。　\n（ ";
constexpr const char kNoShiftJisTail[] = " ）";

}  // namespace texts
}  // namespace shellext
