// File system services for the game: every path the programs hand in is a CP932 string that is
// resolved case-insensitively, component by component, before the file system sees it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

// Resolves `path` (CP932, '/' separators, absolute or relative to the current folder) against
// the file system without regard to ASCII case in any component. Returns the UTF-8 path of the
// existing entry; when some component does not exist, the longest existing prefix followed by the
// rest as given (converted to UTF-8), so a later open fails in the ordinary way.
std::string ResolvePath(std::string_view path);

struct FileStatus {
  bool is_directory = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // seconds since the epoch
};

// True when a status query on the (case-insensitively resolved) path succeeds.
bool QueryFileStatus(std::string_view path, FileStatus* out = nullptr);

// fopen of the resolved path; mode as for fopen. Null on failure.
std::FILE* OpenFile(std::string_view path, const char* mode);

// The folder holding the running program (from /proc/self/exe), in CP932, ending in '/'.
std::string ModuleFolder();

// Tests point the program folder elsewhere; an empty string restores the real one.
void OverrideModuleFolder(std::string_view folder);

}  // namespace plat
