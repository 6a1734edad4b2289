// Feeds arbitrary bytes to the VELMORA_DRIVES parser and to the mounts parser, and checks the
// promises the drive table makes: letters A..Z, no letter twice, roots without a trailing '/'.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives.h"

namespace {

void CheckTable(const std::vector<plat::Drive>& drives) {
  bool seen[26] = {};
  for (const plat::Drive& drive : drives) {
    if (drive.letter < 'A' || drive.letter > 'Z') std::abort();
    if (seen[drive.letter - 'A']) std::abort();
    seen[drive.letter - 'A'] = true;
    if (drive.root.size() > 1 && drive.root.back() == '/') std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckTable(plat::ParseDriveSpec(text));

  // The first line, split on blanks, doubles as a list of device names.
  std::vector<std::string> devices;
  const std::string_view first_line = text.substr(0, text.find('\n'));
  std::size_t pos = 0;
  while (pos < first_line.size() && devices.size() < 32) {
    std::size_t end = first_line.find(' ', pos);
    if (end == std::string_view::npos) end = first_line.size();
    devices.emplace_back(first_line.substr(pos, end - pos));
    pos = end + 1;
  }
  const std::vector<plat::Drive> drives = plat::DrivesFromMounts(text, devices);
  CheckTable(drives);
  if (drives.empty() || drives[0].letter != 'C') std::abort();
  return 0;
}
