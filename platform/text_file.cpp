// Text files: CP932 in the program, UTF-8 on disk. Line ends are written as given (LF).
#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"
#include "platform/text_encoding.h"

namespace plat {

bool WriteTextFile(std::string_view path, TextFileMode mode, std::string_view cp932_text) {
  const std::string resolved = ResolvePath(path);
  if (resolved.empty()) return false;
  const int flags = mode == TextFileMode::kCreate ? (O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC)
                                                  : (O_WRONLY | O_APPEND | O_CLOEXEC);
  const int fd = ::open(resolved.c_str(), flags, 0644);
  if (fd < 0) return false;

  const std::string utf8 = Cp932ToUtf8(cp932_text);
  bool ok = true;
  std::size_t written = 0;
  while (written < utf8.size()) {
    const ssize_t n = ::write(fd, utf8.data() + written, utf8.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

bool CanReadFile(std::string_view path) {
  const std::string resolved = ResolvePath(path);
  if (resolved.empty()) return false;
  const int fd = ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  const bool is_file = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  ::close(fd);
  return is_file;
}

}  // namespace plat
