// Case-insensitive path resolution and the program folder.
//
// The game's data names files in whatever case its authors typed ("BGM10" for bgm10.wav), so
// every component of a path is looked up ignoring ASCII case. An entry spelled exactly as asked
// always wins; among several entries that differ only in case, the byte-wise smallest name is
// taken so the choice does not depend on directory order.
#include "platform/files.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/text_encoding.h"

namespace plat {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Name of the entry in `folder` (a resolved path, "" for the current folder) that matches
// `component`: the exact name when it exists, else the smallest case-insensitive match, else
// empty.
std::string FindEntry(const std::string& folder, std::string_view component) {
  std::string candidate = folder;
  candidate.append(component);
  if (EntryExists(candidate)) return std::string(component);

  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  std::string best;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (!EqualsIgnoringAsciiCase(name, component)) continue;
    if (best.empty() || name < best) best.assign(name);
  }
  ::closedir(dir);
  return best;
}

std::mutex g_module_folder_mutex;  // constant-initialised: usable during static initialisation

std::string& ModuleFolderOverride() {
  static std::string folder;
  return folder;
}

// Folder of /proc/self/exe in UTF-8 with a trailing '/', or "./" when the link cannot be read.
std::string RealModuleFolder() {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return "./";
  const std::string_view target(buffer.data(), static_cast<std::size_t>(length));
  const std::size_t slash = target.rfind('/');
  if (slash == std::string_view::npos) return "./";
  return std::string(target.substr(0, slash + 1));
}

}  // namespace

std::string ResolvePath(std::string_view path) {
  // The file system takes C strings: a path ends at its first NUL, as it would have for the
  // caller's C string, instead of letting a NUL cut a component short later on.
  const std::size_t nul = path.find('\0');
  if (nul != std::string_view::npos) path = path.substr(0, nul);
  const std::string utf8 = Cp932ToUtf8(path);
  // '/' never occurs inside a CP932 character (trail bytes start at 0x40), so splitting the
  // converted text is the same as splitting the original.
  std::string resolved;
  std::size_t pos = 0;
  if (!utf8.empty() && utf8[0] == '/') {
    resolved = "/";
    pos = 1;
  }
  bool wrote_component = false;
  while (pos < utf8.size()) {
    std::size_t end = utf8.find('/', pos);
    if (end == std::string::npos) end = utf8.size();
    const std::string_view component(utf8.data() + pos, end - pos);
    pos = end + 1;
    if (component.empty() || component == ".") continue;

    // `resolved` is "", "/" or ends in '/', so it is a folder prefix for the next component.
    std::string name;
    if (component == "..") {
      name = "..";  // the parent of an existing folder always exists
    } else {
      name = FindEntry(resolved, component);
    }
    if (name.empty()) {
      // Not there: keep the rest exactly as given so the caller's open fails normally.
      resolved.append(utf8, end - component.size(), std::string::npos);
      return resolved;
    }
    resolved += name;
    if (pos <= utf8.size()) resolved += '/';
    wrote_component = true;
  }
  // A trailing '/' stays only when the caller wrote one.
  if (!resolved.empty() && resolved != "/" && resolved.back() == '/' &&
      (utf8.empty() || utf8.back() != '/')) {
    resolved.pop_back();
  }
  if (!wrote_component && resolved.empty() && !utf8.empty()) return ".";
  return resolved;
}

bool QueryFileStatus(std::string_view path, FileStatus* out) {
  const std::string resolved = ResolvePath(path);
  if (resolved.empty()) return false;
  struct stat st;
  if (::stat(resolved.c_str(), &st) != 0) return false;
  if (out != nullptr) {
    out->is_directory = S_ISDIR(st.st_mode);
    out->size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    out->modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  }
  return true;
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
  if (mode == nullptr) return nullptr;
  const std::string resolved = ResolvePath(path);
  if (resolved.empty()) return nullptr;
  return std::fopen(resolved.c_str(), mode);
}

std::string ModuleFolder() {
  {
    std::lock_guard<std::mutex> lock(g_module_folder_mutex);
    const std::string& folder = ModuleFolderOverride();
    if (!folder.empty()) return folder;
  }
  return Utf8ToCp932(RealModuleFolder());
}

void OverrideModuleFolder(std::string_view folder) {
  std::lock_guard<std::mutex> lock(g_module_folder_mutex);
  std::string& stored = ModuleFolderOverride();
  stored.assign(folder);
  if (!stored.empty() && stored.back() != '/') stored += '/';
}

}  // namespace plat
