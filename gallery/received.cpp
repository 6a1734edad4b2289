#include "gallery/received.h"

#include <cstdint>
#include <string_view>

#include "app/velmora_app.h"
#include "story/csv_text.h"
#include "story/data_tables.h"
#include "story/game_state.h"

namespace {

// The room styles' names, by style number (the room screen's table of styles).
constexpr const char* kRoomStyleNames[kRoomStyleCount] = {
    "ＡＫＡＲＩの部屋", "ＲＯＣＫＥＲルーム", "ハムスターＫＯＹＡ", "ＫＡＮＤＡＧＡＷＡ", "ＯｎｅＲｏｏｍ宮殿",
};

// The movie whose arrival also gives the player room style 4.
constexpr const char* kRoomGivingMovie = "vD027_01";
constexpr int kRoomGivenByMovie = 4;

const char* Text(const char* s) { return s != nullptr ? s : ""; }

bool HasRoom(int roomId) {
  for (int i = 0; i < svparam.roomCount && i < kReceivedRoomCapacity; ++i)
    if (svparam.rooms[i].roomId == roomId) return true;
  return false;
}

void ReceiveRoom(int roomId) {
  UnlockRoom(roomId);
  if (svparam.roomCount < 0 || svparam.roomCount >= kReceivedRoomCapacity) {
    App().m_log.Printf("AddReceived: room list full, room %d dropped\n", roomId);
    return;
  }
  ReceivedRoomRec& r = svparam.rooms[svparam.roomCount];
  r.seen = 0;
  CopyFixedString(r.title, sizeof r.title, RoomStyleName(roomId));
  r.roomId = static_cast<std::int16_t>(roomId);
  ++svparam.roomCount;
}

void Append(ReceivedMediaRec* list, std::int16_t* count, int capacity, const char* what, const char* title,
            const char* fileId) {
  if (*count < 0 || *count >= capacity) {
    App().m_log.Printf("AddReceived: %s list full, '%s' dropped\n", what, fileId);
    return;
  }
  ReceivedMediaRec& r = list[*count];
  r.seen = 0;
  CopyFixedString(r.title, sizeof r.title, title);
  CopyFixedString(r.fileId, sizeof r.fileId, fileId);
  ++*count;
}

}  // namespace

const char* RoomStyleName(int roomId) {
  return roomId >= 0 && roomId < kRoomStyleCount ? kRoomStyleNames[roomId] : "";
}

void AddReceived(const char* title, const char* fileId, int roomId) {
  title = Text(title);
  fileId = Text(fileId);
  if (roomId >= 0) {
    if (roomId > INT16_MAX) {
      App().m_log.Printf("AddReceived: room %d out of range, dropped\n", roomId);
      return;
    }
    if (!HasRoom(roomId)) ReceiveRoom(roomId);
    return;
  }
  switch (fileId[0]) {
    case 'p':
    case 'P': {
      UnlockPhoto(fileId);
      const char* row_title = GetPhotoRow(fileId);
      Append(svparam.photos, &svparam.photoCount, kReceivedPhotoCapacity, "photo", Text(row_title), fileId);
      break;
    }
    case 'r':
    case 'R':
      UnlockRadio(fileId);
      Append(svparam.radios, &svparam.radioCount, kReceivedRadioCapacity, "radio", title, fileId);
      break;
    default:
      UnlockMovie(fileId);
      Append(svparam.movies, &svparam.movieCount, kReceivedMovieCapacity, "movie", title, fileId);
      if (std::string_view(fileId) == kRoomGivingMovie && !HasRoom(kRoomGivenByMovie)) ReceiveRoom(kRoomGivenByMovie);
      break;
  }
}

void ClearReceivedLists() {
  auto clear_media = [](ReceivedMediaRec* list, int capacity) {
    for (int i = 0; i < capacity; ++i) {
      list[i].seen = 0;
      list[i].title[0] = '\0';
      list[i].fileId[0] = '\0';
    }
  };
  clear_media(svparam.movies, kReceivedMovieCapacity);
  clear_media(svparam.photos, kReceivedPhotoCapacity);
  clear_media(svparam.radios, kReceivedRadioCapacity);
  for (ReceivedRoomRec& r : svparam.rooms) {
    r.seen = 0;
    r.title[0] = '\0';
  }
  svparam.movieCount = svparam.photoCount = svparam.radioCount = svparam.roomCount = 0;
}
