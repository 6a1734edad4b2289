// CP932 <-> UTF-8 conversion. CP932 bytes are written as hex escapes and UTF-8 text as u8
// literals, so the expectations do not depend on the compiler's execution character set.
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct RoundTrip {
  const char* what;
  std::string cp932;
  std::string utf8;
};
void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.what; }

class TextEncodingRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(TextEncodingRoundTrip, ConvertsBothWays) {
  const RoundTrip& c = GetParam();
  EXPECT_EQ(plat::Cp932ToUtf8(c.cp932), c.utf8) << c.what;
  EXPECT_EQ(plat::Utf8ToCp932(c.utf8), c.cp932) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextEncodingRoundTrip,
    ::testing::Values(
        RoundTrip{"ascii with backslash and tilde", "a\\b~c", "a\\b~c"},
        // Trail byte 0x5C: a converter or splitter that treats it as a backslash breaks these.
        RoundTrip{"so (83 5C)", "\x83\x5C", U8(u8"ソ")},
        RoundTrip{"hyou (95 5C)", "\x95\x5C", U8(u8"表")},
        RoundTrip{"5C trails next to a real backslash", "\x95\x5C\x8E\xA6\\\x83\x5C\x83\x74\x83\x67",
                  U8(u8"表示\\ソフト")},
        RoundTrip{"extended kanji with 5C trail (FA 5C)", "\xFA\x5C", U8(u8"纊")},
        // Trail byte in 'A'..'Z': ASCII case folding must never touch it.
        RoundTrip{"a (83 41)", "\x83\x41\x83\x43", U8(u8"アイ")},
        RoundTrip{"half-width katakana", "\xB1\xB2\xB3\xDE\xDF", U8(u8"ｱｲｳﾞﾟ")},
        RoundTrip{"full-width letter and wave dash", "\x82\x60\x81\x60", U8(u8"Ａ～")},
        RoundTrip{"row 13 symbol (circled one)", "\x87\x40", U8(u8"①")},
        RoundTrip{"embedded NUL", std::string("a\0b", 3), std::string("a\0b", 3)},
        RoundTrip{"empty", "", ""}));

struct OneWay {
  const char* what;
  std::string in;
  std::string out;
};
void PrintTo(const OneWay& c, std::ostream* os) { *os << c.what; }

class TextEncodingInvalidCp932 : public ::testing::TestWithParam<OneWay> {};

TEST_P(TextEncodingInvalidCp932, BecomesReplacementCharacter) {
  EXPECT_EQ(plat::Cp932ToUtf8(GetParam().in), GetParam().out) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextEncodingInvalidCp932,
    ::testing::Values(OneWay{"unused single bytes", "\x80\xA0\xFD\xFE\xFF", U8(u8"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD")},
                      OneWay{"stray byte between ascii", "a\xFF" "b", U8(u8"a\uFFFDb")},
                      // The ASCII after a lead byte is not a trail byte and must survive.
                      OneWay{"lead byte before a blank", "a\x81 z", U8(u8"a\uFFFD z")},
                      OneWay{"unassigned pair counts once", "\x85\x40z", U8(u8"\uFFFDz")},
                      OneWay{"lead byte at the end", "ab\x81", U8(u8"ab\uFFFD")},
                      OneWay{"valid text resumes after", "\xFF\x83\x5C", U8(u8"\uFFFDソ")}));

class TextEncodingUnmappableUtf8 : public ::testing::TestWithParam<OneWay> {};

TEST_P(TextEncodingUnmappableUtf8, BecomesQuestionMark) {
  EXPECT_EQ(plat::Utf8ToCp932(GetParam().in), GetParam().out) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextEncodingUnmappableUtf8,
    ::testing::Values(OneWay{"emoji (4 bytes) is one character", U8(u8"a😀b"), "a?b"},
                      OneWay{"hangul", U8(u8"가\u30BD"), "?\x83\x5C"},
                      OneWay{"overlong NUL", "a\xC0\x80z", "a??z"},
                      OneWay{"surrogate half", "\xED\xA0\x80", "???"},
                      OneWay{"truncated sequence before ascii", "a\xE3\x82z", "a?z"},
                      OneWay{"truncated sequence at the end", "a\xE3\x82", "a?"},
                      OneWay{"lone continuation byte", "\x80" "a", "?a"}));

// Long input crosses the converter's internal chunks; a bad byte placed every so often lands
// on and around those boundaries.
TEST(TextEncodingLongInput, ConvertsAcrossChunkBoundaries) {
  std::string cp932;
  std::string utf8;
  for (int i = 0; i < 3000; ++i) {
    cp932 += "\x83\x5C";
    utf8 += U8(u8"ソ");
    if (i % 333 == 0) {
      cp932 += '\xFF';
      utf8 += U8(u8"\uFFFD");
    }
  }
  EXPECT_EQ(plat::Cp932ToUtf8(cp932), utf8);

  std::string expected_back = cp932;
  for (char& c : expected_back) {
    if (c == '\xFF') c = '?';
  }
  EXPECT_EQ(plat::Utf8ToCp932(utf8), expected_back);
}

// Several threads converting at once must not disturb each other's conversion state.
TEST(TextEncodingThreads, ConcurrentConversionsAgree) {
  const std::string cp932 = "\x95\x5C\x8E\xA6\xB1\xFF\x81 " "abc\x83\x5C";
  const std::string expected_utf8 = plat::Cp932ToUtf8(cp932);
  const std::string utf8 = U8(u8"表示ｱ😀\uFFFDソ") + "\xE3\x82";
  const std::string expected_cp932 = plat::Utf8ToCp932(utf8);

  std::vector<std::thread> threads;
  std::vector<int> mismatches(8, 0);
  for (std::size_t t = 0; t < mismatches.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        if (plat::Cp932ToUtf8(cp932) != expected_utf8) ++mismatches[t];
        if (plat::Utf8ToCp932(utf8) != expected_cp932) ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int count : mismatches) EXPECT_EQ(count, 0);
}

}  // namespace

namespace {

// The game writes its last log line from a static destructor, after the main thread's
// thread-local objects are gone: conversion must still work then.
struct ConvertsWhileEnding {
  ~ConvertsWhileEnding() {
    if (plat::Cp932ToUtf8("---終了---") != "---\xE7\xB5\x82\xE4\xBA\x86---") std::_Exit(3);
    if (plat::Utf8ToCp932("\xE7\xB5\x82") != "終") std::_Exit(4);
  }
};

TEST(TextEncodingDeathTest, ConvertsFromStaticDestructorsAtExit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static ConvertsWhileEnding ending;
        (void)plat::Cp932ToUtf8("a");  // the converters exist before the static above ends
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
