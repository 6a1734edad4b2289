#include "platform/file_replace.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/files.h"

namespace plat {
namespace {

ReplaceFault g_fault = ReplaceFault::kNone;

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  if (g_fault == ReplaceFault::kWriteFails) {
    errno = ENOSPC;
    return false;
  }
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Flushes the folder entry of a rename; a failure here does not undo the rename, so it is ignored.
void SyncFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void SetReplaceFaultForTesting(ReplaceFault fault) { g_fault = fault; }

bool ReplaceFileContents(std::string_view path, const void* data, std::size_t size) {
  const std::string target = ResolvePath(path);
  if (target.empty()) return false;
  const std::string temp = target + ".tmp";

  // O_TRUNC: a temporary file left over from an interrupted save is simply reused.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, static_cast<const unsigned char*>(data), size) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  if (g_fault == ReplaceFault::kStopBeforeRename) return false;
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolderOf(target);
  return true;
}

}  // namespace plat
