// The sounds whose names the program itself fixes.
#include "assets.h"

namespace databuild {
namespace {

// The title music and the music of the five room styles.
const char* const kMusic[] = {"BGM10", "bgm01", "bgm02", "bgm03", "bgm04", "bgm05"};
// Button presses, the settings screen's test sound, the in-game menu's sound and the general
// chime that marks the effects folder.
const char* const kEffects[] = {"click", "soundtest", "A5_02042", "se"};
// The heroine's call when a mail is waiting in the room.
constexpr const char* kMailCallName = "mailon";
// UTF-8 whatever the compiler's execution character set is.
constexpr const char8_t* kMailCallText = u8"メール、とどいてるよ。よんでね！";

}  // namespace

bool BuildFixedSounds(const std::filesystem::path& gameFolder) {
  bool ok = true;
  for (const char* name : kMusic) ok = BuildMusic(gameFolder / "media" / "bgm" / (std::string(name) + ".wav"), name) && ok;
  for (const char* name : kEffects) ok = BuildEffect(gameFolder / "media" / "se" / (std::string(name) + ".wav"), name) && ok;
  ok = BuildVoice(gameFolder / "media" / "voice" / (std::string(kMailCallName) + ".mp3"),
                  reinterpret_cast<const char*>(kMailCallText)) && ok;
  return ok;
}

}  // namespace databuild
