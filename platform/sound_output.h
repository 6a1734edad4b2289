// Sound output: one device that plays at a fixed output format, and sound buffers of PCM in any
// common format that the device's mixer reads, converts, scales by their volume and sums.
//
// A buffer is a ring of bytes. The program writes it between Lock and Unlock (a range that runs
// past the end wraps to the start, so a lock gives one or two parts), plays it once or looping,
// and may ask for events to be signalled when the play cursor reaches given byte offsets or when
// the buffer stops. Every operation may be called from any thread; the mixer runs on its own
// audio thread (SDL backend) or is pulled by the virtual clock (headless backend, see
// platform/headless/headless_audio.h).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace plat {

class AutoResetEvent;

// Linear PCM: 8-bit samples are unsigned, 16-bit samples signed little-endian; stereo frames
// are left then right.
struct PcmFormat {
  std::uint32_t sample_rate = 22050;
  std::uint16_t bits_per_sample = 16;  // 8 or 16
  std::uint16_t channels = 2;          // 1 or 2

  std::uint32_t block_align() const { return static_cast<std::uint32_t>(channels) * (bits_per_sample / 8); }
  std::uint32_t bytes_per_second() const { return sample_rate * block_align(); }
  // True for 8/16 bits, 1/2 channels and a rate in 1000 … 192000.
  bool valid() const;
  bool operator==(const PcmFormat&) const = default;
};

// The format the game opens the device at.
inline constexpr PcmFormat kPrimaryFormat{22050, 16, 2};

// Volume in hundredths of a decibel of attenuation.
inline constexpr int kVolumeMax = 0;
inline constexpr int kVolumeMin = -10000;  // silent

// The special notification offset: signalled when the buffer stops, by Stop or by reaching the
// end of a buffer played once.
inline constexpr std::uint32_t kNotifyWhenStopped = 0xFFFFFFFFu;

struct Notification {
  std::uint32_t offset = 0;  // byte offset in the buffer, or kNotifyWhenStopped
  AutoResetEvent* event = nullptr;    // not owned; must outlive the buffer's notifications (see Stop)
};

enum class BufferLockResult {
  kOk,
  kLost,    // the buffer's memory was lost: call Restore, then write it again
  kFailed,  // bad range, or the buffer is locked already
};

// The writable parts of a locked range. `second` is null (and `second_size` 0) unless the range
// wraps past the end of the buffer.
struct LockedRange {
  std::uint8_t* first = nullptr;
  std::uint32_t first_size = 0;
  std::uint8_t* second = nullptr;
  std::uint32_t second_size = 0;
};

struct MixerCore;  // private to the platform
class AudioOutput;

class SoundBuffer {
 public:
  ~SoundBuffer();  // stops the buffer (without signalling) and takes it off the mixer
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  std::uint32_t size() const { return size_; }
  const PcmFormat& format() const { return format_; }

  // Locks `bytes` bytes from `offset` (0 < bytes <= size, offset < size). The parts hold the
  // buffer's current contents; what is written to them takes effect at Unlock. One lock at a
  // time per buffer.
  BufferLockResult Lock(std::uint32_t offset, std::uint32_t bytes, LockedRange* range);
  // Ends the lock that `range` came from. False when the buffer is not locked.
  bool Unlock(const LockedRange& range);
  // Makes a lost buffer lockable again. Its contents are gone (silence) and must be rewritten.
  // True also when the buffer was not lost.
  bool Restore();

  // Starts playing from the play cursor (0 for a new buffer, or where Stop left it). Looping
  // plays on from the start after the end; otherwise the buffer stops at its end and its cursor
  // goes back to 0. Playing an already playing buffer only changes the looping mode. False when
  // the buffer is lost or its device is closed.
  bool Play(bool looping);
  // Stops playing, keeping the play cursor, and signals the kNotifyWhenStopped event when the
  // buffer was playing. When Stop returns the mixer signals none of this buffer's events any
  // more, so they may then be destroyed (before setting new notifications or playing again).
  void Stop();
  bool playing() const;

  // Hundredths of a decibel, clamped to kVolumeMin … kVolumeMax; the gain is 10^(v/2000) and
  // kVolumeMin is silence. Applies to the next mixed samples.
  void SetVolume(int hundredths_db);
  int volume() const;

  // The byte offset the mixer reads next.
  std::uint32_t play_cursor() const;
  // Moves the play cursor (rounded down to a whole frame). False when out of range.
  bool SetPlayCursor(std::uint32_t offset);

  // Replaces the notification positions. Each offset < size, or kNotifyWhenStopped. An event
  // is signalled when the play cursor reaches its offset while playing: offset 0 is reached when
  // playing starts from 0 and every time a looping buffer wraps. False (and nothing changed)
  // while the buffer plays, or for a bad offset or null event.
  bool SetNotifications(std::span<const Notification> positions);

 private:
  friend class SoundDevice;
  SoundBuffer(std::shared_ptr<MixerCore> core, int id, std::uint32_t size, const PcmFormat& format);
  std::shared_ptr<MixerCore> core_;
  int id_;
  std::uint32_t size_;
  PcmFormat format_;
};

// Which backend a device opens on. kAuto follows the running application's backend, or
// VELMORA_BACKEND when there is no application. Tests may ask for one explicitly.
enum class SoundBackend { kAuto, kSdl, kHeadless };

class SoundDevice {
 public:
  SoundDevice();
  ~SoundDevice();  // Close
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Opens the default output device at `format` (the hardware's own format may differ; the
  // conversion is done for us). The output is always 16-bit stereo; only its rate is free.
  // False when there is no usable device (it then stays closed).
  bool Open(const PcmFormat& format = kPrimaryFormat, SoundBackend backend = SoundBackend::kAuto);
  // Stops the output; buffers still alive stay valid objects but are no longer played. Safe
  // when not open.
  void Close();
  bool is_open() const;
  const PcmFormat& format() const { return format_; }

  // A silent, stopped buffer of `bytes` bytes (a whole number of frames not required) in
  // `format`, at full volume. Null when the device is not open or the arguments are bad.
  std::unique_ptr<SoundBuffer> CreateBuffer(std::uint32_t bytes, const PcmFormat& format);

  // A further source the mixer adds to its output, such as a movie's sound: called on the
  // mixing thread with `frames` frames of 16-bit stereo at the device's rate, zeroed, to fill.
  // Returns an id for RemoveSource; after RemoveSource returns the callback is not called again.
  using Source = std::function<void(std::int16_t* stereo, int frames)>;
  int AddSource(Source source);
  void RemoveSource(int id);

 private:
  std::shared_ptr<MixerCore> core_;
  std::unique_ptr<AudioOutput> output_;
  PcmFormat format_;
};

}  // namespace plat
