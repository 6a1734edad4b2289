// The script language's item syntax as pure functions: they read text and fill their outputs,
// with no effect on the game. The interpreter runs scripts through them and the data checker
// uses them to check scripts without playing them.
#pragma once
#include <cstdint>

#include "script/script_runtime.h"

inline constexpr int kCommandCount = 31;
// The command names in table order ("!send", "!mv", ... "!bgci").
extern const char* const kCommandNames[kCommandCount];

// Index of the first command name in table order that `text` begins with, or -1.
int MatchCommandName(const char* text);

enum class ParamError { kNone, kNoSeparator, kTooMany };

struct ParamList {
  char text[kParamCount][kParamTextSize];
  std::int32_t number[kParamCount];
  int count;  // parameters read
};

// Reads one parameter at `p` (moving it past what was read) into text and number.
void ParseParamText(const char*& p, char* text, std::int32_t& number);
// Reads a parameter list at `p` if one begins there ("(" ... ")"); `out` is cleared first.
// `p` stops where an error was found.
ParamError ReadParamList(const char*& p, ParamList& out);

struct ChoiceBlock {
  char label[kChoiceMax][kChoiceLabelSize];
  char target[kChoiceMax][kScriptNameSize];
  int count;
};
// Reads a choice block whose opening "/" is at `p`; `p` ends after the block as the
// interpreter leaves it.
void ReadChoiceBlock(const char*& p, ChoiceBlock& out);

// Reads the name of a jump line whose "^" is at `p` (characters "." to "~", at most 31).
void ReadJumpName(const char*& p, char (&name)[kScriptNameSize]);
