// The fixed texts of the launch contract (Shift_JIS at run time).
#pragma once

namespace texts {

constexpr const char kCaption[] = "Larkspan";
constexpr const char kLaunchToken[] = "LarkspanCall";
constexpr const char kParameterFileName[] = "lkpara.dat";

constexpr const char kRefuseDirectStart[] = "直接起動はできません　";
constexpr const char kParameterReadFailed[] = "パラメータファイルの読み込みに失敗しました。　\n";
constexpr const char kParameterPathOpen[] = "\n( ";
constexpr const char kParameterPathClose[] = " )";
constexpr const char kSelectionUnrecognised[] = "選択したファイル、またはフォルダが正しく認識できません ";
constexpr const char kSelectionEmpty[] = "指定されたファイル・フォルダが0件です ";

}  // namespace texts
