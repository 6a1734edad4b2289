// Media playback driven by command strings: videos (".wmv") drawn over the game's picture in a
// rectangle of their own, and sound files (".mp3") played through the sound device's mixer.
//
// A command is a line of blank-separated words (CP932); a word in double quotes may hold blanks.
// The first word is the verb, the second names the device: a file path for "open", an alias
// for everything else. The commands understood:
//
//   open PATH [alias NAME] [style child] [parent N]     the device is chosen by PATH's extension
//   open cdaudio / set cdaudio door closed / close cdaudio
//   realize NAME background
//   put NAME window at X Y W H
//   window NAME state show|hide
//   setaudio NAME volume to N                           N in 0 … 1000
//   play NAME / stop NAME / pause NAME / resume NAME
//   seek NAME to start
//   status NAME mode                                     answers "playing", "paused" or "stopped"
//   close NAME / close all
//
// Every command answers 0 on success and one of the MediaError codes otherwise. Malformed text
// of any kind is an error, never a crash.
#pragma once
#include <string>
#include <string_view>

#include "platform/pixels.h"

namespace plat {

class SoundDevice;

enum MediaError : int {
  kMediaOk = 0,
  kMediaUnknownCommand = 1,
  kMediaUnknownAlias = 2,
  kMediaBadArgument = 3,
  kMediaCannotOpen = 4,   // missing file, unknown file type, or a medium that cannot be decoded
  kMediaAliasInUse = 5,
  kMediaNoWindow = 6,     // a window command for a medium without a picture
};

// Interprets one command. `answer`, when given, receives the command's text answer (empty for
// commands without one).
int SendMediaCommand(std::string_view command, std::string* answer = nullptr);

// The sound device the media's sound goes to (not owned). The program sets it after opening its
// device and sets null before closing it. Media opened while no device is set play silently.
void SetMediaAudioOutput(SoundDevice* device);

// Closes every open medium.
void CloseAllMedia();

// Used by the presenter: draws every shown video into its rectangle of `picture`.
void DrawMediaOverlay(const PixelView& picture);
// True while a shown video plays: the loop then wakes often enough to present its frames.
bool MediaVideoPlaying();
// True when the overlay looks different from what DrawMediaOverlay last drew.
bool MediaOverlayChanged();

}  // namespace plat
