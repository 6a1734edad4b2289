// The five lists of the event folder: scripts and mails, videos, photos, radio programmes and
// rooms. Each is a global table of fixed capacity, filled by InitGameData; a row's index is its
// identity in every bit set (seenScripts, everSeenScripts and the four unlock sets).
//
// The row after the last loaded row carries an end mark (an empty name or file id, room id -1),
// so a table holds at most its capacity - 1 rows; further rows of a file are dropped and logged.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class CDebugLog;

// One script or mail of "sEventList.csv" (36 bytes).
struct ScriptRow {
  char name[32];        // script or mail name, as written in the file
  std::int16_t route;   // 0 = none
  std::int16_t score;
};

// One video, photo or radio programme (62 bytes).
struct MediaRow {
  std::uint16_t unlocked;  // cleared at load, refreshed by the gallery
  char title[44];          // text shown in lists
  char fileId[16];         // file name without folder and extension, upper case
};

// One room style (48 bytes).
struct RoomRow {
  std::uint16_t unlocked;
  char title[44];
  std::int16_t roomId;
};

static_assert(sizeof(ScriptRow) == 36);
static_assert(sizeof(MediaRow) == 62);
static_assert(sizeof(RoomRow) == 48);

template <class Row, int N>
struct DataTable {
  static constexpr int kCapacity = N;
  Row rows[N];
  std::int32_t count;  // rows loaded; rows[count] holds the end mark
  Row& operator[](int i) { return rows[i]; }
  const Row& operator[](int i) const { return rows[i]; }
};

using ScriptTable = DataTable<ScriptRow, 512>;
using MovieTable = DataTable<MediaRow, 128>;
using PhotoTable = DataTable<MediaRow, 32>;
using RadioTable = DataTable<MediaRow, 32>;
using RoomTable = DataTable<RoomRow, 32>;

extern ScriptTable scriptTable;
extern MovieTable movieTable;
extern PhotoTable photoTable;
extern RadioTable radioTable;
extern RoomTable roomTable;

// Which media list a text is parsed as; decides the log texts.
enum class MediaKind { kMovie, kPhoto, kRadio };

// The loaders' work on a text already in memory (the fuzz target's entry points). They fill
// `rows` (capacity `capacity`, at least 1), write the end mark and return the row count; the
// row and total lines go to `log`.
int ParseScriptTable(std::string_view text, ScriptRow* rows, int capacity, CDebugLog& log);
int ParseMediaTable(std::string_view text, MediaKind kind, MediaRow* rows, int capacity, CDebugLog& log);
int ParseRoomTable(std::string_view text, RoomRow* rows, int capacity, CDebugLog& log);

// Fill one global table from a file. A file that cannot be read gives an empty table and a
// log line. Called by InitGameData.
void LoadScriptTable(const std::string& path);
void LoadMovieTable(const std::string& path);
void LoadPhotoTable(const std::string& path);
void LoadRadioTable(const std::string& path);
void LoadRoomTable(const std::string& path);

// Row index of the file id (compared in upper case, as the rows were stored), or -1.
int FindMovie(const char* fileId);
int FindPhoto(const char* fileId);
int FindRadio(const char* fileId);
// Index of the first row with this room id, or -1.
int FindRoom(int roomId);

// The title of the photo's row, or null (logged) when the photo is not in the list.
const char* GetPhotoRow(const char* fileId);

// Set the item's bit in the system record's unlock set (an item not in its list is logged and
// marks nothing), then write the system file.
void UnlockMovie(const char* fileId);
void UnlockPhoto(const char* fileId);
void UnlockRadio(const char* fileId);
void UnlockRoom(int roomId);

// 1 when the room is in the list and unlocked, else 0 (a room not in the list is logged).
int IsRoomUnlocked(int roomId);
