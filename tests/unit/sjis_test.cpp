// Shift_JIS stepping: separators inside double-byte characters are never found.
#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace {

// "表" is 0x95 0x5C, "ソ" is 0x83 0x5C: their second byte has the value of "\".
const std::string kHyo = "表";
const std::string kSo = "ソ";

TEST(Sjis, LiteralsAreShiftJis) {
  ASSERT_EQ(kHyo, std::string("\x95\x5C"));
  ASSERT_EQ(kSo, std::string("\x83\x5C"));
}

TEST(Sjis, FindLastCharSkipsSecondBytes) {
  struct Case { std::string text; size_t expected; } cases[] = {
      {"", sjis::npos},
      {"abc", sjis::npos},
      {"a\\b", 1},
      {"C:\\" + kHyo, 2},
      {kHyo + kSo, sjis::npos},
      {"C:\\" + kHyo + "\\x", 5},
      {"\x95", sjis::npos},    // lone lead byte at the end
      {"a\x95\\", sjis::npos},  // 0x95 0x5C is one character ("表"), not a backslash
      {"a\x95\x22\\", 3},      // 0x22 is no second byte: the lead byte stands alone
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, sjis::FindLastChar(cases[i].text, '\\')) << "case " << i;
  }
}

TEST(Sjis, LeadByteBeforeInvalidSecondByteStandsAlone) {
  // 0x81 followed by a quote: the quote is not swallowed.
  std::string s = "\x81\"x\"";
  EXPECT_EQ(1u, sjis::FindChar(s, '"'));
  EXPECT_EQ(3u, sjis::FindLastChar(s, '"'));
}

TEST(Sjis, EndsWithChar) {
  struct Case { std::string text; bool expected; } cases[] = {
      {"", false}, {"\\", true}, {"C:\\", true}, {"C:\\" + kHyo, false}, {"C:\\" + kSo + "\\", true},
      {"C:\\a\\\\", true},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    EXPECT_EQ(cases[i].expected, sjis::EndsWithChar(cases[i].text, '\\')) << "case " << i;
  }
}

TEST(Sjis, FoldAsciiLowerLeavesDoubleByteCharactersAlone) {
  // 0x82 0x60 is full-width "Ａ"; its second byte 0x60 is not a letter anyway,
  // but 0x83 0x41 ("ア") has second byte "A" and must not become 0x83 0x61.
  std::string s = "ABC\x83\x41Z.TXT";
  sjis::FoldAsciiLower(s);
  EXPECT_EQ(std::string("abc\x83\x41z.txt"), s);
}

}  // namespace

namespace {

// The backward reading of EndsWithChar agrees with stepping from the start,
// over many strings made of the bytes that matter.
TEST(Sjis, EndsWithCharAgreesWithForwardStepping) {
  const unsigned char alphabet[] = {'a', '\\', '/', 0x95, 0x83, 0x81, 0xE0, 0xFC, 0xA0, 0x40, 0x7F, 0x80, 0xFD};
  unsigned seed = 12345;
  for (int n = 0; n < 20000; ++n) {
    std::string s;
    size_t len = 1 + n % 9;
    for (size_t i = 0; i < len; ++i) {
      seed = seed * 1103515245u + 12345u;
      s += static_cast<char>(alphabet[(seed >> 16) % sizeof(alphabet)]);
    }
    for (char c : {'\\', '/'}) {
      size_t last = sjis::LastCharPos(s);
      bool forward = last == s.size() - 1 && s[last] == c;
      ASSERT_EQ(forward, sjis::EndsWithChar(s, c)) << "string of " << s.size() << " bytes, case " << n;
    }
  }
}

}  // namespace
