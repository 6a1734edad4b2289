// Feeds arbitrary bytes to both conversions. Decoding must always give well-formed UTF-8, and
// CP932 text that came out of the encoder must survive a second round trip unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace {

bool IsWellFormedUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t length = 1;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b < 0x80) {
      length = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string utf8 = plat::Cp932ToUtf8(input);
  if (!IsWellFormedUtf8(utf8)) std::abort();

  // Encoding is total; what it produces decodes and encodes back to itself.
  const std::string cp932 = plat::Utf8ToCp932(input);
  if (plat::Utf8ToCp932(plat::Cp932ToUtf8(cp932)) != cp932) std::abort();
  (void)plat::Utf8ToCp932(utf8);
  return 0;
}
