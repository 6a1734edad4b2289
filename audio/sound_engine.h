// The game's sound objects over the platform's sound output: the device, static buffers that
// hold one whole decoded sound, and the looping music stream whose worker thread refills one
// half of a one-second buffer while the other half plays.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "audio/sound_decoder.h"
#include "platform/sound_output.h"
#include "platform/sync.h"

class SoundDevice {
 public:
  // Opens the default output at `sampleRate`, 16-bit stereo. False when there is no device.
  bool Open(unsigned sampleRate);
  void Close();
  // A buffer of `bytes` bytes in `format`, or null.
  std::unique_ptr<plat::SoundBuffer> CreateBuffer(std::uint32_t bytes, const plat::WaveFormat& format);

  std::unique_ptr<plat::SoundDevice> directSound;  // null while closed
};

class SoundBuffer {
 public:
  // Decodes the whole file at `path` into a new buffer. On a failed open the previous buffer
  // stays; after that the previous buffer is gone whatever happens.
  bool Load(SoundDevice& device, const std::string& path);
  void SetVolume(int hundredthsDb);
  void Play();
  void Stop();
  void Release();

  std::unique_ptr<plat::SoundBuffer> buffer;
};

class SoundStream {
 public:
  ~SoundStream() { Close(); }

  // Prepares the stream for the WAVE file at `path` (ending any running worker first); does not
  // start playback.
  bool Open(SoundDevice& device, const std::string& path);
  void SetVolume(int hundredthsDb);
  // Starts the worker, which fills the first half and starts the loop.
  bool Start();
  // Stops the buffer; the stop event ends the worker.
  void Stop();
  void Close();

  // The worker's body and its refill of one half (0 or 1).
  int StreamWorker();
  void FillHalf(int i);

  std::unique_ptr<plat::SoundBuffer> buffer;
  // 0: playback reached the start, 1: the second half, 2: the buffer stopped.
  std::unique_ptr<plat::AutoResetEvent> events[3];
  plat::WorkerThread thread;
  SoundDecoder decoder;
  std::uint32_t halfSize = 0;

 private:
  // Stops the buffer, waits for the worker and drops the events.
  void EndWorker();
};
