// The launch contract's load sequence against real trees: the file reads it makes, the kinds of the selected items,
// the whole sequence with the parameter file beside the test program.
#include "engine/launch.h"

#include <gtest/gtest.h>

#include "engine/walk.h"
#include "platform/fs.h"
#include "tests/support/temp_tree.h"

namespace {

const std::string kHyo = "表";  // 0x95 0x5C

std::string Quote(const std::string& path) { return "\"" + path + "\" "; }

TEST(FileUtil, ExistenceReadAndDelete) {
  TempTree t;
  const std::string binary("\"a\"\0\r\n\x95\x5C\xFF", 9);
  t.File("a.dat", binary), t.File("b.dat", "2"), t.Folder(kHyo);
  // Exists, a plain file, and what a read gives (content|error; "" not read).
  struct Case { std::string path; int exists, plainFile; std::string read; } cases[] = {
      {t.Path("a.dat"), 1, 1, binary + "|"}, {t.Path(kHyo), 1, 0, "|エラー詳細：ファイル アクセス禁止"},
      {t.Path(kHyo) + "\\", 1, 0, ""}, {t.root() + "\\\\", 1, 0, ""},
      {t.Path("missing"), 0, 0, "|エラー詳細：ファイル未定義"}, {t.Path("no\\x"), 0, 0, "|エラー詳細：不正パス"},
      {t.Path("*.dat"), 0, 0, ""}, {"", 0, 0, ""}, {plat::FromNative(plat::ModuleFolder()), 1, 0, ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const plat::NativePath path = plat::ToNative(c.path);
    std::string content, error;
    uint64_t size = 0;
    if (!c.read.empty()) engine::ReadWholeFile(path, content, error);
    EXPECT_EQ(std::to_string(c.exists) + std::to_string(c.plainFile) + c.read, std::to_string(plat::PathExists(path)) +
              std::to_string(engine::FindPlainFile(path, size)) + (c.read.empty() ? "" : content + "|" + error)) << "case " << i;
  }
  std::string error = "untouched", deleted;  // a pattern's files, case-folded; then none; then a bad path
  for (const char* pattern : {"*.DAT", "*.dat", "no\\x.dat"})
    deleted += std::to_string(engine::DeleteMatchingFiles(plat::ToNative(t.Path(pattern)), error)) + " ";
  EXPECT_EQ("1 0 0 <missing> <missing> untouched", deleted + t.Read("a.dat") + " " + t.Read("b.dat") + " " + error);
}

TEST(Launch, KindsOfTheSelectedItems) {
  TempTree t;
  t.File("My 表\\ソ.txt", "x");
  const std::string a = t.Path("My 表\\ソ.txt"), dir = t.Path("My 表"), gone = t.Path("gone");
  std::string many;
  for (int i = 0; i < 60000; ++i) many += Quote(i % 2 ? a : dir);  // every pair counts, past 50,000
  struct Case { std::string text; bool result; std::string entries; } cases[] = {
      {"", 1, ""}, {"\"", 1, ""}, {Quote(a) + "\"", 1, "0" + a}, {Quote(dir + "\\"), 1, "1" + dir + "\\"},
      {Quote(a) + std::string(1, '\0') + Quote(dir), 1, "0" + a}, {Quote(a) + Quote(gone), 0, "0" + a + "0" + gone},
      {Quote(""), 0, "0"}, {Quote(t.Path("*")), 0, "0" + t.Path("*")},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    core::SelectionList list;
    std::string entries = std::to_string(engine::ParseParameterText(cases[i].text, list)) + ":";
    for (int k = 0; k < list.count; ++k) entries += std::to_string(list.kinds[k]) + list.paths[k];
    EXPECT_EQ(std::to_string(cases[i].result) + ":" + cases[i].entries, entries) << "case " << i;
  }
  core::SelectionList list;
  const bool parsed = engine::ParseParameterText(many, list);
  EXPECT_EQ("1 60000 60000 " + a + "|1", std::to_string(parsed) + " " + std::to_string(list.count) + " " +
            std::to_string(list.paths.size()) + " " + list.paths.back() + "|" + std::to_string(list.kinds[59998]));
}

// The whole sequence with the parameter file beside the test program; a file above the limit is refused unread and
// left in place.
TEST(Launch, LoadSelection) {
  TempTree t;
  t.File("a.txt", "x");
  const std::string param = plat::FromNative(engine::ParameterFileBesideProgram()), a = Quote(t.Path("a.txt"));
  ASSERT_EQ(plat::FromNative(plat::ModuleFolder()) + "\\lkpara.dat", param);
  const std::string readFailed = "パラメータファイルの読み込みに失敗しました。　\nエラー詳細：",
                    none = "指定されたファイル・フォルダが0件です ";
  // The tail, the parameter file ("<none>", or its content, or so many zero bytes), the message ("" none), kept.
  struct Case { const char* tail; std::string content; size_t zeros; std::string message; bool kept; } cases[] = {
      {"", a, 0, "直接起動はできません　", true}, {"LarkspanCall ", a, 0, "直接起動はできません　", true},
      {"LarkspanCall", "<none>", 0, readFailed + "ファイル未定義\n( " + param + " )", false},
      {"LarkspanCall", "\"x", 0, none, false},
      {"LarkspanCall", Quote(t.Path("gone")), 0, "選択したファイル、またはフォルダが正しく認識できません ", false},
      {"LarkspanCall", a + Quote(t.root()), 0, "", false},
      {"LarkspanCall", "", core::contract::kMaxParameterFileBytes + 1, readFailed + "ファイル サイズ超過\n( " + param + " )", true},
      {"LarkspanCall", "", core::contract::kMaxParameterFileBytes, none, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    RemoveTree(param);
    if (c.content != "<none>") WriteBytes(param, c.zeros ? std::string(c.zeros, '\0') : c.content);
    core::SelectionList list;
    std::string message;
    const bool loaded = engine::LoadSelection(c.tail, list, message);
    EXPECT_EQ((c.message.empty() ? "2" : "-1") + c.message + (c.kept ? "|kept" : "|gone"),
              (loaded ? std::to_string(list.count) : "-1") + message +
                  (plat::PathExists(plat::ToNative(param)) ? "|kept" : "|gone")) << "case " << i;
  }
  RemoveTree(param);
}

}  // namespace
