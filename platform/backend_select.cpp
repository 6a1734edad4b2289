#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"

namespace plat {

bool HeadlessRequested() {
  const char* v = std::getenv("VELMORA_BACKEND");
  return v != nullptr && std::strcmp(v, "headless") == 0;
}

void ShowStartupError(std::string_view caption_utf8, std::string_view text_utf8) {
  const std::string caption(caption_utf8), text(text_utf8);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  if (HeadlessRequested()) return;
  // Shows a box when a display is there; the line on stderr stays for logs and terminals.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
}

}  // namespace plat
