// The data set's music: short calm pieces (melody, chords, bass) chosen by name.
#pragma once
#include <string>
#include <vector>

namespace databuild {

// One period of the piece chosen by `name`, in whole bars at kSampleRate: played round and round
// it has no seam, because the tails of its last notes and its reverb already sound at its start.
// Known names (the title music, the five rooms) have pieces of their own; any other name gets a
// piece of its own made from the name.
std::vector<float> RenderMusicLoop(const std::string& name);

// `samples` of the piece: the loop repeated as often as needed, faded in over `fade_in` samples
// and out over the last two seconds (or less for a short bed).
std::vector<float> RenderMusicBed(const std::string& name, long samples, long fade_in);

}  // namespace databuild
