// The extension's fixed texts and names: its menu item and its two messages (Shift_JIS at run time).
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

}  // namespace texts
}  // namespace shellext
