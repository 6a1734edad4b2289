// The drive table. C is the root file system; its root is "" so that the game's
// root + "/folder/..." forms an absolute path. Optical media follow from D on: first the
// iso9660/udf mounts in the order the kernel lists them, then /dev/sr* devices that are not
// mounted at all (a drive with no disc, or with a disc nobody mounted), with an empty root.
// VELMORA_DRIVES, when set (even to an empty value), is the whole table instead.
#include "platform/drives.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/text_encoding.h"

namespace plat {
namespace {

constexpr std::size_t kMaxMountsBytes = 4u << 20;  // far more than any real mount table
constexpr std::size_t kMaxOpticalDevices = 64;

// A drive and the block device behind it (UTF-8, empty when unknown).
struct DriveEntry {
  Drive drive;
  std::string device;
};

struct Mount {
  std::string source;
  std::string mount_point;
  std::string fs_type;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

// The kernel writes blanks, tabs, newlines and backslashes in mount fields as "\ooo".
// A backslash not followed by three octal digits of a byte value stays as it is.
std::string DecodeMountField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      int value = 0;
      bool octal = true;
      for (std::size_t k = 1; k <= 3; ++k) {
        const char d = field[i + k];
        if (d < '0' || d > '7') {
          octal = false;
          break;
        }
        value = value * 8 + (d - '0');
      }
      if (octal && value <= 0xFF) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::vector<Mount> ParseMounts(std::string_view text) {
  std::vector<Mount> mounts;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;

    std::string_view fields[3];
    std::size_t count = 0;
    std::size_t i = 0;
    while (count < 3) {
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i >= line.size()) break;
      const std::size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      fields[count++] = line.substr(start, i - start);
    }
    if (count < 3) continue;
    mounts.push_back({DecodeMountField(fields[0]), DecodeMountField(fields[1]), std::string(fields[2])});
  }
  return mounts;
}

bool IsOpticalFileSystem(std::string_view type) { return type == "iso9660" || type == "udf"; }

// CP932 root for a UTF-8 folder, without trailing '/' (a lone "/" stays).
std::string RootFromPath(std::string_view utf8_path) {
  std::string root = Utf8ToCp932(utf8_path);
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root;
}

std::string DevicePath(std::string_view name) {
  if (name.find('/') != std::string_view::npos) return std::string(name);
  return "/dev/" + std::string(name);
}

std::vector<DriveEntry> TableFromMounts(std::string_view mounts_text,
                                        const std::vector<std::string>& optical_devices) {
  std::vector<DriveEntry> table;
  table.push_back({Drive{'C', DriveType::kFixed, ""}, ""});

  const std::vector<Mount> mounts = ParseMounts(mounts_text);
  char next = 'D';
  for (const Mount& mount : mounts) {
    if (next > 'Z') return table;
    if (!IsOpticalFileSystem(mount.fs_type)) continue;
    table.push_back({Drive{next++, DriveType::kCdRom, RootFromPath(mount.mount_point)}, mount.source});
  }
  for (const std::string& name : optical_devices) {
    if (next > 'Z') return table;
    if (name.empty()) continue;
    const std::string device = DevicePath(name);
    const bool mounted = std::any_of(mounts.begin(), mounts.end(),
                                     [&](const Mount& mount) { return mount.source == device; });
    if (mounted) continue;
    table.push_back({Drive{next++, DriveType::kCdRom, ""}, device});
  }
  return table;
}

std::string ReadMountsText() {
  const int fd = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  char chunk[8192];
  while (text.size() < kMaxMountsBytes) {
    const ssize_t n = ::read(fd, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (text.size() > kMaxMountsBytes) text.resize(kMaxMountsBytes);
  return text;
}

// "sr" followed by 1..6 digits; its number, or -1.
long OpticalDeviceNumber(std::string_view name) {
  if (name.size() < 3 || name.size() > 8 || name.substr(0, 2) != "sr") return -1;
  long number = 0;
  for (std::size_t i = 2; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

// The /dev/sr* names in numeric order (sr2 before sr10).
std::vector<std::string> ListOpticalDevices() {
  std::vector<std::pair<long, std::string>> found;
  DIR* dir = ::opendir("/dev");
  if (dir == nullptr) return {};
  while (const dirent* entry = ::readdir(dir)) {
    const long number = OpticalDeviceNumber(entry->d_name);
    if (number < 0) continue;
    found.emplace_back(number, entry->d_name);
    if (found.size() >= kMaxOpticalDevices) break;
  }
  ::closedir(dir);
  std::sort(found.begin(), found.end());
  std::vector<std::string> names;
  names.reserve(found.size());
  for (auto& [number, name] : found) names.push_back("/dev/" + name);
  return names;
}

std::vector<DriveEntry> CurrentTable() {
  if (const char* spec = std::getenv("VELMORA_DRIVES")) {
    std::vector<DriveEntry> table;
    for (Drive& drive : ParseDriveSpec(spec)) table.push_back({std::move(drive), ""});
    return table;
  }
  return TableFromMounts(ReadMountsText(), ListOpticalDevices());
}

const DriveEntry* FindLetter(const std::vector<DriveEntry>& table, char letter) {
  letter = UpperAscii(letter);
  for (const DriveEntry& entry : table) {
    if (entry.drive.letter == letter) return &entry;
  }
  return nullptr;
}

// The device mounted on `root` (CP932), for drives the variable named without a device.
std::string DeviceMountedOn(std::string_view root) {
  if (root.empty()) return {};
  for (const Mount& mount : ParseMounts(ReadMountsText())) {
    if (RootFromPath(mount.mount_point) == root) return mount.source;
  }
  return {};
}

}  // namespace

std::vector<Drive> ParseDriveSpec(std::string_view spec) {
  static constexpr std::pair<std::string_view, DriveType> kTypeNames[] = {
      {"cdrom", DriveType::kCdRom},   {"fixed", DriveType::kFixed},     {"removable", DriveType::kRemovable},
      {"remote", DriveType::kRemote}, {"ramdisk", DriveType::kRamDisk},
  };
  std::vector<Drive> drives;
  bool seen[26] = {};
  std::size_t pos = 0;
  while (pos <= spec.size()) {
    std::size_t end = spec.find(';', pos);
    if (end == std::string_view::npos) end = spec.size();
    std::string_view entry = spec.substr(pos, end - pos);
    pos = end + 1;

    while (!entry.empty() && IsBlank(entry.front())) entry.remove_prefix(1);
    if (entry.size() < 3 || entry[1] != '=') continue;
    const char letter = UpperAscii(entry[0]);
    if (letter < 'A' || letter > 'Z') continue;
    const std::string_view rest = entry.substr(2);
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view type_name = rest.substr(0, colon);
    const auto* type = std::find_if(std::begin(kTypeNames), std::end(kTypeNames),
                                    [&](const auto& known) { return EqualsIgnoringAsciiCase(known.first, type_name); });
    if (type == std::end(kTypeNames)) continue;
    bool& taken = seen[letter - 'A'];
    if (taken) continue;  // the first entry for a letter wins
    taken = true;
    drives.push_back(Drive{letter, type->second, RootFromPath(rest.substr(colon + 1))});
  }
  return drives;
}

std::vector<Drive> DrivesFromMounts(std::string_view mounts_text, const std::vector<std::string>& optical_devices) {
  std::vector<Drive> drives;
  for (DriveEntry& entry : TableFromMounts(mounts_text, optical_devices)) drives.push_back(std::move(entry.drive));
  return drives;
}

std::vector<Drive> CurrentDrives() {
  std::vector<Drive> drives;
  for (DriveEntry& entry : CurrentTable()) drives.push_back(std::move(entry.drive));
  return drives;
}

DriveType GetDriveType(char letter) {
  const std::vector<DriveEntry> table = CurrentTable();
  const DriveEntry* entry = FindLetter(table, letter);
  return entry != nullptr ? entry->drive.type : DriveType::kNoRootDir;
}

std::string DriveRoot(char letter) {
  const std::vector<DriveEntry> table = CurrentTable();
  const DriveEntry* entry = FindLetter(table, letter);
  return entry != nullptr ? entry->drive.root : std::string();
}

void CloseDriveTray(char letter) {
  const std::vector<DriveEntry> table = CurrentTable();
  const DriveEntry* entry = FindLetter(table, letter);
  if (entry == nullptr || entry->drive.type != DriveType::kCdRom) return;
  std::string device = entry->device.empty() ? DeviceMountedOn(entry->drive.root) : entry->device;
  // Only real device nodes: a mount source may also be a file or a pseudo name.
  if (device.rfind("/dev/", 0) != 0) return;
  const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  (void)::ioctl(fd, CDROMCLOSETRAY);  // the tray may already be closed or the drive may have none
  ::close(fd);
}

}  // namespace plat
