// One use of the media alias "mcitest": a video shown in a rectangle of the view, or a sound file
// (voice or radio broadcast), driven by command strings and polled for its end.
#pragma once
#include <string>

// The view's window number that child-window opens name as their parent.
inline constexpr int kMediaParentWindow = 59648;

// The form of a path that commands carry: the path itself, in double quotes when it holds a blank.
std::string ShortPathForm(const std::string& path);

// Sends one command string and returns its result (0: success). `answer` receives a status answer.
int SendMediaString(const std::string& command, std::string* answer = nullptr);

struct MediaSlot {
  bool isOpen = false;

  // Opens a video as a child window of the view at (x, y, w, h); the window commands follow
  // whatever the open gave.
  void MovieOpen(const std::string& path, int x, int y, int w, int h, bool realize, bool show);
  // Opens a sound file; VoiceOpen and RadioOpen differ only in their log line.
  void VoiceOpen(const std::string& path);
  void RadioOpen(const std::string& path);
  // The volume (the player's voice level), then play.
  void Play();
  // Play, then the log line of the media player's video.
  void PlayMovie();
  void Stop();
  void Rewind();
  // Sends the volume of the voice level now set, while open.
  void SetVolume();
  // True exactly when the open medium answers "stopped".
  bool IsStopped();
  void Close();

 private:
  void OpenSound(const std::string& path, const char* errorFormat);
};
