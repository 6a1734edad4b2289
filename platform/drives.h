// The drive table: letters for the machine's media, as the game's disc lookup expects them.
// C is the root file system; optical media (iso9660/udf mounts, then /dev/sr* devices without
// media) get D, E, ... in that order. VELMORA_DRIVES replaces the whole table.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class DriveType { kNoRootDir, kRemovable, kFixed, kRemote, kCdRom, kRamDisk };

struct Drive {
  char letter = 0;         // 'A'..'Z'
  DriveType type = DriveType::kNoRootDir;
  std::string root;        // mount folder in CP932, without a trailing '/'; empty for a drive without media

  friend bool operator==(const Drive&, const Drive&) = default;
};

// Parses VELMORA_DRIVES: entries "L=type:path" separated by ';' (type: cdrom, fixed, removable,
// remote, ramdisk). Malformed entries are skipped. Example: "D=cdrom:/srv/disc;E=cdrom:".
std::vector<Drive> ParseDriveSpec(std::string_view spec);

// Builds the table from the text of /proc/self/mounts and the names of /dev/sr* devices.
std::vector<Drive> DrivesFromMounts(std::string_view mounts_text, const std::vector<std::string>& optical_devices);

// The table of this machine: VELMORA_DRIVES when set, otherwise the mounts and devices.
std::vector<Drive> CurrentDrives();

// kNoRootDir when the letter is not in the current table.
DriveType GetDriveType(char letter);

// The drive's mount folder (CP932, no trailing '/'), empty when unknown or without media.
std::string DriveRoot(char letter);

// Closes the tray of the optical drive (CDROMCLOSETRAY); the result is not reported.
void CloseDriveTray(char letter);

}  // namespace plat
