#include "app/app_utils.h"

#include <cstring>

#include "platform/files.h"

bool FileExists(const std::string& path) { return plat::QueryFileStatus(path); }

bool TestBit(const unsigned char* bytes, int i) {
  if (i < 0) return false;
  return (bytes[i / 8] & (1u << (i % 8))) != 0;
}

void SetBit(unsigned char* bytes, int i) {
  if (i < 0) return;
  bytes[i / 8] = static_cast<unsigned char>(bytes[i / 8] | (1u << (i % 8)));
}

bool StrEqualN(const char* a, const char* b, int n) {
  for (int k = 0; k < n; ++k) {
    if (a[k] != b[k]) return false;
    if (a[k] == '\0') return true;
  }
  return true;
}

void ZeroBytes(void* p, int n) {
  if (n > 0) std::memset(p, 0, static_cast<std::size_t>(n));
}
