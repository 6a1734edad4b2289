#include "audio/sound_engine.h"

namespace {

plat::PcmFormat ToPcm(const plat::WaveFormat& f) {
  plat::PcmFormat p;
  p.sample_rate = f.samples_per_second;
  p.bits_per_sample = f.bits_per_sample;
  p.channels = f.channels;
  return p;
}

// Locks a range; a lost buffer is restored and locked once more.
bool LockRange(plat::SoundBuffer& buffer, std::uint32_t offset, std::uint32_t bytes, plat::LockedRange* range) {
  plat::BufferLockResult r = buffer.Lock(offset, bytes, range);
  if (r == plat::BufferLockResult::kLost) {
    if (!buffer.Restore()) return false;
    r = buffer.Lock(offset, bytes, range);
  }
  return r == plat::BufferLockResult::kOk;
}

}  // namespace

bool SoundDevice::Open(unsigned sampleRate) {
  Close();
  auto device = std::make_unique<plat::SoundDevice>();
  plat::PcmFormat primary = plat::kPrimaryFormat;
  primary.sample_rate = sampleRate;
  if (!device->Open(primary)) return false;
  directSound = std::move(device);
  return true;
}

void SoundDevice::Close() {
  if (directSound != nullptr) directSound->Close();
  directSound.reset();
}

std::unique_ptr<plat::SoundBuffer> SoundDevice::CreateBuffer(std::uint32_t bytes, const plat::WaveFormat& format) {
  if (directSound == nullptr) return nullptr;
  return directSound->CreateBuffer(bytes, ToPcm(format));
}

bool SoundBuffer::Load(SoundDevice& device, const std::string& path) {
  SoundDecoder decoder;
  if (!decoder.Open(path) || !decoder.Rewind()) return false;
  Release();
  const std::uint32_t size = decoder.mpegData != nullptr ? decoder.pcmLength : decoder.chunk.size;
  if (size == 0 || decoder.format == nullptr) return false;
  buffer = device.CreateBuffer(size, *decoder.format);
  if (buffer == nullptr) return false;
  plat::LockedRange range;
  if (!LockRange(*buffer, 0, size, &range)) return false;
  bool ok = decoder.Read(range.first_size, range.first);
  if (ok && range.second != nullptr) ok = decoder.Read(range.second_size, range.second);
  buffer->Unlock(range);
  decoder.Close();
  return ok;
}

void SoundBuffer::SetVolume(int hundredthsDb) {
  if (buffer != nullptr) buffer->SetVolume(hundredthsDb);
}

void SoundBuffer::Play() {
  if (buffer != nullptr) buffer->Play(false);
}

void SoundBuffer::Stop() {
  if (buffer != nullptr) buffer->Stop();
}

void SoundBuffer::Release() { buffer.reset(); }

void SoundStream::EndWorker() {
  if (buffer != nullptr) buffer->Stop();
  thread.Join();
  for (auto& e : events) e.reset();
}

bool SoundStream::Open(SoundDevice& device, const std::string& path) {
  EndWorker();
  decoder.Close();
  buffer.reset();

  // Music streams are WAVE files: the converter of compressed files works on whole files only.
  if (!decoder.Open(path) || decoder.mpegData != nullptr || !decoder.Rewind()) return false;
  halfSize = decoder.format->average_bytes_per_second >> 1;
  if (halfSize == 0) return false;
  buffer = device.CreateBuffer(2 * halfSize, *decoder.format);
  if (buffer == nullptr) return false;
  for (auto& e : events) e = std::make_unique<plat::AutoResetEvent>();
  const plat::Notification positions[3] = {
      {0, events[0].get()}, {halfSize, events[1].get()}, {plat::kNotifyWhenStopped, events[2].get()}};
  return buffer->SetNotifications(positions);
}

void SoundStream::SetVolume(int hundredthsDb) {
  if (buffer != nullptr) buffer->SetVolume(hundredthsDb);
}

bool SoundStream::Start() {
  if (buffer == nullptr || events[0] == nullptr) return false;
  if (!thread.Start([this] { return StreamWorker(); })) return false;
  thread.RaisePriority();
  return thread.Resume();
}

void SoundStream::Stop() {
  if (buffer != nullptr) buffer->Stop();
}

void SoundStream::Close() {
  EndWorker();
  decoder.Close();
  buffer.reset();
}

int SoundStream::StreamWorker() {
  FillHalf(0);
  if (!buffer->Play(true)) return 1;
  int next = 1;
  for (;;) {
    const int woke = plat::WaitForAny({events[0].get(), events[1].get(), events[2].get()});
    if (woke != 0 && woke != 1) return 0;
    FillHalf(next);
    next = 1 - next;
  }
}

void SoundStream::FillHalf(int i) {
  plat::LockedRange range;
  if (!LockRange(*buffer, halfSize * static_cast<std::uint32_t>(i), halfSize, &range)) return;
  decoder.ReadLooped(range.first_size, range.first);
  if (range.second != nullptr) decoder.ReadLooped(range.second_size, range.second);
  buffer->Unlock(range);
}
