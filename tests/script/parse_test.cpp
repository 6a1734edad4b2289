// The item syntax of scripts as pure functions: command names, parameter lists, choice blocks
// and jump names, including input that is cut short or longer than its fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/script_parse.h"

namespace {

TEST(ScriptParse, CommandNamesMatchTheFirstNameTheTextBeginsWith) {
  const std::vector<std::string> names = {
      "!send",  "!mv",    "!radio",  "!settime", "!setday", "!battle", "!bgmon",  "!bgmoff",
      "!bgmvol", "!charon", "!charab", "!charoff", "!ex",     "!fin",    "!fout",   "!nf",
      "!nl",    "!seon",  "!seoff",  "!von",     "!voff",   "!stron",  "!stroff", "!wait",
      "!winon", "!winoff", "!bgon",  "!bgoff",   "!bgset",  "!bgol",   "!bgci"};
  ASSERT_EQ(names.size(), static_cast<std::size_t>(kCommandCount));
  for (int i = 0; i < kCommandCount; ++i) {
    EXPECT_STREQ(kCommandNames[i], names[static_cast<std::size_t>(i)].c_str());
    EXPECT_EQ(MatchCommandName((names[static_cast<std::size_t>(i)] + "(x)").c_str()), i) << names[i];
  }
  struct {
    const char* text;
    int index;
  } cases[] = {
      {"!sendx", 0},        // the name only: what follows is another item
      {"!bgmvolume(3)", 8}, {"!bgonx", 26}, {"!nlnl", 16},
      {"!bg", -1},          {"!", -1},       {"", -1},        {"!SEND", -1}, {"send", -1}, {"! send", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchCommandName(c.text), c.index) << c.text;
}

TEST(ScriptParse, ParameterListsGiveTextAndNumberOrAnError) {
  const std::string longText(40, 'a');
  struct Case {
    std::string input;
    ParamError error;
    int count;
    std::vector<std::string> texts;
    std::vector<std::int32_t> numbers;
    std::string rest;  // where reading stopped
  } cases[] = {
      {"(bgm01);", ParamError::kNone, 1, {"bgm01"}, {1}, ";"},
      {"(-12)", ParamError::kNone, 1, {"12"}, {-12}, ""},
      {"(+7)", ParamError::kNone, 1, {"7"}, {7}, ""},
      {"(a1b2.c3)", ParamError::kNone, 1, {"a1b2.c3"}, {123}, ""},
      {"(c_clo_nig,1)\r\n", ParamError::kNone, 2, {"c_clo_nig", "1"}, {0, 1}, "\r\n"},
      {"(x,R006_01)", ParamError::kNone, 2, {"x", "R006_01"}, {0, 601}, ""},
      {"()", ParamError::kNone, 1, {""}, {0}, ""},
      {"(,)", ParamError::kNone, 2, {"", ""}, {0, 0}, ""},
      {"no list", ParamError::kNone, 0, {}, {}, "no list"},
      {"(1,2,3,4,5)", ParamError::kNone, 5, {"1", "2", "3", "4", "5"}, {1, 2, 3, 4, 5}, ""},
      // A blank is no parameter character: the parameter ends and no separator follows.
      {"(c_clo_nig, 1)", ParamError::kNoSeparator, 2, {"c_clo_nig", ""}, {0, 0}, " 1)"},
      {"(a b)", ParamError::kNoSeparator, 1, {"a"}, {0}, " b)"},
      {"(bgm01", ParamError::kNoSeparator, 1, {"bgm01"}, {1}, ""},
      {"(a-1)", ParamError::kNoSeparator, 1, {"a"}, {0}, "-1)"},
      {"(1,2,3,4,5,6)", ParamError::kTooMany, 5, {"1", "2", "3", "4", "5"}, {1, 2, 3, 4, 5}, "6)"},
      // Longer than its field: the text is cut to 31 bytes, the parameter still ends at ")".
      {"(" + longText + "9)", ParamError::kNone, 1, {std::string(31, 'a')}, {9}, ""},
      // Digit runs beyond 32 bits stay at the largest magnitude instead of overflowing.
      {"(99999999999999999999)", ParamError::kNone, 1, {"99999999999999999999"}, {2147483647}, ""},
      {"(-99999999999999999999)", ParamError::kNone, 1, {"99999999999999999999"}, {-2147483647}, ""},
      {"(2147483647)", ParamError::kNone, 1, {"2147483647"}, {2147483647}, ""},
  };
  for (const Case& c : cases) {
    const char* p = c.input.c_str();
    ParamList list;
    list.count = 99;
    EXPECT_EQ(ReadParamList(p, list), c.error) << c.input;
    EXPECT_EQ(list.count, c.count) << c.input;
    EXPECT_EQ(std::string(p), c.rest) << c.input;
    for (int i = 0; i < kParamCount; ++i) {
      const auto k = static_cast<std::size_t>(i);
      EXPECT_EQ(std::string(list.text[i]), k < c.texts.size() ? c.texts[k] : "") << c.input << " #" << i;
      EXPECT_EQ(list.number[i], k < c.numbers.size() ? c.numbers[k] : 0) << c.input << " #" << i;
    }
  }
}

struct ChoiceCase {
  std::string input;
  int count;
  std::vector<std::string> labels, targets;
  std::string rest;
};

void CheckChoices(const ChoiceCase& c) {
  const char* p = c.input.c_str();
  ChoiceBlock block;
  ReadChoiceBlock(p, block);
  EXPECT_EQ(block.count, c.count) << c.input;
  for (int i = 0; i < kChoiceMax; ++i) {
    const auto k = static_cast<std::size_t>(i);
    EXPECT_EQ(std::string(block.label[i]), k < c.labels.size() ? c.labels[k] : "") << c.input << " #" << i;
    EXPECT_EQ(std::string(block.target[i]), k < c.targets.size() ? c.targets[k] : "") << c.input << " #" << i;
  }
  EXPECT_EQ(std::string(p), c.rest) << c.input;
}

TEST(ScriptParse, ChoiceBlocksGiveLabelsAndTargets) {
  const std::string kana30 = [] {
    std::string s;
    for (int i = 0; i < 30; ++i) s += "あ";
    return s;
  }();
  std::string kana25;
  for (int i = 0; i < 25; ++i) kana25 += "あ";
  const ChoiceCase cases[] = {
      {"/ anything here\r\nはい:A012_05\r\nいいえ:A012_06\r\n/\r\n;", 2, {"はい", "いいえ"}, {"A012_05", "A012_06"},
       "\r\n;"},
      // Three choices: the closing line is left unread.
      {"/\nいち:A1\nに:A2\nさん:A3\n/\n;", 3, {"いち", "に", "さん"}, {"A1", "A2", "A3"}, "/\n;"},
      // An ASCII letter ends the visible label; the line is still read on to its ":".
      {"/\r\nはいAいいえ:B01\r\n/", 1, {"はい"}, {"B01"}, ""},
      {"/\r\n はい:B01\r\n/", 1, {""}, {"B01"}, ""},
      // The target ends at the first byte outside "." to "~"; the rest of the line is passed over.
      {"/\nはい:B01 comment\n/x", 1, {"はい"}, {"B01"}, "x"},
      // Longer than their fields: 25 double-byte characters of the label, 31 bytes of the target.
      {"/\n" + kana30 + ":" + std::string(40, 'T') + "\n/", 1, {kana25}, {std::string(31, 'T')}, ""},
      {"/\n/", 0, {}, {}, ""},
      // Cut short anywhere: reading stops at the end of the text.
      {"/", 0, {}, {}, ""},
      {"/\nはい", 0, {}, {}, ""},
      {"/\nはい:B0", 1, {"はい"}, {"B0"}, ""},
      {"/\n\x82", 0, {}, {}, ""},
  };
  for (const ChoiceCase& c : cases) CheckChoices(c);
}

TEST(ScriptParse, JumpNamesRunOverNameCharactersOnly) {
  struct {
    std::string input, name, rest;
  } cases[] = {
      {"^A012_05\r\nnext", "A012_05", "\r\nnext"},
      {"^B01;", "B01;", ""},  // ";" is a name character; a jump line ends at its line end
      {"^", "", ""},
      {"^ B01", "", " B01"},
      {"^" + std::string(40, 'n') + "\n", std::string(31, 'n'), std::string(9, 'n') + "\n"},
  };
  for (const auto& c : cases) {
    const char* p = c.input.c_str();
    char name[kScriptNameSize];
    ReadJumpName(p, name);
    EXPECT_EQ(std::string(name), c.name) << c.input;
    EXPECT_EQ(std::string(p), c.rest) << c.input;
  }
}

}  // namespace
