// The two records of the game's state: `GameState` (one play-through, saved as a slot file) and
// `SystemState` (what outlives a play-through, saved as the system file). Both are plain data of
// fixed layout: the layout is the file format, so every size and offset is checked at compile
// time. Every field sits at its natural alignment, so no packing is needed and references to
// fields are safe. Integers are little-endian on every target this builds for.
//
// Bit sets (`seenScripts`, `everSeenScripts` and the unlock sets) are used with TestBit / SetBit
// from app/app_utils.h: bit i is the bit of value 1 << (i mod 8) in byte i / 8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// One entry of the play-through's mail list (96 bytes).
struct MailRec {
  std::int16_t sender;      // 0
  std::uint16_t flags;      // 2
  char subject[44];         // 4
  char dayCaption[16];      // 48
  char name[16];            // 64
  char attachment[16];      // 80
};

// One received video, photo or radio programme (62 bytes).
struct ReceivedMediaRec {
  std::uint16_t seen;       // 0
  char title[44];           // 2
  char fileId[16];          // 46
};

// One received room (48 bytes).
struct ReceivedRoomRec {
  std::uint16_t seen;       // 0
  char title[44];           // 2
  std::int16_t roomId;      // 46
};

inline constexpr int kMailCapacity = 128;
inline constexpr int kReceivedMovieCapacity = 128;
inline constexpr int kReceivedPhotoCapacity = 32;
inline constexpr int kReceivedRadioCapacity = 16;
inline constexpr int kReceivedRoomCapacity = 8;
inline constexpr int kSeenScriptBits = 512;

// The play-through record (23776 bytes); the global instance is `svparam`.
struct GameState {
  char userName[16];                                    // 0     player's name
  std::uint32_t saveTime;                               // 16    seconds since 1970-01-01 UTC
  std::uint16_t inUse;                                  // 20    1 = saved game, 0 = blank slot
  std::int16_t day;                                     // 22    1..31, 32 = the days are over
  std::int16_t time;                                    // 24    time slot within the day, from 1
  std::uint16_t phase;                                  // 26    0..3 within the time slot
  std::int16_t param[4];                                // 28    route, score, and their copies
  unsigned char seenScripts[kSeenScriptBits / 8];       // 36    by script-table row
  char scriptName[16];                                  // 100
  char bgName[16];                                      // 116
  char bgmName[16];                                     // 132
  char mailName[16];                                    // 148
  MailRec mails[kMailCapacity];                         // 164
  ReceivedMediaRec movies[kReceivedMovieCapacity];      // 12452
  ReceivedMediaRec photos[kReceivedPhotoCapacity];      // 20388
  ReceivedMediaRec radios[kReceivedRadioCapacity];      // 22372
  ReceivedRoomRec rooms[kReceivedRoomCapacity];         // 23364
  std::int16_t mailCount;                               // 23748
  std::int16_t movieCount;                              // 23750
  std::int16_t photoCount;                              // 23752
  std::int16_t radioCount;                              // 23754
  std::int16_t roomCount;                               // 23756
  std::int16_t room;                                    // 23758 room shown, 0..4
  std::int16_t reserved;                                // 23760 kept in the file, unused
  std::int16_t voiceVolume;                             // 23762 0..5
  std::int16_t bgmVolume;                               // 23764 0..8
  std::int16_t seVolume;                                // 23766 0..8
  std::int16_t textSpeed;                               // 23768 0..4
  std::int16_t markSeenChoices;                         // 23770
  std::int16_t fullScreen;                              // 23772
  std::int16_t savePos;                                 // 23774 0 mail, 1 room, 2 script
};

// The record that outlives play-throughs (96 bytes); the global instance is `sysparam`.
struct SystemState {
  unsigned char everSeenScripts[64];   // 0   512 bits by script-table row
  unsigned char movieUnlocked[16];     // 64  128 bits by video-table row
  unsigned char photoUnlocked[4];      // 80  32 bits by photo-table row
  unsigned char radioUnlocked[4];      // 84  32 bits by radio-table row
  unsigned char roomUnlocked[4];       // 88  32 bits by room-table row
  std::uint32_t endingSeen;            // 92  1 once day 32 was reached
};

static_assert(sizeof(MailRec) == 96);
static_assert(offsetof(MailRec, sender) == 0);
static_assert(offsetof(MailRec, flags) == 2);
static_assert(offsetof(MailRec, subject) == 4);
static_assert(offsetof(MailRec, dayCaption) == 48);
static_assert(offsetof(MailRec, name) == 64);
static_assert(offsetof(MailRec, attachment) == 80);

static_assert(sizeof(ReceivedMediaRec) == 62);
static_assert(offsetof(ReceivedMediaRec, seen) == 0);
static_assert(offsetof(ReceivedMediaRec, title) == 2);
static_assert(offsetof(ReceivedMediaRec, fileId) == 46);

static_assert(sizeof(ReceivedRoomRec) == 48);
static_assert(offsetof(ReceivedRoomRec, seen) == 0);
static_assert(offsetof(ReceivedRoomRec, title) == 2);
static_assert(offsetof(ReceivedRoomRec, roomId) == 46);

static_assert(sizeof(GameState) == 23776);
static_assert(offsetof(GameState, userName) == 0);
static_assert(offsetof(GameState, saveTime) == 16);
static_assert(offsetof(GameState, inUse) == 20);
static_assert(offsetof(GameState, day) == 22);
static_assert(offsetof(GameState, time) == 24);
static_assert(offsetof(GameState, phase) == 26);
static_assert(offsetof(GameState, param) == 28);
static_assert(offsetof(GameState, seenScripts) == 36 && sizeof(GameState::seenScripts) == 64);
static_assert(offsetof(GameState, scriptName) == 100);
static_assert(offsetof(GameState, bgName) == 116);
static_assert(offsetof(GameState, bgmName) == 132);
static_assert(offsetof(GameState, mailName) == 148);
static_assert(offsetof(GameState, mails) == 164 && sizeof(GameState::mails) == 12288);
static_assert(offsetof(GameState, movies) == 12452 && sizeof(GameState::movies) == 7936);
static_assert(offsetof(GameState, photos) == 20388 && sizeof(GameState::photos) == 1984);
static_assert(offsetof(GameState, radios) == 22372 && sizeof(GameState::radios) == 992);
static_assert(offsetof(GameState, rooms) == 23364 && sizeof(GameState::rooms) == 384);
static_assert(offsetof(GameState, mailCount) == 23748);
static_assert(offsetof(GameState, movieCount) == 23750);
static_assert(offsetof(GameState, photoCount) == 23752);
static_assert(offsetof(GameState, radioCount) == 23754);
static_assert(offsetof(GameState, roomCount) == 23756);
static_assert(offsetof(GameState, room) == 23758);
static_assert(offsetof(GameState, reserved) == 23760);
static_assert(offsetof(GameState, voiceVolume) == 23762);
static_assert(offsetof(GameState, bgmVolume) == 23764);
static_assert(offsetof(GameState, seVolume) == 23766);
static_assert(offsetof(GameState, textSpeed) == 23768);
static_assert(offsetof(GameState, markSeenChoices) == 23770);
static_assert(offsetof(GameState, fullScreen) == 23772);
static_assert(offsetof(GameState, savePos) == 23774);

static_assert(std::is_trivially_copyable_v<GameState> && std::is_standard_layout_v<GameState>);
static_assert(std::is_trivially_copyable_v<SystemState> && std::is_standard_layout_v<SystemState>);

static_assert(sizeof(SystemState) == 96);
static_assert(offsetof(SystemState, everSeenScripts) == 0);
static_assert(offsetof(SystemState, movieUnlocked) == 64);
static_assert(offsetof(SystemState, photoUnlocked) == 80);
static_assert(offsetof(SystemState, radioUnlocked) == 84);
static_assert(offsetof(SystemState, roomUnlocked) == 88);
static_assert(offsetof(SystemState, endingSeen) == 92);

// Zero at program start, alive for the whole run; only the user-interface thread touches them.
extern GameState svparam;
extern SystemState sysparam;

// The record reset of InitGameData (after the tables are loaded, before the save slots are
// checked): sysparam all clear; day 1, time 1, seenScripts clear, param[0] = param[1] = 0; the
// mail list and the four received lists emptied (counts 0, first byte of every entry's fields
// cleared); voiceVolume 5, seVolume 5, bgmVolume 4, textSpeed 2, markSeenChoices 1,
// fullScreen 0, room 0, userName "NA" (bytes after its NUL kept).
// phase, param[2..3], scriptName, bgName, bgmName, mailName, savePos and inUse are not touched.
// The save-slot creation and the system file load that follow are in story/save_files.h.
void ResetGameStateDefaults();
