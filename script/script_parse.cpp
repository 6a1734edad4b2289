#include "script/script_parse.h"

#include <cstring>

const char* const kCommandNames[kCommandCount] = {
    "!send",  "!mv",    "!radio",  "!settime", "!setday", "!battle", "!bgmon",  "!bgmoff",
    "!bgmvol", "!charon", "!charab", "!charoff", "!ex",     "!fin",    "!fout",   "!nf",
    "!nl",    "!seon",  "!seoff",  "!von",     "!voff",   "!stron",  "!stroff", "!wait",
    "!winon", "!winoff", "!bgon",  "!bgoff",   "!bgset",  "!bgol",   "!bgci",
};

namespace {

// The characters of a script name ("." to "~").
bool IsNameByte(unsigned char c) { return c >= 0x2E && c <= 0x7E; }
// The characters of a parameter ("." to "z").
bool IsParamByte(unsigned char c) { return c >= 0x2E && c <= 0x7A; }

// The largest magnitude a parameter's number takes: longer digit runs stay at it, so the
// number never overflows and its negation is always representable.
constexpr std::int64_t kNumberLimit = 0x7FFFFFFF;

// Moves `p` past the rest of its line: after the next line feed, or onto the NUL.
void SkipLine(const char*& p) {
  while (*p != '\0' && *p != '\n') ++p;
  if (*p == '\n') ++p;
}

}  // namespace

int MatchCommandName(const char* text) {
  for (int i = 0; i < kCommandCount; ++i) {
    const std::size_t n = std::strlen(kCommandNames[i]);
    // strncmp stops at a NUL in `text`, so a short text is never read past its end.
    if (std::strncmp(text, kCommandNames[i], n) == 0) return i;
  }
  return -1;
}

void ParseParamText(const char*& p, char* text, std::int32_t& number) {
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  } else if (*p == '+') {
    ++p;
  }
  int length = 0;
  std::int64_t value = 0;
  for (; IsParamByte(static_cast<unsigned char>(*p)); ++p) {
    // A text longer than its field is cut; the rest of the run is still part of the parameter.
    if (length < kParamTextSize - 1) text[length++] = *p;
    if (*p >= '0' && *p <= '9') {
      value = value * 10 + (*p - '0');
      if (value > kNumberLimit) value = kNumberLimit;
    }
  }
  text[length] = '\0';
  number = static_cast<std::int32_t>(negative ? -value : value);
}

ParamError ReadParamList(const char*& p, ParamList& out) {
  std::memset(&out, 0, sizeof out);
  if (*p != '(') return ParamError::kNone;
  ++p;
  for (;;) {
    if (out.count == kParamCount) return ParamError::kTooMany;
    ParseParamText(p, out.text[out.count], out.number[out.count]);
    ++out.count;
    if (*p == ')') {
      ++p;
      return ParamError::kNone;
    }
    if (*p != ',') return ParamError::kNoSeparator;
    ++p;
  }
}

void ReadChoiceBlock(const char*& p, ChoiceBlock& out) {
  std::memset(&out, 0, sizeof out);
  if (*p == '/') ++p;
  SkipLine(p);
  while (out.count < kChoiceMax) {
    if (*p == '\0') return;
    if (*p == '/') {
      ++p;
      return;
    }
    // The label: double-byte characters up to the first other byte; the line is read on to
    // the ":" whatever it holds.
    char* label = out.label[out.count];
    int length = 0;
    bool visible = true;
    while (*p != '\0' && *p != ':') {
      const auto c = static_cast<unsigned char>(*p);
      const auto next = static_cast<unsigned char>(p[1]);
      if (c > 0x80 && next >= 0x40) {
        if (visible && length + 2 <= kChoiceLabelSize - 1) {
          label[length++] = p[0];
          label[length++] = p[1];
        }
        p += 2;
      } else {
        visible = false;
        ++p;
      }
    }
    label[length] = '\0';
    if (*p != ':') {
      // The text ended inside the label: no choice on this line.
      label[0] = '\0';
      return;
    }
    ++p;
    // The target: a script name, cut to its field.
    char* target = out.target[out.count];
    length = 0;
    while (length < kScriptNameSize - 1 && IsNameByte(static_cast<unsigned char>(*p))) target[length++] = *p++;
    target[length] = '\0';
    ++out.count;
    SkipLine(p);
  }
}

void ReadJumpName(const char*& p, char (&name)[kScriptNameSize]) {
  if (*p == '^') ++p;
  int length = 0;
  while (length < kScriptNameSize - 1 && IsNameByte(static_cast<unsigned char>(*p))) name[length++] = *p++;
  name[length] = '\0';
}
