// Feeds arbitrary bytes to the script item readers, walking the text as the interpreter would
// (commands with their parameter lists, choice blocks, jump names), and checks what the game
// relies on: reading never passes the terminating NUL, every read position moves forward and
// stays inside the text, and every text field is terminated inside its field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "script/script_parse.h"

namespace {

template <std::size_t N>
void CheckTerminated(const char (&field)[N]) {
  if (std::memchr(field, '\0', N) == nullptr) std::abort();
}

// The reader moved from `from` to `p`: forward, and not beyond the NUL at `end`.
void CheckMoved(const char* from, const char* p, const char* end) {
  if (p < from || p > end) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy with its NUL, so any read past it is caught by the address sanitizer.
  const std::unique_ptr<char[]> text(new char[size + 1]);
  std::memcpy(text.get(), data, size);
  text[size] = '\0';
  const char* const end = text.get() + std::strlen(text.get());

  const char* p = text.get();
  while (p < end) {
    const char* from = p;
    switch (*p) {
      case '!': {
        const int n = MatchCommandName(p);
        if (n < -1 || n >= kCommandCount) std::abort();
        if (n < 0) {
          ++p;
          break;
        }
        p += std::strlen(kCommandNames[n]);
        CheckMoved(from, p, end);
        ParamList list;
        const ParamError error = ReadParamList(p, list);
        CheckMoved(from, p, end);
        if (list.count < 0 || list.count > kParamCount) std::abort();
        if (error == ParamError::kTooMany && list.count != kParamCount) std::abort();
        for (const auto& t : list.text) CheckTerminated(t);
        if (error != ParamError::kNone && p < end) ++p;  // the interpreter stops here; go on past it
        break;
      }
      case '/': {
        ChoiceBlock block;
        ReadChoiceBlock(p, block);
        CheckMoved(from, p, end);
        if (p == from) std::abort();
        if (block.count < 0 || block.count > kChoiceMax) std::abort();
        for (int i = 0; i < kChoiceMax; ++i) {
          CheckTerminated(block.label[i]);
          CheckTerminated(block.target[i]);
          if (i >= block.count && (block.label[i][0] != '\0' || block.target[i][0] != '\0')) std::abort();
        }
        break;
      }
      case '^': {
        char name[kScriptNameSize];
        ReadJumpName(p, name);
        CheckMoved(from, p, end);
        CheckTerminated(name);
        if (p == from) std::abort();
        break;
      }
      default: {
        // A single parameter read anywhere must also stay inside the text.
        char param[kParamTextSize];
        std::int32_t number = 0;
        const char* q = p;
        ParseParamText(q, param, number);
        CheckMoved(from, q, end);
        CheckTerminated(param);
        p = q > p ? q : p + 1;
        break;
      }
    }
  }
  return 0;
}
