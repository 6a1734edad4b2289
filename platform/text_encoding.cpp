// CP932 <-> UTF-8 through iconv, with pools of conversion descriptors shared by all threads.
#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <mutex>
#include <vector>

namespace plat {
namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";  // U+FFFD, written as bytes (not a literal)
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // what iconv_open returns on failure

// Conversion descriptors of one direction, lent out one at a time. The pool is never destroyed:
// conversions still work while the program ends (a static destructor writing the last log line
// runs after thread-local objects are gone), and no iconv_t is ever used by two threads at once.
class ConverterPool {
 public:
  ConverterPool(const char* to, const char* from) : to_(to), from_(from) {}

  // A descriptor in its initial shift state, or kNoConverter when iconv lacks the encoding.
  iconv_t Borrow() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!free_.empty()) {
        iconv_t cd = free_.back();
        free_.pop_back();
        return cd;
      }
    }
    return iconv_open(to_, from_);
  }
  void Return(iconv_t cd) {
    if (cd == kNoConverter) return;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(cd);
  }

 private:
  const char* to_;
  const char* from_;
  std::mutex mutex_;
  std::vector<iconv_t> free_;
};

ConverterPool& Cp932ToUtf8Pool() {
  static ConverterPool* pool = new ConverterPool("UTF-8", "CP932");
  return *pool;
}

ConverterPool& Utf8ToCp932Pool() {
  static ConverterPool* pool = new ConverterPool("CP932", "UTF-8");
  return *pool;
}

bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsCp932Trail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// How many bytes of undecodable CP932 at `p` make up one replaced character: a lead byte with a
// trail byte in range is one (unassigned) character; anything else is a single stray byte, so a
// following ASCII byte is not swallowed.
std::size_t InvalidCp932Length(const unsigned char* p, std::size_t left) {
  if (left >= 2 && IsCp932Lead(p[0]) && IsCp932Trail(p[1])) return 2;
  return 1;
}

// How many bytes at `p` make up one replaced character when converting UTF-8: a whole sequence
// when it is well formed (a character CP932 lacks), otherwise its longest well-formed start
// (at least 1), so a truncated sequence counts once and the byte after it is looked at again.
// Overlong forms, surrogates and values above U+10FFFF are not well formed.
std::size_t Utf8ReplacedLength(const unsigned char* p, std::size_t left) {
  const unsigned char b = p[0];
  std::size_t length = 0;
  unsigned char lo = 0x80;
  unsigned char hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
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
    return 1;
  }
  std::size_t i = 1;
  for (; i < length && i < left; ++i) {
    const unsigned char min = i == 1 ? lo : 0x80;
    const unsigned char max = i == 1 ? hi : 0xBF;
    if (p[i] < min || p[i] > max) break;
  }
  return i;
}

// Runs `cd` over `in`, appending to the result. At a byte sequence iconv refuses, `on_error`
// appends the replacement and returns how many input bytes it stands for (at least 1).
template <typename OnError>
std::string Convert(iconv_t cd, std::string_view in, OnError on_error) {
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  char chunk[1024];
  auto* src = const_cast<char*>(in.data());  // iconv's signature; the input is not written
  std::size_t src_left = in.size();
  while (src_left > 0) {
    char* dst = chunk;
    std::size_t dst_left = sizeof(chunk);
    const std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    const int err = errno;
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (rc != static_cast<std::size_t>(-1)) break;
    if (err == E2BIG) continue;
    // EILSEQ, EINVAL (truncated sequence at the end) or anything unexpected: replace and go on.
    std::size_t skip = on_error(reinterpret_cast<const unsigned char*>(src), src_left, out);
    if (skip == 0 || skip > src_left) skip = 1;
    src += skip;
    src_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

// Used only when iconv cannot open the conversion: ASCII passes, everything else is replaced.
template <typename OnError>
std::string AsciiOnly(std::string_view in, OnError on_error) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  std::size_t left = in.size();
  while (left > 0) {
    std::size_t step = 1;
    if (p[0] < 0x80) {
      out += static_cast<char>(p[0]);
    } else {
      step = on_error(p, left, out);
      if (step == 0 || step > left) step = 1;
    }
    p += step;
    left -= step;
  }
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  auto on_error = [](const unsigned char* p, std::size_t left, std::string& out) {
    out += kReplacementUtf8;
    return InvalidCp932Length(p, left);
  };
  ConverterPool& pool = Cp932ToUtf8Pool();
  const iconv_t cd = pool.Borrow();
  std::string out = cd != kNoConverter ? Convert(cd, cp932, on_error) : AsciiOnly(cp932, on_error);
  pool.Return(cd);
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  auto on_error = [](const unsigned char* p, std::size_t left, std::string& out) {
    out += '?';
    return Utf8ReplacedLength(p, left);
  };
  ConverterPool& pool = Utf8ToCp932Pool();
  const iconv_t cd = pool.Borrow();
  std::string out = cd != kNoConverter ? Convert(cd, utf8, on_error) : AsciiOnly(utf8, on_error);
  pool.Return(cd);
  return out;
}

}  // namespace plat
