#include "graphics/line_break.h"

#include <cstring>

namespace {

// The characters that may hang, in this order; the search result is a byte position.
constexpr const char kHangingSet[] = "　、。・ー～）」』】…ぁぃぅぇぉっゃゅょァィゥェォッャュョ？！";

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Byte position of `needle` in `hay`, never matching from a trail byte; -1 when absent.
int FindChar(const char* hay, const char* needle, int needle_len) {
  const int len = static_cast<int>(std::strlen(hay));
  for (int i = 0; i + needle_len <= len;) {
    if (std::memcmp(hay + i, needle, static_cast<std::size_t>(needle_len)) == 0) return i;
    i += IsLeadByte(static_cast<unsigned char>(hay[i])) && hay[i + 1] != '\0' ? 2 : 1;
  }
  return -1;
}

}  // namespace

int CharBytes(const char* ch) {
  if (ch == nullptr || ch[0] == '\0') return 0;
  return IsLeadByte(static_cast<unsigned char>(ch[0])) && ch[1] != '\0' ? 2 : 1;
}

bool MayHang(const char* ch) {
  const int n = CharBytes(ch);
  if (n == 0) return false;
  return FindChar(kHangingSet, ch, n) > 0;
}

HangingLineBreaker::Placement HangingLineBreaker::Place(const char* ch) {
  const int width = unit_ == Unit::kByte ? CharBytes(ch) : 1;
  Placement placed{false, p_};
  if (p_ < n_ || (p_ == n_ && MayHang(ch))) {
    placed.position = p_;
  } else {
    placed.new_line = true;
    placed.position = 0;
    p_ = 0;
  }
  p_ += width;
  return placed;
}
