#include "check_lists.h"

#include <map>
#include <string>

#include "app/debug_log.h"
#include "check_references.h"
#include "check_text.h"
#include "story/csv_text.h"

namespace check {

namespace {

// The room styles the room screen knows.
constexpr int kRoomStyles = 5;

bool HasFields(Context& ctx, std::string_view file, const TableRow& row, std::size_t needed, const char* columns) {
  if (row.fields.size() >= needed) return true;
  ctx.Reportf(file, row.line, "row has %zu of its %zu fields (%s); write \"-\" for an empty one", row.fields.size(),
              needed, columns);
  return false;
}

void CheckTitle(Context& ctx, std::string_view file, const TableRow& row) {
  if (row.fields.size() < 2) return;
  const std::string& title = row.fields[1];
  if (title.size() > kMaxTitleBytes)
    ctx.Reportf(file, row.line, "title %s is %zu bytes long; at most %zu fit", Quote(title).c_str(), title.size(),
                kMaxTitleBytes);
}

// Reports the second and later rows with the same key.
class DuplicateFinder {
 public:
  void Add(Context& ctx, std::string_view file, int line, const std::string& key, const char* what) {
    const auto [it, added] = first_.emplace(key, line);
    if (!added)
      ctx.Reportf(file, line, "%s %s is listed twice (first on line %d); the game uses the first row", what,
                  Quote(key).c_str(), it->second);
  }

 private:
  std::map<std::string, int> first_;
};

void CheckScriptList(Context& ctx, const std::string& text) {
  CDebugLog quiet;  // closed: the game's log lines of the load are not wanted here
  ctx.scripts.resize(ScriptTable::kCapacity);
  ctx.scripts.resize(
      static_cast<std::size_t>(ParseScriptTable(text, ctx.scripts.data(), ScriptTable::kCapacity, quiet)));

  DuplicateFinder duplicates;
  for (const TableRow& row : ReadTableRows(ctx, kScriptList, text, ScriptTable::kCapacity)) {
    HasFields(ctx, kScriptList, row, 3, "name, route, score");
    const std::string& name = row.fields[0];
    if (!CheckName(ctx, kScriptList, row.line, name, "script name")) continue;
    duplicates.Add(ctx, kScriptList, row.line, name, "name");
    // A row names a scene script, a mail or a broadcast (mails and broadcasts are marked seen
    // through it).
    const bool found = ctx.FileExists(std::string(kScriptFolder) + name + ".sin") ||
                       ctx.FileExists(std::string(kMailFolder) + name + ".txt") ||
                       ctx.FileExists(std::string(kRadioFolder) + name + ".mp3");
    if (!found)
      ctx.Reportf(kScriptList, row.line, "%s names no file: neither %s%s.sin, %s%s.txt nor %s%s.mp3 exists",
                  Quote(name).c_str(), kScriptFolder, name.c_str(), kMailFolder, name.c_str(), kRadioFolder,
                  name.c_str());
  }
}

void CheckMediaList(Context& ctx, const char* file, const std::string& text, MediaKind kind, int capacity,
                    std::vector<MediaRow>* rows, const char* what, const char* folder, const char* extension) {
  CDebugLog quiet;
  rows->resize(static_cast<std::size_t>(capacity));
  rows->resize(static_cast<std::size_t>(ParseMediaTable(text, kind, rows->data(), capacity, quiet)));

  DuplicateFinder duplicates;
  for (const TableRow& row : ReadTableRows(ctx, file, text, capacity)) {
    HasFields(ctx, file, row, 2, "file id, title");
    CheckTitle(ctx, file, row);
    const std::string& id = row.fields[0];
    if (!CheckName(ctx, file, row.line, id, "file id")) continue;
    std::string key = id;
    UpperCaseAscii(key.data());
    duplicates.Add(ctx, file, row.line, key, "file id");
    const std::string path = std::string(folder) + id + extension;
    if (!ctx.FileExists(path))
      ctx.Reportf(file, row.line, "%s %s: file %s is missing", what, Quote(id).c_str(), path.c_str());
  }
}

void CheckRoomList(Context& ctx, const std::string& text) {
  CDebugLog quiet;
  ctx.rooms.resize(RoomTable::kCapacity);
  ctx.rooms.resize(static_cast<std::size_t>(ParseRoomTable(text, ctx.rooms.data(), RoomTable::kCapacity, quiet)));

  DuplicateFinder duplicates;
  for (const TableRow& row : ReadTableRows(ctx, kRoomList, text, RoomTable::kCapacity)) {
    HasFields(ctx, kRoomList, row, 2, "room number, title");
    CheckTitle(ctx, kRoomList, row);
    const std::string& field = row.fields[0];
    const int id = ReadCsvNumber(field.c_str(), -32768, 32767);
    if (field.find_first_of("0123456789") == std::string::npos || id < 0 || id >= kRoomStyles) {
      ctx.Reportf(kRoomList, row.line, "room number %s is not one of the room styles 0 to %d", Quote(field).c_str(),
                  kRoomStyles - 1);
      continue;
    }
    duplicates.Add(ctx, kRoomList, row.line, std::to_string(id), "room");
  }
}

}  // namespace

void CheckLists(Context& ctx) {
  std::string text;
  if (ctx.ReadFile(kScriptList, &text))
    CheckScriptList(ctx, text);
  else
    ctx.Report(kScriptList, 0, "the script list is missing; the game does not start without it");

  struct MediaList {
    const char* file;
    MediaKind kind;
    int capacity;
    std::vector<MediaRow>* rows;
    const char* what;
    const char* folder;
    const char* extension;
  };
  const MediaList lists[] = {
      {kMovieList, MediaKind::kMovie, MovieTable::kCapacity, &ctx.movies, "video", kVideoFolder, ".wmv"},
      {kPhotoList, MediaKind::kPhoto, PhotoTable::kCapacity, &ctx.photos, "photo", kPhotoFolder, ".bmp"},
      {kRadioList, MediaKind::kRadio, RadioTable::kCapacity, &ctx.radios, "broadcast", kRadioFolder, ".mp3"},
  };
  for (const MediaList& l : lists) {
    if (ctx.ReadFile(l.file, &text))
      CheckMediaList(ctx, l.file, text, l.kind, l.capacity, l.rows, l.what, l.folder, l.extension);
    else
      ctx.Report(l.file, 0, "the list is missing; the game starts with an empty one");
  }

  if (ctx.ReadFile(kRoomList, &text))
    CheckRoomList(ctx, text);
  else
    ctx.Report(kRoomList, 0, "the list is missing; the game starts with an empty one");
}

}  // namespace check
