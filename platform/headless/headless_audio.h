// The headless sound device's controls for tests. The virtual device mixes exactly the frames
// that the virtual clock's movement stands for (at the device's rate, counted from the moment it
// opened), whenever the clock moves, and keeps what it mixed.
#pragma once
#include <cstdint>
#include <vector>

namespace plat::headless {

// Everything the open (or last) headless device mixed since it opened or since the last clear:
// interleaved 16-bit stereo frames at the device's rate.
const std::vector<std::int16_t>& MixedAudio();
void ClearMixedAudio();
// Frames mixed since the device opened (not reset by ClearMixedAudio).
std::uint64_t MixedFrames();

// While false, opening a headless sound device fails, as without a sound card. Default true.
void SetAudioDeviceAvailable(bool available);
// The next Lock of any buffer reports the buffer lost (once).
void LoseBufferOnNextLock();

// Mixes up to the current virtual time now. The clock calls this itself whenever it moves.
void PullAudio();

}  // namespace plat::headless
