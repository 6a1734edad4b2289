#include "audio/media_slot.h"

#include <cstdio>

#include "app/velmora_app.h"
#include "platform/media_command.h"
#include "story/game_state.h"

std::string ShortPathForm(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

int SendMediaString(const std::string& command, std::string* answer) {
  return plat::SendMediaCommand(command, answer);
}

namespace {

std::string Format(const char* format, int a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, a);
  return buf;
}

void SendVolume() { SendMediaString(Format("setaudio mcitest volume to %d", svparam.voiceVolume * 200)); }

}  // namespace

void MediaSlot::MovieOpen(const std::string& path, int x, int y, int w, int h, bool realize, bool show) {
  const std::string open = "open " + ShortPathForm(path) + " alias mcitest style child parent " +
                           std::to_string(kMediaParentWindow);
  if (SendMediaString(open) == 0) {
    isOpen = true;
  } else {
    App().m_log.Printf("MovieOpen:ERR:%s\n", path.c_str());
  }
  if (realize) SendMediaString("realize mcitest background");
  char put[96];
  std::snprintf(put, sizeof put, "put mcitest window at %d %d %d %d", x, y, w, h);
  SendMediaString(put);
  if (show) SendMediaString("window mcitest state show");
}

void MediaSlot::OpenSound(const std::string& path, const char* errorFormat) {
  if (SendMediaString("open " + ShortPathForm(path) + " alias mcitest") == 0) {
    isOpen = true;
  } else {
    App().m_log.Printf(errorFormat, path.c_str());
  }
}

void MediaSlot::VoiceOpen(const std::string& path) { OpenSound(path, "VoiceOpen:ERR:%s\n"); }

void MediaSlot::RadioOpen(const std::string& path) { OpenSound(path, "RadioOpen:ERR:%s\n"); }

void MediaSlot::Play() {
  if (!isOpen) return;
  SendVolume();
  SendMediaString("play mcitest");
}

void MediaSlot::PlayMovie() {
  if (!isOpen) return;
  Play();
  App().m_log.Printf("PlayMovie\n");
}

void MediaSlot::Stop() {
  if (isOpen) SendMediaString("stop mcitest");
}

void MediaSlot::Rewind() {
  if (isOpen) SendMediaString("seek mcitest to start");
}

void MediaSlot::SetVolume() {
  if (isOpen) SendVolume();
}

bool MediaSlot::IsStopped() {
  if (!isOpen) return false;
  std::string answer;
  SendMediaString("status mcitest mode", &answer);
  return answer == "stopped";
}

void MediaSlot::Close() {
  if (!isOpen) return;
  isOpen = false;
  SendMediaString("close mcitest");
}
