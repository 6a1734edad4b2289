#include "story/save_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/velmora_app.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/local_time.h"

namespace {

// A field that holds no NUL gets one in its last byte, so no reader runs past it. A field that
// is already terminated is left exactly as it is (bytes after the NUL included).
template <std::size_t N>
void TerminateField(char (&field)[N]) {
  if (std::memchr(field, '\0', N) == nullptr) field[N - 1] = '\0';
}

std::int16_t Clamp16(std::int16_t value, int low, int high) {
  return static_cast<std::int16_t>(std::clamp<int>(value, low, high));
}

void MakeSafe(ReceivedMediaRec* entries, int capacity) {
  for (int i = 0; i < capacity; ++i) {
    TerminateField(entries[i].title);
    TerminateField(entries[i].fileId);
  }
}

// Keeps a record read from a file within what the rest of the game indexes by: list counts
// within their capacities, the room and the levels within their ranges, every string
// terminated. A record the game wrote itself passes unchanged.
void MakeSafe(GameState& s) {
  TerminateField(s.userName);
  TerminateField(s.scriptName);
  TerminateField(s.bgName);
  TerminateField(s.bgmName);
  TerminateField(s.mailName);
  for (MailRec& mail : s.mails) {
    TerminateField(mail.subject);
    TerminateField(mail.dayCaption);
    TerminateField(mail.name);
    TerminateField(mail.attachment);
  }
  MakeSafe(s.movies, kReceivedMovieCapacity);
  MakeSafe(s.photos, kReceivedPhotoCapacity);
  MakeSafe(s.radios, kReceivedRadioCapacity);
  for (ReceivedRoomRec& room : s.rooms) TerminateField(room.title);

  s.mailCount = Clamp16(s.mailCount, 0, kMailCapacity);
  s.movieCount = Clamp16(s.movieCount, 0, kReceivedMovieCapacity);
  s.photoCount = Clamp16(s.photoCount, 0, kReceivedPhotoCapacity);
  s.radioCount = Clamp16(s.radioCount, 0, kReceivedRadioCapacity);
  s.roomCount = Clamp16(s.roomCount, 0, kReceivedRoomCapacity);
  s.room = Clamp16(s.room, 0, 4);
  s.voiceVolume = Clamp16(s.voiceVolume, 0, 5);
  s.bgmVolume = Clamp16(s.bgmVolume, 0, 8);
  s.seVolume = Clamp16(s.seVolume, 0, 8);
  s.textSpeed = Clamp16(s.textSpeed, 0, 4);
}

bool ValidSlot(int n) { return n >= 0 && n < kSaveSlotCount; }

// Reads at most `capacity` bytes of the file; -1 when it cannot be opened.
long ReadFileStart(const std::string& path, unsigned char* buffer, std::size_t capacity) {
  std::FILE* file = plat::OpenFile(path, "rb");
  if (file == nullptr) return -1;
  const std::size_t got = std::fread(buffer, 1, capacity, file);
  std::fclose(file);
  return static_cast<long>(got);
}

// The shared body of CheckSaveSlot and LoadGameData: the result, and the record on 2.
int ReadSlot(int n, const char* log_format, GameState* record) {
  if (!ValidSlot(n)) return kSaveCantOpen;
  const std::string path = SaveSlotPath(n);
  App().m_log.Printf(log_format, path.c_str());
  static unsigned char buffer[sizeof(GameState)];
  const long got = ReadFileStart(path, buffer, sizeof buffer);
  if (got < 0) return kSaveCantOpen;
  return DecodeSaveSlot(buffer, static_cast<std::size_t>(got), record);
}

}  // namespace

std::string SaveSlotPath(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "SV_%02d%s", n, ".dat");
  return App().m_strSavePath + name;
}

std::string SystemFilePath() { return App().m_strSavePath + "SYSTEM" + ".dat"; }

int DecodeSaveSlot(const unsigned char* bytes, std::size_t size, GameState* out) {
  if (size < sizeof(GameState)) return kSaveBlank;
  std::uint16_t in_use;
  std::memcpy(&in_use, bytes + offsetof(GameState, inUse), sizeof in_use);
  if (in_use != 1) return kSaveBlank;
  std::memcpy(out, bytes, sizeof(GameState));
  MakeSafe(*out);
  return kSaveInUse;
}

bool DecodeSystemFile(const unsigned char* bytes, std::size_t size, SystemState* out) {
  if (size < sizeof(SystemState)) return false;
  std::memcpy(out, bytes, sizeof(SystemState));
  return true;
}

int CheckSaveSlot(int n) {
  static GameState record;
  return ReadSlot(n, "SAVE DATA CHK %s\n", &record);
}

int LoadGameData(int n) {
  static GameState record;
  const int result = ReadSlot(n, "LOAD GAME DATA %s\n", &record);
  if (result == kSaveInUse) {
    svparam = record;
    svparam.inUse = 1;
  }
  return result;
}

void SaveGameData(int n) {
  if (!ValidSlot(n)) return;
  const std::string path = SaveSlotPath(n);
  App().m_log.Printf("SAVE %s\n", path.c_str());
  svparam.saveTime = static_cast<std::uint32_t>(plat::WallClockNow());
  if (!plat::ReplaceFileContents(path, &svparam, sizeof svparam))
    App().m_log.Printf("SAVE %s CANT OPEN\n", path.c_str());
}

int LoadSystem() {
  const std::string path = SystemFilePath();
  App().m_log.Printf("LOAD SYSTEM %s\n", path.c_str());
  unsigned char buffer[sizeof(SystemState)];
  const long got = ReadFileStart(path, buffer, sizeof buffer);
  if (got < 0 || !DecodeSystemFile(buffer, static_cast<std::size_t>(got), &sysparam)) return kSaveCantOpen;
  return kSaveInUse;
}

void SaveSystem() {
  const std::string path = SystemFilePath();
  App().m_log.Printf("SAVE SYSTEM %s\n", path.c_str());
  if (!plat::ReplaceFileContents(path, &sysparam, sizeof sysparam))
    App().m_log.Printf("SAVE SYSTEM %s cant open\n", path.c_str());
}

void CreateMissingSaveSlots() {
  for (int slot = 0; slot < kSaveSlotCount; ++slot) {
    if (CheckSaveSlot(slot) == kSaveCantOpen) {
      svparam.inUse = 0;
      SaveGameData(slot);
    }
  }
  svparam.inUse = 1;
}
