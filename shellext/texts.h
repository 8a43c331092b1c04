// The extension's fixed texts and names: its menu item, its two messages and the
// files it hands the selection over with (Shift_JIS at run time).
#pragma once

namespace shellext {
namespace texts {

constexpr const char kMenuItem[] = "Larkspan ...";
constexpr const char kCaption[] = "Larkspan";
constexpr const char kProgramName[] = "Larkspan.exe";
constexpr const char kParameterFileName[] = "lkpara.dat";
constexpr const char kLaunchToken[] = "LarkspanCall";
constexpr const char kOpenVerb[] = "open";

// Parameter file not created: head + the file's full path + tail.
constexpr const char kCreateFailedHead[] =
    "パラメータファイルの作成に失敗しました。　\n\n書き込み権限等を確認してください。　\n（ ";
constexpr const char kCreateFailedTail[] = " ）";
constexpr const char kStartFailed[] = "バックアップに失敗しました（バックアップ実行モジュール無し）　";

}  // namespace texts
}  // namespace shellext
