// Feeds arbitrary bytes to the save-slot and system-file readers and checks what they promise:
// a slot is blank or loaded; a loaded record has every list count within its capacity, the
// room and levels in range and every string ending inside its field; loading is idempotent
// (a loaded record saved and loaded again is the same); a system file loads only when whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "story/game_state.h"
#include "story/save_files.h"

namespace {

template <std::size_t N>
void CheckTerminated(const char (&field)[N]) {
  if (std::memchr(field, '\0', N) == nullptr) std::abort();
}

void CheckRange(int value, int low, int high) {
  if (value < low || value > high) std::abort();
}

void CheckLoaded(const GameState& s) {
  CheckTerminated(s.userName);
  CheckTerminated(s.scriptName);
  CheckTerminated(s.bgName);
  CheckTerminated(s.bgmName);
  CheckTerminated(s.mailName);
  for (const MailRec& m : s.mails) {
    CheckTerminated(m.subject);
    CheckTerminated(m.dayCaption);
    CheckTerminated(m.name);
    CheckTerminated(m.attachment);
  }
  for (const ReceivedMediaRec& r : s.movies) { CheckTerminated(r.title); CheckTerminated(r.fileId); }
  for (const ReceivedMediaRec& r : s.photos) { CheckTerminated(r.title); CheckTerminated(r.fileId); }
  for (const ReceivedMediaRec& r : s.radios) { CheckTerminated(r.title); CheckTerminated(r.fileId); }
  for (const ReceivedRoomRec& r : s.rooms) CheckTerminated(r.title);
  CheckRange(s.mailCount, 0, kMailCapacity);
  CheckRange(s.movieCount, 0, kReceivedMovieCapacity);
  CheckRange(s.photoCount, 0, kReceivedPhotoCapacity);
  CheckRange(s.radioCount, 0, kReceivedRadioCapacity);
  CheckRange(s.roomCount, 0, kReceivedRoomCapacity);
  CheckRange(s.room, 0, 4);
  CheckRange(s.voiceVolume, 0, 5);
  CheckRange(s.bgmVolume, 0, 8);
  CheckRange(s.seVolume, 0, 8);
  CheckRange(s.textSpeed, 0, 4);
  if (s.inUse != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static GameState loaded;
  static GameState again;
  std::memset(&loaded, 0xEE, sizeof loaded);
  const GameState untouched = loaded;

  const int result = DecodeSaveSlot(data, size, &loaded);
  if (result == kSaveBlank) {
    if (std::memcmp(&loaded, &untouched, sizeof loaded) != 0) std::abort();
  } else if (result == kSaveInUse) {
    if (size < sizeof(GameState)) std::abort();
    CheckLoaded(loaded);
    if (DecodeSaveSlot(reinterpret_cast<const unsigned char*>(&loaded), sizeof loaded, &again) != kSaveInUse ||
        std::memcmp(&loaded, &again, sizeof loaded) != 0)
      std::abort();
  } else {
    std::abort();
  }

  SystemState system;
  std::memset(&system, 0xEE, sizeof system);
  const bool whole = DecodeSystemFile(data, size, &system);
  if (whole != (size >= sizeof(SystemState))) std::abort();
  if (whole && std::memcmp(&system, data, sizeof system) != 0) std::abort();
  return 0;
}
