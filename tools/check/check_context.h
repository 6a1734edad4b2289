// The state of one check run: the data folder, the lists as the game loads them, and the
// findings. Every text inside the checker is CP932, as the game's own strings are; findings are
// turned into UTF-8 when they are added.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data_checker.h"
#include "story/data_tables.h"

namespace check {

// Names the game copies into 16-byte fields: scripts, pictures, music, voices, mails, file ids.
inline constexpr std::size_t kMaxNameBytes = 15;
// Titles of the media and room lists, and the subject of a mail.
inline constexpr std::size_t kMaxTitleBytes = 43;

// The data folders, relative to the data folder, and the extensions of their files.
inline constexpr const char* kEventFolder = "ev/";
inline constexpr const char* kScriptFolder = "script/";
inline constexpr const char* kMailFolder = "mail/";
inline constexpr const char* kMiscFolder = "misc/";
inline constexpr const char* kBgmFolder = "media/bgm/";
inline constexpr const char* kSeFolder = "media/se/";
inline constexpr const char* kVoiceFolder = "media/voice/";
inline constexpr const char* kVideoFolder = "media/video/";
inline constexpr const char* kRadioFolder = "media/radio/";
inline constexpr const char* kPhotoFolder = "media/photo/";

inline constexpr const char* kScriptList = "ev/sEventList.csv";
inline constexpr const char* kEventTable = "ev/sEventTable.csv";
inline constexpr const char* kMovieList = "ev/movList.csv";
inline constexpr const char* kPhotoList = "ev/photList.csv";
inline constexpr const char* kRadioList = "ev/radioList.csv";
inline constexpr const char* kRoomList = "ev/roomList.csv";

class Context {
 public:
  // `root` is the data folder in CP932; a missing final '/' is added.
  explicit Context(std::string root);

  // Adds a finding about `file` (relative to the data folder) at `line` (0: the whole file).
  void Report(std::string_view file, int line, const std::string& text);
  void Reportf(std::string_view file, int line, const char* format, ...) __attribute__((format(printf, 4, 5)));

  // True when `relative` names a regular file or a folder, matched without regard to case.
  bool FileExists(std::string_view relative) const;
  bool FolderExists(std::string_view relative) const;
  // The whole file; false when it cannot be read.
  bool ReadFile(std::string_view relative, std::string* text) const;
  // The names (without the extension, CP932, sorted) of the files in `folder` whose names end in
  // `extension` (".sin"), matched without regard to case.
  std::vector<std::string> ListFiles(std::string_view folder, std::string_view extension) const;

  // The loaded rows of each list, as the game holds them (empty until the list check has run).
  std::vector<ScriptRow> scripts;
  std::vector<MediaRow> movies;
  std::vector<MediaRow> photos;
  std::vector<MediaRow> radios;
  std::vector<RoomRow> rooms;

  // Row of the script list with exactly this name (case-sensitive, as the game looks it up), or -1.
  int FindScript(std::string_view name) const;
  // Whether a media list holds the id (compared in upper case, as the game does).
  static bool ListHolds(const std::vector<MediaRow>& rows, std::string_view fileId);
  bool RoomListHolds(int roomId) const;

  CheckResult& result() { return result_; }

 private:
  std::string root_;
  CheckResult result_;
};

// A name as it should be quoted in a message: at most 40 bytes, never cut inside a character.
std::string Quote(std::string_view name);

}  // namespace check
