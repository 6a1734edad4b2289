// Writing the sample pictures as BMP files. Pictures of at most 256 colours (every sheet and
// sprite of the set is drawn so) become 8-bit palette files, run-length coded when that is
// smaller; pictures with more colours are reduced to 256 (median cut, key colours kept exact
// and never produced from other colours). The game's loader turns every one into 24 bits.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "graphics/dib_surface.h"

namespace databuild::pic {

// The bytes of the BMP file for `s` (8 bits a pixel); empty for an empty surface.
std::vector<std::uint8_t> EncodeBmp8(const CDibSurface& s);
// Writes EncodeBmp8 to `file`, creating its folder. False, with a line on stderr, on failure.
bool WritePicture(const std::filesystem::path& file, const CDibSurface& s);

}  // namespace databuild::pic
