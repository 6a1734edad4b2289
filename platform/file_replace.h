// Replacing a file's whole contents so that a crash, a full disk or a failed write never leaves
// it half written: the bytes go to a temporary file beside the target, are flushed to the disk,
// and the temporary file is then renamed over the target in one step.
#pragma once
#include <cstddef>
#include <string_view>

namespace plat {

// Writes `size` bytes as the new contents of `path` (CP932, resolved case-insensitively, so an
// existing "sv_03.DAT" is replaced when "SV_03.dat" is asked for). The temporary file is the
// target's name + ".tmp" in the same folder. True when the target now holds exactly these
// bytes; on false the target is as it was and the temporary file has been removed.
bool ReplaceFileContents(std::string_view path, const void* data, std::size_t size);

// Test hook: make the next replacements stop at a chosen point, as a crash or a full disk would.
enum class ReplaceFault {
  kNone,
  kWriteFails,        // the write of the temporary file fails (disk full): cleaned up, false
  kStopBeforeRename,  // the process "dies" after the temporary file was flushed: it stays, false
};
void SetReplaceFaultForTesting(ReplaceFault fault);

}  // namespace plat
