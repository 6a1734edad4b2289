#include "check_scripts.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "check_references.h"
#include "check_text.h"
#include "script/script_parse.h"
#include "script/script_runtime.h"
#include "story/csv_text.h"

namespace check {

namespace {

// Command indexes (the order of kCommandNames) whose parameters name files.
enum Command {
  kMv = 1,
  kRadio = 2,
  kBattle = 5,
  kBgmOn = 6,
  kStrOn = 21,
  kBgOn = 26,
};

// More findings than this in one script mean the file is not a script at all.
constexpr int kMaxFindingsPerScript = 50;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The item starts the interpreter knows.
bool IsItemStart(char c) { return c == '!' || c == '/' || c == '\\' || c == '^' || c == ';' || c == '"'; }

class ScriptWalk {
 public:
  ScriptWalk(Context& ctx, std::string_view file, const std::string& text)
      : ctx_(ctx), file_(file), text_(text), lines_(text) {
    // The game reads the first 12288 bytes into its buffer, with a NUL after them.
    const std::size_t size = text.size() < kScriptBufferSize ? text.size() : kScriptBufferSize;
    buffer_.assign(text.data(), size);
  }

  void Run() {
    const char* const start = buffer_.c_str();
    const char* p = start;
    for (;;) {
      if (findings_ >= kMaxFindingsPerScript) {
        Report(p, "too many problems; the rest of the script is not checked");
        return;
      }
      while (IsBlank(*p)) ++p;
      const auto c = static_cast<unsigned char>(*p);
      if (c == '\0') {
        if (static_cast<std::size_t>(p - start) < buffer_.size()) {
          Report(p, "NUL byte: the game stops reading the script here without an end mark ';'");
          return;
        }
        // Reported on the last line that holds something, where the end mark belongs.
        while (p > start && IsBlank(p[-1])) --p;
        if (text_.size() > static_cast<std::size_t>(kScriptBufferSize))
          Reportf(p, "no end mark ';' within the first %d bytes (the file has %zu; the game reads no further)",
                  kScriptBufferSize, text_.size());
        else
          Report(p, "script has no end mark ';'");
        return;
      }
      if (c == ';') return;
      if (c >= 0x80) {
        if (!IsCp932LeadByte(c))
          Reportf(p, "byte 0x%02X does not begin a double-byte character; message text must be double-byte", c);
        p += p[1] != '\0' ? 2 : 1;
        continue;
      }
      switch (c) {
        case '!': Command(p); break;
        case '/': Choice(p); return;  // the chosen script is loaded: nothing after the block is read
        case '\\':
          if (static_cast<unsigned char>(p[1]) >= 0x80)
            Report(p, "a backslash followed by a double-byte character splits that character");
          p += p[1] != '\0' ? 2 : 1;
          break;
        case '^': {
          char name[kScriptNameSize];
          const char* at = p;
          ReadJumpName(p, name);
          RequireScript(ctx_, file_, Line(at), name);
          return;  // the jump loads the other script
        }
        case '"':
          Report(
              p,
              "a double quote means nothing as an item (the game passes over it); valid scripts do not hold one there");
          ++p;
          break;
        default: {
          // A run of single-byte characters that are not items: usually text typed half-width.
          const char* end = p;
          while (*end != '\0' && static_cast<unsigned char>(*end) < 0x80 && !IsBlank(*end) && !IsItemStart(*end)) ++end;
          Reportf(p, "unknown item %s: an item begins with '!', '/', '\\', '^' or ';', and text must be double-byte",
                  Quote(std::string_view(p, static_cast<std::size_t>(end - p))).c_str());
          p = end;
          break;
        }
      }
    }
  }

 private:
  int Line(const char* at) const { return lines_.LineOf(static_cast<std::size_t>(at - buffer_.c_str())); }

  void Report(const char* at, const std::string& text) {
    ++findings_;
    ctx_.Report(file_, Line(at), text);
  }
  void Reportf(const char* at, const char* format, ...) __attribute__((format(printf, 3, 4))) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Report(at, text);
  }

  void Command(const char*& p) {
    const char* const at = p;
    const int index = MatchCommandName(p);
    if (index < 0) {
      const char* end = p + 1;
      while ((*end >= 'a' && *end <= 'z') || (*end >= 'A' && *end <= 'Z') || (*end >= '0' && *end <= '9')) ++end;
      Reportf(at, "unknown command %s", Quote(std::string_view(p, static_cast<std::size_t>(end - p))).c_str());
      p = end;
      SkipParamList(p);
      return;
    }
    const char* const name = kCommandNames[index];
    p += std::strlen(name);
    ParamList params;
    switch (ReadParamList(p, params)) {
      case ParamError::kNone: break;
      case ParamError::kNoSeparator:
        Reportf(at,
                "%s: bad parameter list: %s in parameter %d, which only ',' or ')' may end (no blanks inside a list)",
                name, Describe(*p).c_str(), params.count);
        SkipParamList(p);
        return;
      case ParamError::kTooMany:
        Reportf(at, "%s: more than %d parameters", name, kParamCount);
        SkipParamList(p);
        return;
    }
    const int line = Line(at);
    switch (index) {
      case kMv:
        if (NeedParams(at, name, params, 1, "a video name")) RequireVideo(ctx_, file_, line, params.text[0], true);
        break;
      case kRadio:
        if (NeedParams(at, name, params, 1, "a broadcast name"))
          RequireBroadcast(ctx_, file_, line, params.text[0], false);
        break;
      case kBattle:
        if (NeedParams(at, name, params, 2, "a second parameter naming a script"))
          RequireScript(ctx_, file_, line, params.text[1]);
        break;
      case kBgmOn:
      case kStrOn:
        if (NeedParams(at, name, params, 1, "a music name")) RequireMusic(ctx_, file_, line, params.text[0]);
        break;
      case kBgOn:
        if (NeedParams(at, name, params, 1, "a picture name")) RequirePicture(ctx_, file_, line, params.text[0]);
        break;
      default: break;
    }
  }

  bool NeedParams(const char* at, const char* name, const ParamList& params, int needed, const char* what) {
    if (params.count >= needed && params.text[needed - 1][0] != '\0') return true;
    Reportf(at, "%s needs %s", name, what);
    return false;
  }

  static std::string Describe(char c) {
    if (c == '\0') return "the end of the script";
    if (c == ' ' || c == '\t') return "a blank";
    if (c == '\r' || c == '\n') return "the line end";
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) return "a non-ASCII byte";
    return std::string("'") + c + "'";
  }

  // After a bad list: on to just past its ")" when the line has one, else to the line end.
  static void SkipParamList(const char*& p) {
    const char* q = p;
    while (*q != '\0' && *q != '\n' && *q != ')') ++q;
    p = *q == ')' ? q + 1 : q;
  }

  void Choice(const char*& p) {
    const char* const at = p;
    const int line = Line(at);
    ChoiceBlock block;
    ReadChoiceBlock(p, block);
    if (block.count == 0) {
      Report(at, "choice block has no choices");
      return;
    }
    for (int i = 0; i < block.count; ++i) {
      const int choice_line = line + 1 + i;  // one choice a line after the opening "/"
      if (block.label[i][0] == '\0')
        ctx_.Reportf(file_, choice_line, "choice %d has no label (labels are double-byte text before the ':')", i + 1);
      if (block.target[i][0] == '\0') {
        ctx_.Reportf(file_, choice_line, "choice %d has no target script after its ':'", i + 1);
        continue;
      }
      RequireScript(ctx_, file_, choice_line, block.target[i]);
    }
    if (block.count < kChoiceMax) {
      if (p == buffer_.c_str() || p[-1] != '/') Report(at, "choice block is not closed by a line beginning with '/'");
      return;
    }
    // Three choices: the interpreter stops reading there; a fourth line would be dropped.
    const char* q = p;
    while (IsBlank(*q)) ++q;
    if (*q != '/' && *q != '\0' && *q != ';')
      ctx_.Reportf(file_, Line(q), "choice block has more than %d choices; the game shows only the first %d",
                   kChoiceMax, kChoiceMax);
  }

  Context& ctx_;
  std::string_view file_;
  const std::string& text_;
  LineIndex lines_;
  std::string buffer_;
  int findings_ = 0;
};

}  // namespace

void CheckScriptText(Context& ctx, std::string_view file, const std::string& text) {
  ScriptWalk(ctx, file, text).Run();
}

void CheckScripts(Context& ctx) {
  for (const std::string& name : ctx.ListFiles(kScriptFolder, ".sin")) {
    const std::string file = std::string(kScriptFolder) + name + ".sin";
    std::string text;
    if (!ctx.ReadFile(file, &text)) {
      ctx.Report(file, 0, "cannot be read");
      continue;
    }
    CheckScriptText(ctx, file, text);
  }
}

}  // namespace check
