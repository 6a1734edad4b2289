// The play-through's received items: photos, radio broadcasts, movies and rooms
// (svparam.photos/radios/movies/rooms with their counts). Receiving an item also unlocks it for
// the gallery in the system file.
#pragma once

inline constexpr int kRoomStyleCount = 5;

// The name of room style 0..4 as the gallery and the media player show it; "" for any other id.
const char* RoomStyleName(int roomId);

// Records one received item.
// roomId >= 0: the room, unless already received: UnlockRoom, then appended with its style
//   name (title and fileId are not used).
// Otherwise fileId's first character decides: 'p'/'P' a photo (title from the photo list),
//   'r'/'R' a broadcast, anything else a movie (UnlockPhoto/UnlockRadio/UnlockMovie, then
//   appended with `title`). The movie "vD027_01" also gives room 4 once.
// A media item already in its list is appended again. An item whose list is full is not
// appended (the unlock still happens) and is logged.
void AddReceived(const char* title, const char* fileId, int roomId);

// Empties the four received lists: counts 0, the first byte of every entry's strings cleared.
void ClearReceivedLists();
