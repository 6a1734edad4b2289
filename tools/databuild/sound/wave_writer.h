// Writing files of the data set: 16-bit mono RIFF WAVE and plain bytes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

namespace databuild {

// Writes a canonical RIFF WAVE file: a 16-byte `fmt ` chunk (PCM, one channel, 16 bits) and the
// `data` chunk, nothing else. False, after a line on stderr, when the file cannot be written.
bool WriteWave(const std::filesystem::path& file, const std::vector<std::int16_t>& samples, int rate);

// Writes `bytes` as the whole file, creating its folder. False, after a line on stderr, on failure.
bool WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

}  // namespace databuild
