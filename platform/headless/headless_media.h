// The media layer's controls for tests: the commands that were sent, and what each medium shows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace plat::headless {

struct SentMediaCommand {
  std::string command;  // as sent, CP932
  int result = 0;
  std::string answer;
};
const std::vector<SentMediaCommand>& SentMediaCommands();
void ClearSentMediaCommands();

// The picture a video alias shows now (decoded up to the current clock): width × height pixels,
// 3 bytes each in blue-green-red order, rows top-down. False for an unknown alias or before the
// first picture.
bool CaptureMediaFrame(const std::string& alias, std::vector<std::uint8_t>* pixels, int* width, int* height);

struct MediaOverlayState {
  bool open = false;
  bool video = false;
  bool visible = false;
  Rect rect;
  int volume = 1000;
};
MediaOverlayState MediaAliasState(const std::string& alias);

}  // namespace plat::headless
