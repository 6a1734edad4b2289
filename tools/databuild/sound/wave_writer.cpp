// RIFF WAVE and plain file writing for the generators.
#include "sound/wave_writer.h"

#include <cstdio>
#include <system_error>

namespace databuild {
namespace {

void Put16(std::vector<std::uint8_t>* out, std::uint32_t v) {
  out->push_back(static_cast<std::uint8_t>(v & 0xFF));
  out->push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>* out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutTag(std::vector<std::uint8_t>* out, const char* tag) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

bool WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "databuild: cannot write %s\n", file.c_str());
    return false;
  }
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "databuild: writing %s failed\n", file.c_str());
    return false;
  }
  return true;
}

bool WriteWave(const std::filesystem::path& file, const std::vector<std::int16_t>& samples, int rate) {
  const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out;
  out.reserve(44 + data_bytes);
  PutTag(&out, "RIFF");
  Put32(&out, 36 + data_bytes);
  PutTag(&out, "WAVE");
  PutTag(&out, "fmt ");
  Put32(&out, 16);
  Put16(&out, 1);                              // PCM
  Put16(&out, 1);                              // one channel
  Put32(&out, static_cast<std::uint32_t>(rate));
  Put32(&out, static_cast<std::uint32_t>(rate) * 2);  // bytes a second
  Put16(&out, 2);                              // bytes a sample frame
  Put16(&out, 16);                             // bits a sample
  PutTag(&out, "data");
  Put32(&out, data_bytes);
  for (const std::int16_t s : samples) Put16(&out, static_cast<std::uint16_t>(s));
  return WriteBytes(file, out);
}

}  // namespace databuild
