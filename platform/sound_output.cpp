// The device and buffer objects: thin handles on the mixer's buffer states.
#include "platform/sound_output.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/application.h"
#include "platform/backend.h"
#include "platform/sound_mixer.h"
#include "platform/sync.h"

namespace plat {

bool PcmFormat::valid() const {
  return (bits_per_sample == 8 || bits_per_sample == 16) && (channels == 1 || channels == 2) &&
         sample_rate >= 1000 && sample_rate <= 192000;
}

namespace {

BufferState* Find(MixerCore& core, int id) {
  auto it = core.buffers.find(id);
  return it == core.buffers.end() ? nullptr : it->second.get();
}

void CopyRing(std::uint8_t* ring, std::uint32_t size, std::uint32_t offset, std::uint8_t* flat,
              std::uint32_t bytes, bool into_ring) {
  const std::uint32_t first = std::min(bytes, size - offset);
  if (into_ring) {
    std::memcpy(ring + offset, flat, first);
    std::memcpy(ring, flat + first, bytes - first);
  } else {
    std::memcpy(flat, ring + offset, first);
    std::memcpy(flat + first, ring, bytes - first);
  }
}

}  // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<MixerCore> core, int id, std::uint32_t size, const PcmFormat& format)
    : core_(std::move(core)), id_(id), size_(size), format_(format) {}

SoundBuffer::~SoundBuffer() {
  std::unique_ptr<BufferState> gone;
  {
    std::lock_guard notify_lock(core_->notify_mu);
    std::lock_guard lock(core_->mu);
    auto it = core_->buffers.find(id_);
    if (it != core_->buffers.end()) {
      gone = std::move(it->second);
      core_->buffers.erase(it);
    }
  }
  if (gone != nullptr && gone->converter != nullptr) SDL_FreeAudioStream(gone->converter);
}

BufferLockResult SoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, LockedRange* range) {
  std::lock_guard lock(core_->mu);
  BufferState* b = Find(*core_, id_);
  if (b == nullptr || range == nullptr || b->locked || offset >= size_ || bytes == 0 || bytes > size_) {
    return BufferLockResult::kFailed;
  }
  if (b->lost) return BufferLockResult::kLost;
  if (core_->headless && g_lose_next_lock.exchange(false)) {
    b->lost = true;
    return BufferLockResult::kLost;
  }
  b->staging.resize(bytes);
  CopyRing(b->data.data(), size_, offset, b->staging.data(), bytes, false);
  b->locked = true;
  b->lock_offset = offset;
  b->lock_bytes = bytes;
  const std::uint32_t first = std::min(bytes, size_ - offset);
  *range = LockedRange{};
  range->first = b->staging.data();
  range->first_size = first;
  if (bytes > first) {
    range->second = b->staging.data() + first;
    range->second_size = bytes - first;
  }
  return BufferLockResult::kOk;
}

bool SoundBuffer::Unlock(const LockedRange& range) {
  std::lock_guard lock(core_->mu);
  BufferState* b = Find(*core_, id_);
  if (b == nullptr || !b->locked || range.first != b->staging.data()) return false;
  CopyRing(b->data.data(), size_, b->lock_offset, b->staging.data(), b->lock_bytes, true);
  b->locked = false;
  return true;
}

bool SoundBuffer::Restore() {
  std::lock_guard lock(core_->mu);
  BufferState* b = Find(*core_, id_);
  if (b == nullptr) return false;
  if (b->lost) {
    std::fill(b->data.begin(), b->data.end(), format_.bits_per_sample == 8 ? 0x80 : 0);
    b->lost = false;
  }
  return true;
}

bool SoundBuffer::Play(bool looping) {
  std::lock_guard lock(core_->mu);
  BufferState* b = Find(*core_, id_);
  if (b == nullptr || b->lost || !core_->open) return false;
  b->looping = looping;
  if (!b->playing) {
    b->playing = true;
    b->just_started = true;
    b->drained = false;
    if (b->converter != nullptr) SDL_AudioStreamClear(b->converter);
  }
  return true;
}

void SoundBuffer::Stop() {
  std::vector<AutoResetEvent*> fired;
  std::lock_guard notify_lock(core_->notify_mu);
  {
    std::lock_guard lock(core_->mu);
    BufferState* b = Find(*core_, id_);
    if (b == nullptr || !b->playing) return;
    HaltBuffer(*b);
    for (const Notification& n : b->notifications) {
      if (n.offset == kNotifyWhenStopped) fired.push_back(n.event);
    }
  }
  for (AutoResetEvent* e : fired) e->Signal();
}

bool SoundBuffer::playing() const {
  std::lock_guard lock(core_->mu);
  const BufferState* b = Find(*core_, id_);
  return b != nullptr && b->playing;
}

void SoundBuffer::SetVolume(int hundredths_db) {
  const int v = std::clamp(hundredths_db, kVolumeMin, kVolumeMax);
  const float gain = v <= kVolumeMin ? 0.0f : static_cast<float>(std::pow(10.0, v / 2000.0));
  std::lock_guard lock(core_->mu);
  BufferState* b = Find(*core_, id_);
  if (b == nullptr) return;
  b->volume = v;
  b->gain = gain;
}

int SoundBuffer::volume() const {
  std::lock_guard lock(core_->mu);
  const BufferState* b = Find(*core_, id_);
  return b == nullptr ? kVolumeMin : b->volume;
}

std::uint32_t SoundBuffer::play_cursor() const {
  std::lock_guard lock(core_->mu);
  const BufferState* b = Find(*core_, id_);
  return b == nullptr ? 0 : b->cursor;
}

bool SoundBuffer::SetPlayCursor(std::uint32_t offset) {
  std::lock_guard lock(core_->mu);
  BufferState* b = Find(*core_, id_);
  if (b == nullptr || offset >= size_) return false;
  b->cursor = offset - offset % format_.block_align();
  b->drained = false;
  if (b->converter != nullptr) SDL_AudioStreamClear(b->converter);
  return true;
}

bool SoundBuffer::SetNotifications(std::span<const Notification> positions) {
  for (const Notification& n : positions) {
    if (n.event == nullptr || (n.offset != kNotifyWhenStopped && n.offset >= size_)) return false;
  }
  std::lock_guard notify_lock(core_->notify_mu);
  std::lock_guard lock(core_->mu);
  BufferState* b = Find(*core_, id_);
  if (b == nullptr || b->playing) return false;
  b->notifications.assign(positions.begin(), positions.end());
  return true;
}

SoundDevice::SoundDevice() = default;
SoundDevice::~SoundDevice() { Close(); }

bool SoundDevice::Open(const PcmFormat& format, SoundBackend backend) {
  if (is_open() || !format.valid() || format.bits_per_sample != 16 || format.channels != 2) return false;
  if (backend == SoundBackend::kAuto) {
    const Application* app = Application::Current();
    const bool headless = app != nullptr && app->backend() != nullptr ? app->headless() : HeadlessRequested();
    backend = headless ? SoundBackend::kHeadless : SoundBackend::kSdl;
  }
  auto core = std::make_shared<MixerCore>(format, backend == SoundBackend::kHeadless);
  output_ = backend == SoundBackend::kHeadless ? OpenHeadlessAudioOutput(core) : OpenSdlAudioOutput(core);
  if (output_ == nullptr) return false;
  core_ = std::move(core);
  format_ = format;
  return true;
}

void SoundDevice::Close() {
  output_.reset();  // no mixing after this
  if (core_ != nullptr) {
    std::lock_guard lock(core_->mu);
    core_->open = false;
    for (auto& [id, b] : core_->buffers) HaltBuffer(*b);
  }
  core_.reset();
}

bool SoundDevice::is_open() const { return output_ != nullptr; }

std::unique_ptr<SoundBuffer> SoundDevice::CreateBuffer(std::uint32_t bytes, const PcmFormat& format) {
  if (core_ == nullptr || bytes == 0 || !format.valid()) return nullptr;
  auto b = std::make_unique<BufferState>();
  b->format = format;
  b->size = bytes;
  b->end = bytes - bytes % format.block_align();
  b->data.assign(bytes, format.bits_per_sample == 8 ? 0x80 : 0);
  if (!(format == format_)) {
    b->converter = SDL_NewAudioStream(format.bits_per_sample == 8 ? AUDIO_U8 : AUDIO_S16LSB,
                                      static_cast<Uint8>(format.channels), static_cast<int>(format.sample_rate),
                                      AUDIO_S16SYS, static_cast<Uint8>(format_.channels),
                                      static_cast<int>(format_.sample_rate));
    if (b->converter == nullptr) return nullptr;
  }
  std::lock_guard lock(core_->mu);
  const int id = core_->next_buffer_id++;
  core_->buffers.emplace(id, std::move(b));
  return std::unique_ptr<SoundBuffer>(new SoundBuffer(core_, id, bytes, format));
}

int SoundDevice::AddSource(Source source) {
  if (core_ == nullptr || !source) return 0;
  std::lock_guard lock(core_->notify_mu);
  const int id = core_->next_source_id++;
  core_->sources.emplace_back(id, std::move(source));
  return id;
}

void SoundDevice::RemoveSource(int id) {
  if (core_ == nullptr) return;
  std::lock_guard lock(core_->notify_mu);
  std::erase_if(core_->sources, [id](const auto& s) { return s.first == id; });
}

}  // namespace plat
