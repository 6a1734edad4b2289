// The hanging line-start rule, in characters (message window) and in bytes (mail pages).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/line_break.h"

namespace {

TEST(MayHangTest, OnlyWholeCharactersOfTheSetAfterTheSpaceMayHang) {
  struct {
    const char* ch;
    bool hangs;
  } cases[] = {
      {"、", true}, {"。", true}, {"ー", true}, {"…", true}, {"っ", true}, {"ョ", true}, {"？", true}, {"！", true},
      {"」", true},
      // The ideographic space is the set's first member but does not hang.
      {"　", false},
      {"漢", false}, {"あ", false}, {"?", false}, {"a", false}, {"", false},
      // Bytes that occur in the set only as trail bytes, or straddling two members, are no match.
      {"A", false}, {"B", false}, {"[", false}, {"氓", false}, {"痰", false}, {"繧", false}, {"〟", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MayHang(c.ch), c.hangs) << c.ch;
}

// Lays `text` out and returns the lines, each as "position:character ..." of what it holds.
std::vector<std::string> Layout(const std::string& text, int n, HangingLineBreaker::Unit unit) {
  HangingLineBreaker breaker(n, unit);
  std::vector<std::string> lines(1);
  for (const char* p = text.c_str(); *p != '\0';) {
    const int bytes = CharBytes(p);
    const HangingLineBreaker::Placement at = breaker.Place(p);
    if (at.new_line) lines.emplace_back();
    lines.back() += std::string(p, static_cast<std::size_t>(bytes));
    if (at.position >= n) lines.back() += "^";  // marks a hanging character
    p += bytes;
  }
  return lines;
}

TEST(HangingLineBreakerTest, MessageWindowOfTwentyFiveCharacters) {
  const HangingLineBreaker::Unit kChars = HangingLineBreaker::Unit::kCharacter;
  const std::string full25 = "あいうえおかきくけこさしすせそたちつてとなにぬねの";
  struct {
    const char* what;
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"a comma at position 25 hangs; the next character starts a line", full25 + "、次",
       {full25 + "、^", "次"}},
      {"two marks in a row: the first hangs, the second starts the next line", full25 + "。」",
       {full25 + "。^", "」"}},
      {"an ordinary kanji at position 25 starts the next line", full25 + "漢字", {full25, "漢字"}},
      {"a space at position 25 starts the next line", full25 + "　あ", {full25, "　あ"}},
      {"half-width characters count one position each", std::string(25, 'x') + "y", {std::string(25, 'x'), "y"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Layout(c.text, 25, kChars), c.lines) << c.what;
}

TEST(HangingLineBreakerTest, MailPageOfSixtyTwoBytes) {
  const HangingLineBreaker::Unit kBytes = HangingLineBreaker::Unit::kByte;
  std::string full62;  // 31 full-width characters: bytes 0 to 61
  for (int i = 0; i < 31; ++i) full62 += "あ";
  struct {
    const char* what;
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"a full stop at byte 62 hangs over bytes 62 and 63", full62 + "。次", {full62 + "。^", "次"}},
      {"a kanji at byte 62 starts the next line", full62 + "字", {full62, "字"}},
      {"two marks: one hangs", full62 + "！？", {full62 + "！^", "？"}},
      {"62 half-width bytes, then a comma", std::string(62, 'a') + "、b", {std::string(62, 'a') + "、^", "b"}},
      {"a full-width character at byte 61 still fits", std::string(61, 'a') + "あb", {std::string(61, 'a') + "あ", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Layout(c.text, 62, kBytes), c.lines) << c.what;
}

TEST(HangingLineBreakerTest, ALoneLeadByteAtTheEndIsOneCharacter) {
  const std::string text = "ab\x82";
  EXPECT_EQ(CharBytes(text.c_str() + 2), 1);
  EXPECT_EQ(Layout(text, 25, HangingLineBreaker::Unit::kByte), (std::vector<std::string>{"ab\x82"}));
}

}  // namespace
