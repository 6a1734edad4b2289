#include "story/data_tables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/app_utils.h"
#include "app/debug_log.h"
#include "app/velmora_app.h"
#include "platform/files.h"
#include "story/csv_text.h"
#include "story/game_state.h"
#include "story/save_files.h"
#include "story/table_rows.h"

ScriptTable scriptTable;
MovieTable movieTable;
PhotoTable photoTable;
RadioTable radioTable;
RoomTable roomTable;

namespace {

// A table never needs more than its capacity + 1 lines of at most 257 bytes (255 and CR LF), so
// reading the first MiB of a file loses nothing a table could hold.
constexpr std::size_t kMaxTableFileBytes = 1 << 20;

constexpr std::int16_t kNoRoom = -1;

const char* MediaLabel(MediaKind kind) {
  switch (kind) {
    case MediaKind::kMovie: return "MOVIE";
    case MediaKind::kPhoto: return "PHOTO";
    case MediaKind::kRadio: return "RADIO";
  }
  return "";
}

int ReadInt16(const char* field) { return ReadCsvNumber(field, INT16_MIN, INT16_MAX); }

template <class Table>
int FindMedia(const Table& table, const char* fileId) {
  if (fileId == nullptr) return -1;
  char key[sizeof(MediaRow::fileId)];
  CopyFixedString(key, sizeof key, fileId);  // cut as the rows' ids were cut at load
  UpperCaseAscii(key);
  const int count = std::clamp<int>(table.count, 0, Table::kCapacity - 1);
  for (int i = 0; i < count; ++i)
    if (std::strcmp(table.rows[i].fileId, key) == 0) return i;
  return -1;
}

const char* KeyText(const char* fileId) { return fileId != nullptr ? fileId : ""; }

// Reads the start of a table file into `text`. False when the file cannot be opened.
bool ReadTableFile(const std::string& path, std::string* text) {
  std::FILE* f = plat::OpenFile(path, "rb");
  if (f == nullptr) return false;
  text->resize(kMaxTableFileBytes);
  const std::size_t got = std::fread(text->data(), 1, text->size(), f);
  std::fclose(f);
  text->resize(got);
  return true;
}

}  // namespace

std::string TableText(const std::string& path, const char* label) {
  std::string text;
  if (!ReadTableFile(path, &text)) {
    App().m_log.Printf("LOAD %s TB: cannot open '%s'; the table stays empty\n", label, path.c_str());
    text.clear();
  }
  return text;
}

int ParseScriptTable(std::string_view text, ScriptRow* rows, int capacity, CDebugLog& log) {
  std::memset(rows, 0, sizeof(ScriptRow) * static_cast<std::size_t>(capacity));
  const int n = ParseRows(text, capacity, "SCRIPT", 3, log, [&](int i, const CsvFields& f) {
    ScriptRow& r = rows[i];
    CopyFixedString(r.name, sizeof r.name, f.At(0));
    r.route = static_cast<std::int16_t>(ReadInt16(f.At(1)));
    r.score = static_cast<std::int16_t>(ReadInt16(f.At(2)));
    log.Printf("%s\t %d %d\n", r.name, r.route, r.score);
  });
  rows[n].name[0] = '\0';
  log.Printf("--- SCRIPT TB LOAD --- TOTAL %d SCRIPTS\n", n);
  return n;
}

int ParseMediaTable(std::string_view text, MediaKind kind, MediaRow* rows, int capacity, CDebugLog& log) {
  std::memset(rows, 0, sizeof(MediaRow) * static_cast<std::size_t>(capacity));
  const char* label = MediaLabel(kind);
  const int n = ParseRows(text, capacity, label, 2, log, [&](int i, const CsvFields& f) {
    MediaRow& r = rows[i];
    CopyFixedString(r.fileId, sizeof r.fileId, f.At(0));
    UpperCaseAscii(r.fileId);
    CopyFixedString(r.title, sizeof r.title, f.At(1));
    r.unlocked = 0;
    log.Printf("%3d %s\t %s\n", i, r.fileId, r.title);
  });
  rows[n].fileId[0] = '\0';
  log.Printf("--- %s TB LOAD --- TOTAL %d %s\n", label, n, label);
  return n;
}

int ParseRoomTable(std::string_view text, RoomRow* rows, int capacity, CDebugLog& log) {
  std::memset(rows, 0, sizeof(RoomRow) * static_cast<std::size_t>(capacity));
  const int n = ParseRows(text, capacity, "ROOM", 2, log, [&](int i, const CsvFields& f) {
    RoomRow& r = rows[i];
    r.roomId = static_cast<std::int16_t>(ReadInt16(f.At(0)));
    CopyFixedString(r.title, sizeof r.title, f.At(1));
    r.unlocked = 0;
    log.Printf("%3d %d\t %s\n", i, r.roomId, r.title);
  });
  rows[n].roomId = kNoRoom;
  log.Printf("--- ROOM TB LOAD --- TOTAL %d ROOM\n", n);
  return n;
}

void LoadScriptTable(const std::string& path) {
  App().m_log.Printf("LOAD SCRIPT TB '%s'\n", path.c_str());
  const std::string text = TableText(path, "SCRIPT");
  scriptTable.count = ParseScriptTable(text, scriptTable.rows, ScriptTable::kCapacity, App().m_log);
}

void LoadMovieTable(const std::string& path) {
  App().m_log.Printf("LOAD MOVIE TB '%s'\n", path.c_str());
  const std::string text = TableText(path, "MOVIE");
  movieTable.count = ParseMediaTable(text, MediaKind::kMovie, movieTable.rows, MovieTable::kCapacity, App().m_log);
}

void LoadPhotoTable(const std::string& path) {
  App().m_log.Printf("LOAD POTO TB '%s'\n", path.c_str());
  const std::string text = TableText(path, "PHOTO");
  photoTable.count = ParseMediaTable(text, MediaKind::kPhoto, photoTable.rows, PhotoTable::kCapacity, App().m_log);
}

void LoadRadioTable(const std::string& path) {
  App().m_log.Printf("LOAD RADIO TB '%s'\n", path.c_str());
  const std::string text = TableText(path, "RADIO");
  radioTable.count = ParseMediaTable(text, MediaKind::kRadio, radioTable.rows, RadioTable::kCapacity, App().m_log);
}

void LoadRoomTable(const std::string& path) {
  App().m_log.Printf("LOAD ROOM TB '%s'\n", path.c_str());
  const std::string text = TableText(path, "ROOM");
  roomTable.count = ParseRoomTable(text, roomTable.rows, RoomTable::kCapacity, App().m_log);
}

int FindMovie(const char* fileId) { return FindMedia(movieTable, fileId); }
int FindPhoto(const char* fileId) { return FindMedia(photoTable, fileId); }
int FindRadio(const char* fileId) { return FindMedia(radioTable, fileId); }

int FindRoom(int roomId) {
  const int count = std::clamp<int>(roomTable.count, 0, RoomTable::kCapacity - 1);
  for (int i = 0; i < count; ++i)
    if (roomTable.rows[i].roomId == roomId) return i;
  return -1;
}

const char* GetPhotoRow(const char* fileId) {
  const int i = FindPhoto(fileId);
  if (i < 0) {
    App().m_log.Printf("PIC '%s' not in list\n", KeyText(fileId));
    return nullptr;
  }
  return photoTable.rows[i].title;
}

void UnlockMovie(const char* fileId) {
  const int i = FindMovie(fileId);
  if (i < 0)
    App().m_log.Printf("MOV '%s' not in list\n", KeyText(fileId));
  else
    SetBit(sysparam.movieUnlocked, i);
  SaveSystem();
}

void UnlockPhoto(const char* fileId) {
  const int i = FindPhoto(fileId);
  if (i < 0)
    App().m_log.Printf("PIC '%s' not in list\n", KeyText(fileId));
  else
    SetBit(sysparam.photoUnlocked, i);
  SaveSystem();
}

void UnlockRadio(const char* fileId) {
  const int i = FindRadio(fileId);
  if (i < 0)
    App().m_log.Printf("RAD '%s' not in list\n", KeyText(fileId));
  else
    SetBit(sysparam.radioUnlocked, i);
  SaveSystem();
}

void UnlockRoom(int roomId) {
  const int i = FindRoom(roomId);
  if (i < 0)
    App().m_log.Printf("ROOM '%d' not in list\n", roomId);
  else
    SetBit(sysparam.roomUnlocked, i);
  SaveSystem();
}

int IsRoomUnlocked(int roomId) {
  const int i = FindRoom(roomId);
  if (i < 0) {
    App().m_log.Printf("Room '%d' not in list\n", roomId);
    return 0;
  }
  return TestBit(sysparam.roomUnlocked, i) ? 1 : 0;
}
