// The mixer behind SoundDevice and SoundBuffer, shared by both backends' audio outputs.
#pragma once
#include <atomic>
#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound_output.h"

struct _SDL_AudioStream;

namespace plat {

struct BufferState {
  PcmFormat format;
  std::uint32_t size = 0;
  std::uint32_t end = 0;              // size rounded down to whole frames
  std::vector<std::uint8_t> data;
  std::vector<std::uint8_t> staging;  // what a lock hands out; copied in at Unlock
  std::uint32_t lock_offset = 0, lock_bytes = 0;
  bool locked = false;
  bool lost = false;
  bool playing = false;
  bool looping = false;
  bool just_started = false;          // the offset under the cursor counts as reached
  bool drained = false;               // played once: all data given to the converter
  std::uint32_t cursor = 0;
  int volume = 0;
  float gain = 1.0f;
  std::vector<Notification> notifications;
  _SDL_AudioStream* converter = nullptr;  // null when the format is the output format
};

struct MixerCore {
  MixerCore(const PcmFormat& output, bool is_headless) : out(output), headless(is_headless) {}
  ~MixerCore();

  // Mixes `frames` frames of 16-bit stereo into `out` (overwritten), then signals the events
  // whose positions were reached. True when any event was signalled.
  bool MixAndSignal(std::int16_t* out, int frames);
  // Output frames until the next notification position or end of a played-once buffer is
  // reached (0: one is due now); INT_MAX when none is ahead. Approximate across a rate change.
  int FramesUntilNextEvent();

  const PcmFormat out;
  const bool headless;
  // Taken first: held while a mix runs and signals, so that after Stop or a buffer's removal
  // (which take it too) none of that buffer's events is signalled any more.
  std::mutex notify_mu;
  std::mutex mu;  // buffer states and `open`
  bool open = true;
  std::map<int, std::unique_ptr<BufferState>> buffers;
  int next_buffer_id = 1;
  std::vector<std::pair<int, SoundDevice::Source>> sources;  // guarded by notify_mu
  int next_source_id = 1;

 private:
  void MixBuffer(BufferState& b, int frames, std::vector<AutoResetEvent*>* fired);
  std::vector<std::int32_t> acc_;
  std::vector<std::uint8_t> src_;
  std::vector<std::int16_t> tmp_;
};

// Set by the headless controls: the next Lock on a headless device reports a lost buffer.
extern std::atomic<bool> g_lose_next_lock;

// A running output that feeds the mixer; destroying it stops the output.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
};
std::unique_ptr<AudioOutput> OpenSdlAudioOutput(std::shared_ptr<MixerCore> core);
std::unique_ptr<AudioOutput> OpenHeadlessAudioOutput(std::shared_ptr<MixerCore> core);

// Stops `b` without signalling and forgets its converted samples; caller holds core.mu.
void HaltBuffer(BufferState& b);

}  // namespace plat
