#include "check_fixed_names.h"

#include <string>

#include "check_references.h"

namespace check {

void CheckFixedNames(Context& ctx) {
  // The file each data folder is recognised by when the game starts.
  static const char* const kSampleFiles[] = {
      "ev/sEventList.csv",     "mail/001_01.txt",   "media/bgm/BGM01.wav",      "media/photo/P004_01.bmp",
      "media/radio/R_end.mp3", "media/se/se.wav",   "media/video/vA020_01.wmv", "media/voice/A009_00.mp3",
      "misc/mail256.bmp",      "script/001_00.sin",
  };
  for (const char* path : kSampleFiles)
    if (!ctx.FileExists(path))
      ctx.Report(path, 0, "missing: it is the sample file of its folder, and the game does not start without it");

  // The other names the program asks for (the sample files above are not repeated: "bgm01" is
  // the sample "BGM01" without regard to case).
  static const char* const kFixedFiles[] = {
      "misc/title256.bmp",     "misc/settei256.bmp",     "misc/load256.bmp",    "misc/save256.bmp",
      "misc/omake256.bmp",     "misc/player256.bmp",     "misc/heya256.bmp",    "misc/pdammy.bmp",
      "misc/radio.bmp",        "media/bgm/BGM10.wav",    "media/bgm/bgm02.wav", "media/bgm/bgm03.wav",
      "media/bgm/bgm04.wav",   "media/bgm/bgm05.wav",    "media/se/click.wav",  "media/se/soundtest.wav",
      "media/se/A5_02042.wav", "media/voice/mailon.mp3", "media/video/op.wmv",
  };
  for (const char* path : kFixedFiles)
    if (!ctx.FileExists(path)) ctx.Report(path, 0, "missing: the program asks for it by name");

  // The ending scenes, and the scripts whose seen bits choose between them.
  for (const char* name : {"sr", "sr_", "sr__"}) {
    const std::string file = std::string(kScriptFolder) + name + ".sin";
    if (ctx.FindScript(name) < 0)
      ctx.Reportf(file, 0, "ending scene %s is not in %s", Quote(name).c_str(), kScriptList);
    if (!ctx.FileExists(file)) ctx.Reportf(file, 0, "missing: the ending scene %s", Quote(name).c_str());
  }
  for (const char* name : {"A031_05mv", "X031_01"})
    if (ctx.FindScript(name) < 0)
      ctx.Reportf(kScriptList, 0, "%s is not listed; the game looks it up to choose the ending", Quote(name).c_str());
}

}  // namespace check
