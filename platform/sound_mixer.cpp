// The mixer: every playing buffer is read at its cursor, converted to the output format (by an
// SDL audio stream when its format differs), scaled by its gain and summed with saturation.
#include "platform/sound_mixer.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sync.h"

namespace plat {

std::atomic<bool> g_lose_next_lock{false};

namespace {

constexpr std::uint32_t kPutFramesMax = 256;  // frames per converter put

// Reads `bytes` bytes at the cursor (wrapping when looping, stopping at the end otherwise),
// moves the cursor and collects the events whose offsets the cursor reached. Returns the bytes
// read.
std::uint32_t ReadAtCursor(BufferState& b, std::uint32_t bytes, std::uint8_t* dst, std::vector<AutoResetEvent*>* fired) {
  const std::uint32_t from = b.cursor;
  std::uint32_t done = 0;
  while (done < bytes) {
    const std::uint32_t limit = b.looping ? b.size : b.end;
    if (b.cursor >= limit) {
      if (!b.looping) break;
      b.cursor = 0;
    }
    const std::uint32_t n = std::min(bytes - done, limit - b.cursor);
    if (b.lost) {
      std::memset(dst + done, b.format.bits_per_sample == 8 ? 0x80 : 0, n);
    } else {
      std::memcpy(dst + done, b.data.data() + b.cursor, n);
    }
    b.cursor += n;
    done += n;
  }
  // Offsets reached in (from, from + done], in the order they were reached.
  std::vector<std::pair<std::uint64_t, AutoResetEvent*>> reached;
  for (const Notification& n : b.notifications) {
    if (n.offset == kNotifyWhenStopped) continue;
    std::uint64_t first = n.offset > from ? n.offset : static_cast<std::uint64_t>(n.offset) + b.size;
    if (!b.looping && n.offset <= from) continue;
    for (std::uint64_t at = first; at <= static_cast<std::uint64_t>(from) + done; at += b.size) {
      reached.emplace_back(at, n.event);
    }
  }
  std::stable_sort(reached.begin(), reached.end(),
                   [](const auto& a, const auto& c) { return a.first < c.first; });
  for (const auto& r : reached) fired->push_back(r.second);
  if (b.cursor == b.size && b.looping) b.cursor = 0;
  return done;
}

void StopAndCollect(BufferState& b, std::vector<AutoResetEvent*>* fired) {
  HaltBuffer(b);
  for (const Notification& n : b.notifications) {
    if (n.offset == kNotifyWhenStopped) fired->push_back(n.event);
  }
}

}  // namespace

void HaltBuffer(BufferState& b) {
  b.playing = false;
  b.just_started = false;
  b.drained = false;
  if (b.converter != nullptr) SDL_AudioStreamClear(b.converter);
}

MixerCore::~MixerCore() {
  for (auto& [id, b] : buffers) {
    if (b->converter != nullptr) SDL_FreeAudioStream(b->converter);
  }
}

void MixerCore::MixBuffer(BufferState& b, int frames, std::vector<AutoResetEvent*>* fired) {
  if (b.just_started) {
    b.just_started = false;
    for (const Notification& n : b.notifications) {
      if (n.offset == b.cursor) fired->push_back(n.event);
    }
  }
  if (frames <= 0) return;
  const std::uint32_t want = static_cast<std::uint32_t>(frames) * 4;
  tmp_.resize(static_cast<std::size_t>(frames) * 2);
  std::uint32_t got = 0;
  bool ended = false;
  if (b.converter == nullptr) {
    got = ReadAtCursor(b, want, reinterpret_cast<std::uint8_t*>(tmp_.data()), fired);
    ended = !b.looping && b.cursor >= b.end;
  } else {
    const std::uint32_t block = b.format.block_align();
    while (!b.drained && static_cast<std::uint32_t>(SDL_AudioStreamAvailable(b.converter)) < want) {
      const std::uint32_t deficit = (want - SDL_AudioStreamAvailable(b.converter)) / 4;
      std::uint64_t src_frames =
          (static_cast<std::uint64_t>(deficit) * b.format.sample_rate + out.sample_rate - 1) / out.sample_rate;
      src_frames = std::max<std::uint64_t>(src_frames, 16);
      src_.resize(src_frames * block);
      const std::uint32_t n = ReadAtCursor(b, static_cast<std::uint32_t>(src_.size()), src_.data(), fired);
      // SDL 2.26 drops converted samples when one put is large and the rate changes, so the
      // converter gets small pieces.
      for (std::uint32_t at = 0; at < n; at += kPutFramesMax * block) {
        const std::uint32_t piece = std::min(n - at, kPutFramesMax * block);
        SDL_AudioStreamPut(b.converter, src_.data() + at, static_cast<int>(piece));
      }
      if (!b.looping && b.cursor >= b.end) {
        SDL_AudioStreamFlush(b.converter);
        b.drained = true;
      }
    }
    auto* dst = reinterpret_cast<std::uint8_t*>(tmp_.data());
    for (int n = 0; got < want; got += static_cast<std::uint32_t>(n)) {
      n = SDL_AudioStreamGet(b.converter, dst + got, static_cast<int>(want - got));
      if (n <= 0) break;
    }
    ended = b.drained && SDL_AudioStreamAvailable(b.converter) == 0;
  }
  const std::size_t samples = got / 2;
  if (b.gain == 1.0f) {
    for (std::size_t i = 0; i < samples; ++i) acc_[i] += tmp_[i];
  } else if (b.gain > 0.0f) {
    for (std::size_t i = 0; i < samples; ++i) {
      acc_[i] += static_cast<std::int32_t>(static_cast<float>(tmp_[i]) * b.gain + (tmp_[i] < 0 ? -0.5f : 0.5f));
    }
  }
  if (ended) {
    StopAndCollect(b, fired);
    b.cursor = 0;
  }
}

bool MixerCore::MixAndSignal(std::int16_t* output, int frames) {
  std::lock_guard notify_lock(notify_mu);
  std::vector<AutoResetEvent*> fired;
  acc_.assign(static_cast<std::size_t>(std::max(frames, 0)) * 2, 0);
  {
    std::lock_guard lock(mu);
    for (auto& [id, b] : buffers) {
      if (b->playing && open) MixBuffer(*b, frames, &fired);
    }
  }
  if (frames > 0) {
    if (!sources.empty()) {
      tmp_.resize(static_cast<std::size_t>(frames) * 2);
      for (auto& [id, source] : sources) {
        std::fill(tmp_.begin(), tmp_.end(), 0);
        source(tmp_.data(), frames);
        for (std::size_t i = 0; i < tmp_.size(); ++i) acc_[i] += tmp_[i];
      }
    }
    for (std::size_t i = 0; i < acc_.size(); ++i) {
      output[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(acc_[i], INT16_MIN, INT16_MAX));
    }
  }
  for (AutoResetEvent* e : fired) e->Signal();
  return !fired.empty();
}

int MixerCore::FramesUntilNextEvent() {
  std::lock_guard lock(mu);
  std::uint64_t best = INT_MAX;
  for (auto& [id, bp] : buffers) {
    const BufferState& b = *bp;
    if (!b.playing || !open) continue;
    if (b.just_started) return 0;
    std::uint64_t bytes = UINT64_MAX;
    for (const Notification& n : b.notifications) {
      if (n.offset == kNotifyWhenStopped) continue;
      if (n.offset > b.cursor) {
        bytes = std::min<std::uint64_t>(bytes, n.offset - b.cursor);
      } else if (b.looping) {
        bytes = std::min<std::uint64_t>(bytes, static_cast<std::uint64_t>(n.offset) + b.size - b.cursor);
      }
    }
    if (!b.looping) bytes = std::min<std::uint64_t>(bytes, b.end > b.cursor ? b.end - b.cursor : 0);
    if (bytes == UINT64_MAX) continue;
    const std::uint64_t block = b.format.block_align();
    const std::uint64_t src_frames = (bytes + block - 1) / block;
    const std::uint64_t frames = (src_frames * out.sample_rate + b.format.sample_rate - 1) / b.format.sample_rate;
    best = std::min(best, frames);
  }
  return static_cast<int>(best);
}

}  // namespace plat
