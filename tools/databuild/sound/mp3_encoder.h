// MPEG audio layer 3 encoding of mono sound through FFmpeg's encoder.
#pragma once
#include <cstdint>
#include <vector>

namespace databuild {

// Encodes mono samples at `rate` (22050 or 24000 give MPEG-2 frames) with a constant bit rate of
// `kbps` into a plain run of MPEG audio frames: no ID3 tag and no information frame, so the
// file's first byte is a frame's sync byte. False, after a line on stderr, on failure.
bool EncodeMp3(const std::vector<float>& samples, int rate, int kbps, std::vector<std::uint8_t>* out);

}  // namespace databuild
