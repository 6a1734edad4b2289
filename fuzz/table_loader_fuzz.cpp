// Feeds arbitrary bytes to the three table parsers at each table's capacity and checks what the
// rest of the game relies on: the count stays below the capacity, the end mark follows the last
// row, and every string field is terminated inside its field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/debug_log.h"
#include "story/data_tables.h"

namespace {

template <std::size_t N>
void CheckTerminated(const char (&field)[N]) {
  if (std::memchr(field, '\0', N) == nullptr) std::abort();
}

ScriptTable scripts;
MovieTable movies;
PhotoTable photos;
RoomTable rooms;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CDebugLog log;  // never opened: Printf only formats nothing

  const int ns = ParseScriptTable(text, scripts.rows, ScriptTable::kCapacity, log);
  if (ns < 0 || ns >= ScriptTable::kCapacity || scripts.rows[ns].name[0] != '\0') std::abort();
  for (int i = 0; i < ns; ++i) CheckTerminated(scripts.rows[i].name);

  const int nm = ParseMediaTable(text, MediaKind::kMovie, movies.rows, MovieTable::kCapacity, log);
  if (nm < 0 || nm >= MovieTable::kCapacity || movies.rows[nm].fileId[0] != '\0') std::abort();
  const int np = ParseMediaTable(text, MediaKind::kPhoto, photos.rows, PhotoTable::kCapacity, log);
  if (np < 0 || np >= PhotoTable::kCapacity || photos.rows[np].fileId[0] != '\0') std::abort();
  for (int i = 0; i < np; ++i) {
    CheckTerminated(photos.rows[i].fileId);
    CheckTerminated(photos.rows[i].title);
    // Ids are upper case: a lower-case letter may only remain as the second byte of a
    // double-byte character.
    for (const char* p = photos.rows[i].fileId; *p != '\0'; ++p) {
      const auto b = static_cast<unsigned char>(*p);
      if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
        if (p[1] != '\0') ++p;
      } else if (b >= 'a' && b <= 'z') {
        std::abort();
      }
    }
  }

  const int nr = ParseRoomTable(text, rooms.rows, RoomTable::kCapacity, log);
  if (nr < 0 || nr >= RoomTable::kCapacity || rooms.rows[nr].roomId != -1) std::abort();
  for (int i = 0; i < nr; ++i) CheckTerminated(rooms.rows[i].title);
  return 0;
}
