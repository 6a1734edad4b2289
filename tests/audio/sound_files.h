// Small sound files made by the tests: RIFF bytes put together chunk by chunk, written to a
// temporary folder that is removed afterwards.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace sound_test {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes* b, unsigned v) {
  b->push_back(static_cast<std::uint8_t>(v));
  b->push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes* b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutId(Bytes* b, const char* id) { b->insert(b->end(), id, id + 4); }

// A chunk: id, the stated size (the real one unless given), the body and a pad byte when odd.
inline Bytes Chunk(const char* id, const Bytes& body, std::int64_t stated = -1) {
  Bytes b;
  PutId(&b, id);
  Put32(&b, static_cast<std::uint32_t>(stated < 0 ? static_cast<std::int64_t>(body.size()) : stated));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) b.push_back(0);
  return b;
}

inline Bytes Riff(const char* form, const std::vector<Bytes>& chunks) {
  Bytes body;
  PutId(&body, form);
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body);
}

// The body of a `fmt ` chunk; `extra` bytes are appended after the 16 standard ones.
inline Bytes Fmt(unsigned tag, unsigned channels, std::uint32_t rate, unsigned align, unsigned bits,
                 const Bytes& extra = {}) {
  Bytes b;
  Put16(&b, tag);
  Put16(&b, channels);
  Put32(&b, rate);
  Put32(&b, rate * align);
  Put16(&b, align);
  Put16(&b, bits);
  b.insert(b.end(), extra.begin(), extra.end());
  return b;
}

inline Bytes Pcm16Mono() { return Fmt(1, 1, 22050, 2, 16); }

// Bytes 1, 2, 3, ... (wrapping at 250), so every position of a data chunk is recognisable.
inline Bytes Counting(std::size_t n, int first = 1) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((first + static_cast<int>(i)) % 250 + 1);
  return b;
}

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/velmora_sound_XXXXXX";
    if (::mkdtemp(pattern) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace sound_test
