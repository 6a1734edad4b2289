// Single-instance lock through flock. The lock belongs to the open file description, so it is
// dropped when the holder closes it or its process ends, however it ends; the file stays.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace plat {
namespace {

constexpr std::size_t kMaxFolderLength = 3000;
constexpr std::size_t kMaxEncodedName = 160;

bool IsPlainNameByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.';
}

// A file name for `name`: plain bytes stay, any other byte (the separator '/', blanks, CP932
// characters) becomes "%XX", so different names never share a file. Very long names are cut and
// marked with a hash of the whole name.
std::string LockFileName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsPlainNameByte(c)) {
      encoded += ch;
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0xF];
    }
  }
  if (encoded.empty() || encoded == "." || encoded == "..") encoded.insert(0, "%");
  if (encoded.size() > kMaxEncodedName) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char ch : name) {
      hash ^= static_cast<unsigned char>(ch);
      hash *= 1099511628211ull;
    }
    encoded.resize(kMaxEncodedName - 17);
    encoded += '~';
    for (int shift = 60; shift >= 0; shift -= 4) encoded += kHex[(hash >> shift) & 0xF];
  }
  return encoded + ".lock";
}

// $XDG_RUNTIME_DIR when it is a usable absolute path, else /tmp.
std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    const std::size_t length = ::strnlen(runtime, kMaxFolderLength + 1);
    if (length <= kMaxFolderLength) return std::string(runtime, length);
  }
  return "/tmp";
}

}  // namespace

InstanceLock::~InstanceLock() { Release(); }

LockResult InstanceLock::Acquire(std::string_view name) {
  Release();
  std::string path = LockFolder();
  if (path.back() != '/') path += '/';
  path += LockFileName(name);

  // O_NOFOLLOW: in a shared folder such as /tmp, a link planted under our name is refused.
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return LockResult::kUnavailable;

  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int err = errno;
    ::close(fd);
    return err == EWOULDBLOCK ? LockResult::kHeldElsewhere : LockResult::kUnavailable;
  }
  fd_ = fd;
  return LockResult::kAcquired;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the only descriptor of this open file gives the lock up
  fd_ = -1;
}

}  // namespace plat
