// The media command interpreter and its players. Each open medium has its own demuxer and
// decoders (FFmpeg). The playing position follows the sound the mixer has taken from the medium
// when its sound goes to a device, and the clock otherwise. With the SDL backend a worker thread
// per medium decodes ahead; with the headless backend decoding happens on the caller's thread,
// up to the virtual clock, whenever the mixer pulls sound or the medium is queried.
#include "platform/media_command.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/backend.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_media.h"
#include "platform/sound_output.h"
#include "platform/sync.h"

namespace plat {
namespace {

// ---------------------------------------------------------------------------------------------
// Words of a command line.

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits on blanks; a double-quoted run is one word without its quotes. False for an unclosed
// quote.
bool SplitWords(std::string_view text, std::vector<std::string>* words) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) break;
    std::string word;
    if (text[i] == '"') {
      const std::size_t end = text.find('"', i + 1);
      if (end == std::string_view::npos) return false;
      word.assign(text.substr(i + 1, end - i - 1));
      i = end + 1;
      if (i < text.size() && !IsBlank(text[i])) return false;
    } else {
      while (i < text.size() && !IsBlank(text[i])) word.push_back(text[i++]);
    }
    words->push_back(std::move(word));
  }
  return true;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

// A decimal integer within [lo, hi].
bool ParseInt(std::string_view s, long lo, long hi, long* out) {
  if (s.empty() || s.size() > 11) return false;
  std::size_t i = 0;
  bool negative = false;
  if (s[0] == '-' || s[0] == '+') {
    negative = s[0] == '-';
    i = 1;
    if (s.size() == 1) return false;
  }
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  if (negative) v = -v;
  if (v < lo || v > hi) return false;
  *out = static_cast<long>(v);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Clocks.

bool UseVirtualClock() {
  const Application* app = Application::Current();
  if (app != nullptr && app->backend() != nullptr) return app->headless();
  return HeadlessRequested();
}

std::int64_t MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// ---------------------------------------------------------------------------------------------
// One medium.

struct VideoFrame {
  std::int64_t pts_ms = 0;
  std::vector<std::uint8_t> bgr;  // top-down, width * 3 a row
};

enum class Mode { kStopped, kPlaying, kPaused };

constexpr std::int64_t kAudioAheadMs = 300;
constexpr std::size_t kVideoQueueFrames = 3;
constexpr int kMaxVideoSide = 2048;

class Player {
 public:
  Player(std::string path, bool video, bool virtual_clock) : path_(std::move(path)), video_(video), virtual_clock_(virtual_clock) {}
  ~Player() {
    DetachAudio();
    StopWorker();
    std::lock_guard<std::mutex> lock(decode_mu_);
    CloseDecoders();
  }

  // Opens and checks the medium: false when it cannot be demuxed or its streams not decoded
  // (the first picture of a video, or the first sound of a sound file, must decode).
  bool Open(SoundDevice* device) {
    {
      std::lock_guard<std::mutex> lock(decode_mu_);
      if (!OpenDecoders()) return false;
    }
    AttachAudio(device);
    std::lock_guard<std::mutex> lock(decode_mu_);
    // Prove that the medium decodes: pull its first picture (or first sound).
    int guard = 0;
    while (guard++ < 4096) {
      if (video_ ? !vqueue_.empty() : first_audio_decoded_) break;
      if (failed_ || !DecodeStep()) break;
    }
    if (video_ ? vqueue_.empty() : !first_audio_decoded_) return false;
    if (failed_) return false;
    return true;
  }

  void AttachAudio(SoundDevice* device) {
    if (device == nullptr || astream_ < 0 || !device->is_open()) return;
    {
      std::lock_guard<std::mutex> lock(audio_mu_);
      out_rate_ = static_cast<int>(device->format().sample_rate);
    }
    device_ = device;
    source_id_ = device->AddSource([this](std::int16_t* stereo, int frames) { MixInto(stereo, frames); });
    audio_clock_.store(true);
  }

  void DetachAudio() {
    if (device_ != nullptr) device_->RemoveSource(source_id_);
    device_ = nullptr;
    audio_clock_.store(false);
  }
  SoundDevice* device() const { return device_; }

  void StartWorker() {
    if (virtual_clock_) return;
    worker_quit_.store(false);
    worker_.Start([this] {
      while (!worker_quit_.load()) {
        Service();
        wake_.Wait(10);
      }
      return 0;
    });
    worker_.Resume();
  }
  void StopWorker() {
    if (!worker_.started()) return;
    worker_quit_.store(true);
    wake_.Signal();
    worker_.Join();
  }

  void Play() {
    {
      std::lock_guard<std::mutex> lock(decode_mu_);
      if (mode_ == Mode::kPlaying) return;
      if (finished_) return;  // at the end: nothing left to play
      start_clock_ms_ = NowMs();
      audio_frames_at_start_ = audio_frames_.load();
      mode_ = Mode::kPlaying;
      playing_flag_.store(true);
      serial_.fetch_add(1);
    }
    if (!virtual_clock_) wake_.Signal();
  }

  void StopOrPause(Mode to) {
    std::lock_guard<std::mutex> lock(decode_mu_);
    if (mode_ == Mode::kPlaying) base_ms_ = PositionLocked();
    if (mode_ == Mode::kStopped && to == Mode::kPaused) return;
    mode_ = to;
    playing_flag_.store(false);
    serial_.fetch_add(1);
  }

  bool Rewind() {
    std::lock_guard<std::mutex> lock(decode_mu_);
    CloseDecoders();
    mode_ = Mode::kStopped;
    playing_flag_.store(false);
    base_ms_ = 0;
    finished_ = false;
    current_.bgr.clear();
    has_current_ = false;
    serial_.fetch_add(1);
    if (!OpenDecoders()) return false;
    ServiceLocked();
    return true;
  }

  Mode mode() {
    Service();
    std::lock_guard<std::mutex> lock(decode_mu_);
    return mode_;
  }

  void SetVolume(int v) { volume_.store(v); }
  int volume() const { return volume_.load(); }

  // Decodes up to the current position; notices the end.
  void Service() {
    std::lock_guard<std::mutex> lock(decode_mu_);
    ServiceLocked();
  }

  bool Capture(std::vector<std::uint8_t>* pixels, int* w, int* h) {
    Service();
    std::lock_guard<std::mutex> lock(decode_mu_);
    if (!has_current_) return false;
    *pixels = current_.bgr;
    *w = width_;
    *h = height_;
    return true;
  }

  void Draw(const PixelView& pic, const Rect& rect) {
    if (virtual_clock_) Service();
    std::lock_guard<std::mutex> lock(decode_mu_);
    if (rect.IsEmpty()) return;
    const int rw = rect.width(), rh = rect.height();
    for (int y = std::max(0, rect.top); y < std::min(pic.height, rect.bottom); ++y) {
      std::uint8_t* row = pic.At(0, y);
      const int sy = has_current_ ? static_cast<int>(static_cast<std::int64_t>(y - rect.top) * height_ / rh) : 0;
      for (int x = std::max(0, rect.left); x < std::min(pic.width, rect.right); ++x) {
        std::uint8_t* d = row + x * 3;
        if (!has_current_) {
          d[0] = d[1] = d[2] = 0;
          continue;
        }
        const int sx = static_cast<int>(static_cast<std::int64_t>(x - rect.left) * width_ / rw);
        const std::uint8_t* s = current_.bgr.data() + (static_cast<std::size_t>(sy) * width_ + sx) * 3;
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
    }
  }

  std::uint64_t serial() const { return serial_.load(); }
  bool video() const { return video_; }

 private:
  std::int64_t NowMs() const { return virtual_clock_ ? static_cast<std::int64_t>(headless::Now()) : MonotonicMs(); }

  std::int64_t PositionLocked() const {
    if (mode_ != Mode::kPlaying) return base_ms_;
    if (audio_clock_.load()) {
      int rate;
      {
        std::lock_guard<std::mutex> lock(audio_mu_);
        rate = out_rate_;
      }
      const std::int64_t frames = audio_frames_.load() - audio_frames_at_start_;
      return base_ms_ + frames * 1000 / std::max(rate, 1);
    }
    return base_ms_ + std::max<std::int64_t>(0, NowMs() - start_clock_ms_);
  }

  bool OpenDecoders() {
    failed_ = false;
    demux_done_ = false;
    end_ms_ = 0;
    first_audio_decoded_ = false;
    // The container follows the file's kind (no probing into playlists or other formats that
    // would open further files or addresses), read from local files only.
    const AVInputFormat* container = av_find_input_format(video_ ? "asf" : "mp3");
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&fmt_, path_.c_str(), container, &options);
    av_dict_free(&options);
    if (opened < 0) {
      fmt_ = nullptr;
      return false;
    }
    if (avformat_find_stream_info(fmt_, nullptr) < 0) return false;
    start_ms_ = fmt_->start_time == AV_NOPTS_VALUE ? 0 : fmt_->start_time / (AV_TIME_BASE / 1000);
    vstream_ = video_ ? av_find_best_stream(fmt_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) : -1;
    astream_ = av_find_best_stream(fmt_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (video_ && vstream_ < 0) return false;
    if (!video_ && astream_ < 0) return false;
    if (vstream_ >= 0 && !OpenCodec(vstream_, &vdec_)) return false;
    if (astream_ >= 0 && !OpenCodec(astream_, &adec_)) {
      if (!video_) return false;
      astream_ = -1;  // a video whose sound cannot be decoded plays silently
    }
    if (vdec_ != nullptr) {
      width_ = vdec_->width;
      height_ = vdec_->height;
      if (width_ <= 0 || height_ <= 0 || width_ > kMaxVideoSide || height_ > kMaxVideoSide) return false;
    }
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    return packet_ != nullptr && frame_ != nullptr;
  }

  bool OpenCodec(int index, AVCodecContext** out) {
    const AVCodecParameters* par = fmt_->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (codec == nullptr) return false;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (ctx == nullptr) return false;
    *out = ctx;
    if (avcodec_parameters_to_context(ctx, par) < 0) return false;
    ctx->thread_count = 1;
    return avcodec_open2(ctx, codec, nullptr) >= 0;
  }

  void CloseDecoders() {
    avcodec_free_context(&vdec_);
    avcodec_free_context(&adec_);
    if (fmt_ != nullptr) avformat_close_input(&fmt_);
    sws_freeContext(sws_);
    sws_ = nullptr;
    swr_free(&swr_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    vqueue_.clear();
    {
      std::lock_guard<std::mutex> lock(audio_mu_);
      aqueue_.clear();
    }
    vstream_ = astream_ = -1;
  }

  std::int64_t ToMs(std::int64_t ts, AVRational tb) const {
    if (ts == AV_NOPTS_VALUE) return -1;
    return av_rescale_q(ts, tb, AVRational{1, 1000}) - start_ms_;
  }

  // Reads one packet and decodes it. False at the end of the medium or on a failure.
  bool DecodeStep() {
    if (demux_done_ || fmt_ == nullptr) return false;
    const int r = av_read_frame(fmt_, packet_);
    if (r < 0) {
      demux_done_ = true;
      if (vdec_ != nullptr) Drain(vdec_, true);
      if (adec_ != nullptr && audio_clock_.load()) Drain(adec_, false);
      return false;
    }
    const int si = packet_->stream_index;
    AVStream* st = (si >= 0 && static_cast<unsigned>(si) < fmt_->nb_streams) ? fmt_->streams[si] : nullptr;
    if (st != nullptr && (si == vstream_ || si == astream_)) {
      const std::int64_t pts = ToMs(packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts, st->time_base);
      const std::int64_t dur = packet_->duration > 0 ? av_rescale_q(packet_->duration, st->time_base, AVRational{1, 1000}) : 0;
      if (pts >= 0 && pts < (std::int64_t{1} << 40)) end_ms_ = std::max(end_ms_, pts + dur);
    }
    if (si == vstream_ && vdec_ != nullptr) {
      if (avcodec_send_packet(vdec_, packet_) >= 0) ReceiveVideo();
    } else if (si == astream_ && adec_ != nullptr && (audio_clock_.load() || !first_audio_decoded_)) {
      if (avcodec_send_packet(adec_, packet_) >= 0) ReceiveAudio();
    }
    av_packet_unref(packet_);
    return true;
  }

  void Drain(AVCodecContext* dec, bool is_video) {
    if (avcodec_send_packet(dec, nullptr) < 0) return;
    if (is_video)
      ReceiveVideo();
    else
      ReceiveAudio();
  }

  void ReceiveVideo() {
    while (avcodec_receive_frame(vdec_, frame_) >= 0) {
      if (frame_->width != width_ || frame_->height != height_) {
        av_frame_unref(frame_);
        continue;  // a change of size mid-stream is not followed
      }
      VideoFrame vf;
      const std::int64_t ts = frame_->best_effort_timestamp;
      vf.pts_ms = std::max<std::int64_t>(0, ToMs(ts, fmt_->streams[vstream_]->time_base));
      if (!vqueue_.empty() && ts == AV_NOPTS_VALUE) vf.pts_ms = vqueue_.back().pts_ms + 40;
      vf.bgr.resize(static_cast<std::size_t>(width_) * height_ * 3);
      sws_ = sws_getCachedContext(sws_, width_, height_, static_cast<AVPixelFormat>(frame_->format), width_, height_,
                                  AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr);
      if (sws_ == nullptr) {
        failed_ = true;
        av_frame_unref(frame_);
        return;
      }
      std::uint8_t* dst[4] = {vf.bgr.data(), nullptr, nullptr, nullptr};
      int dst_stride[4] = {width_ * 3, 0, 0, 0};
      sws_scale(sws_, frame_->data, frame_->linesize, 0, height_, dst, dst_stride);
      end_ms_ = std::max(end_ms_, vf.pts_ms);
      vqueue_.push_back(std::move(vf));
      av_frame_unref(frame_);
    }
  }

  void ReceiveAudio() {
    while (avcodec_receive_frame(adec_, frame_) >= 0) {
      first_audio_decoded_ = true;
      if (!audio_clock_.load()) {
        av_frame_unref(frame_);
        continue;
      }
      int rate;
      {
        std::lock_guard<std::mutex> lock(audio_mu_);
        rate = out_rate_;
      }
      if (swr_ == nullptr) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_S16, rate, &frame_->ch_layout,
                                static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0, nullptr) < 0 ||
            swr_init(swr_) < 0) {
          swr_free(&swr_);
          av_frame_unref(frame_);
          continue;
        }
      }
      const int max_out = swr_get_out_samples(swr_, frame_->nb_samples);
      if (max_out <= 0 || max_out > 1 << 20) {
        av_frame_unref(frame_);
        continue;
      }
      std::vector<std::int16_t> buf(static_cast<std::size_t>(max_out) * 2);
      std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(buf.data())};
      const int got = swr_convert(swr_, out, max_out, const_cast<const std::uint8_t**>(frame_->extended_data), frame_->nb_samples);
      if (got > 0) {
        std::lock_guard<std::mutex> lock(audio_mu_);
        aqueue_.insert(aqueue_.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(got) * 2);
      }
      av_frame_unref(frame_);
    }
  }

  std::size_t QueuedAudioFrames() const {
    std::lock_guard<std::mutex> lock(audio_mu_);
    return aqueue_.size() / 2;
  }

  void ServiceLocked() {
    if (fmt_ == nullptr) return;
    const std::int64_t pos = PositionLocked();
    const bool audio = audio_clock_.load() && astream_ >= 0;
    int guard = 0;
    while (!failed_ && guard++ < 10000) {
      bool need = false;
      if (vstream_ >= 0 && vqueue_.size() < kVideoQueueFrames) need = true;
      if (vstream_ >= 0 && !vqueue_.empty() && vqueue_.back().pts_ms <= pos) need = true;
      if (audio) {
        int rate;
        {
          std::lock_guard<std::mutex> lock(audio_mu_);
          rate = out_rate_;
        }
        if (static_cast<std::int64_t>(QueuedAudioFrames()) < kAudioAheadMs * rate / 1000) need = true;
      } else if (end_ms_ < pos + kAudioAheadMs) {
        need = true;
      }
      if (!need || !DecodeStep()) break;
    }
    // The picture for the position: the last frame that is due.
    while (!vqueue_.empty() && (!has_current_ || vqueue_.front().pts_ms <= pos)) {
      current_ = std::move(vqueue_.front());
      vqueue_.pop_front();
      has_current_ = true;
      serial_.fetch_add(1);
    }
    if (mode_ == Mode::kPlaying && demux_done_ && vqueue_.empty()) {
      const bool done = pos >= end_ms_ && (!audio || QueuedAudioFrames() == 0);
      if (done) {
        base_ms_ = pos;
        mode_ = Mode::kStopped;
        finished_ = true;
        serial_.fetch_add(1);
      }
    }
    playing_flag_.store(mode_ == Mode::kPlaying);
  }

  // The mixer's source: sound while playing, at the volume of the moment.
  void MixInto(std::int16_t* stereo, int frames) {
    if (virtual_clock_) {
      // Headless: decoding keeps pace with the virtual clock right here.
      std::lock_guard<std::mutex> lock(decode_mu_);
      if (mode_ == Mode::kPlaying) {
        const int rate = out_rate_;
        int guard = 0;
        while (!failed_ && !demux_done_ && QueuedAudioFrames() < static_cast<std::size_t>(frames) + static_cast<std::size_t>(rate / 10) &&
               guard++ < 10000)
          if (!DecodeStep()) break;
      }
      MixLocked(stereo, frames);
      return;
    }
    MixLocked(stereo, frames);
  }

  void MixLocked(std::int16_t* stereo, int frames) {
    // Only the playing medium takes sound; mode_ is read under decode_mu_ in the headless path,
    // and through playing_ (atomic) otherwise.
    if (!IsPlayingForMixer()) return;
    const int vol = volume_.load();
    std::lock_guard<std::mutex> lock(audio_mu_);
    const std::size_t have = std::min(aqueue_.size() / 2, static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < have * 2; ++i) {
      const int s = aqueue_[i] * vol / 1000;
      stereo[i] = static_cast<std::int16_t>(std::clamp(s + stereo[i], -32768, 32767));
    }
    aqueue_.erase(aqueue_.begin(), aqueue_.begin() + static_cast<std::ptrdiff_t>(have) * 2);
    audio_frames_.fetch_add(frames);
  }

  bool IsPlayingForMixer() const { return playing_flag_.load(); }

 public:
  void UpdatePlayingFlag() {
    std::lock_guard<std::mutex> lock(decode_mu_);
    playing_flag_.store(mode_ == Mode::kPlaying);
  }

 private:
  const std::string path_;
  const bool video_;
  const bool virtual_clock_;

  std::mutex decode_mu_;  // the demuxer, decoders, picture queue and play state
  AVFormatContext* fmt_ = nullptr;
  AVCodecContext* vdec_ = nullptr;
  AVCodecContext* adec_ = nullptr;
  SwsContext* sws_ = nullptr;
  SwrContext* swr_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int vstream_ = -1, astream_ = -1;
  int width_ = 0, height_ = 0;
  std::int64_t start_ms_ = 0;
  std::int64_t end_ms_ = 0;
  bool demux_done_ = false;
  bool failed_ = false;
  bool first_audio_decoded_ = false;
  std::deque<VideoFrame> vqueue_;
  VideoFrame current_;
  bool has_current_ = false;
  Mode mode_ = Mode::kStopped;
  bool finished_ = false;
  std::int64_t base_ms_ = 0;
  std::int64_t start_clock_ms_ = 0;
  std::int64_t audio_frames_at_start_ = 0;

  mutable std::mutex audio_mu_;  // the sound queue and the output rate
  std::deque<std::int16_t> aqueue_;
  int out_rate_ = 22050;

  std::atomic<std::int64_t> audio_frames_{0};
  std::atomic<bool> audio_clock_{false};
  std::atomic<bool> playing_flag_{false};
  std::atomic<int> volume_{1000};
  std::atomic<std::uint64_t> serial_{0};

  SoundDevice* device_ = nullptr;
  int source_id_ = -1;
  WorkerThread worker_;
  AutoResetEvent wake_;
  std::atomic<bool> worker_quit_{false};
};

// ---------------------------------------------------------------------------------------------
// The alias table.

struct Alias {
  std::unique_ptr<Player> player;  // null for the optical drive
  bool video = false;
  bool visible = false;
  Rect rect{0, 0, 0, 0};
};

struct MediaState {
  std::mutex mu;
  std::map<std::string, Alias> aliases;  // by lower-case name
  SoundDevice* device = nullptr;
  std::vector<headless::SentMediaCommand> sent;
  std::uint64_t drawn_serial = 0;
  std::atomic<std::uint64_t> table_serial{0};
};

MediaState& State() {
  static MediaState* s = new MediaState;  // never destroyed: media may be closed during exit
  return *s;
}

std::uint64_t OverlaySerialLocked(MediaState& s) {
  std::uint64_t sum = s.table_serial.load();
  for (auto& [name, a] : s.aliases)
    if (a.player != nullptr && a.video && a.visible) sum += a.player->serial();
  return sum;
}

bool HasExtension(std::string_view path, std::string_view ext) {
  return path.size() > ext.size() && Same(path.substr(path.size() - ext.size()), ext);
}

int OpenCommand(MediaState& s, const std::vector<std::string>& w) {
  if (w.size() < 2) return kMediaBadArgument;
  const std::string& element = w[1];
  std::string alias = LowerCopy(element);
  bool child = false;
  for (std::size_t i = 2; i < w.size(); ++i) {
    if (Same(w[i], "alias") && i + 1 < w.size()) {
      alias = LowerCopy(w[++i]);
    } else if (Same(w[i], "style") && i + 1 < w.size()) {
      if (!Same(w[++i], "child")) return kMediaBadArgument;
      child = true;
    } else if (Same(w[i], "parent") && i + 1 < w.size()) {
      long v = 0;
      if (!ParseInt(w[++i], 0, 0x7FFFFFFF, &v)) return kMediaBadArgument;
    } else if (Same(w[i], "shareable")) {
    } else {
      return kMediaBadArgument;
    }
  }
  (void)child;
  if (alias.empty()) return kMediaBadArgument;
  if (s.aliases.count(alias) != 0) return kMediaAliasInUse;
  if (Same(element, "cdaudio")) {
    s.aliases[alias] = Alias{};
    return kMediaOk;
  }
  bool video;
  if (HasExtension(element, ".wmv"))
    video = true;
  else if (HasExtension(element, ".mp3"))
    video = false;
  else
    return kMediaCannotOpen;
  const std::string native = ResolvePath(element);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return kMediaCannotOpen;  // no FIFOs or devices
  auto player = std::make_unique<Player>(native, video, UseVirtualClock());
  if (!player->Open(s.device)) return kMediaCannotOpen;
  player->StartWorker();
  Alias a;
  a.player = std::move(player);
  a.video = video;
  s.aliases[alias] = std::move(a);
  s.table_serial.fetch_add(1);
  return kMediaOk;
}

int Execute(MediaState& s, std::string_view command, std::string* answer) {
  std::vector<std::string> w;
  if (!SplitWords(command, &w) || w.empty()) return kMediaUnknownCommand;
  const std::string verb = LowerCopy(w[0]);
  if (verb == "open") return OpenCommand(s, w);
  static const char* const kVerbs[] = {"close", "realize", "put", "window", "setaudio", "play", "stop",
                                       "pause", "resume", "seek", "status", "set"};
  bool known = false;
  for (const char* v : kVerbs) known = known || verb == v;
  if (!known) return kMediaUnknownCommand;
  if (w.size() < 2) return kMediaBadArgument;
  const std::string name = LowerCopy(w[1]);
  if (verb == "close" && name == "all" && w.size() == 2) {
    for (auto& [n, a] : s.aliases) a.player.reset();
    s.aliases.clear();
    s.table_serial.fetch_add(1);
    return kMediaOk;
  }
  auto it = s.aliases.find(name);
  if (it == s.aliases.end()) return kMediaUnknownAlias;
  Alias& a = it->second;
  const std::size_t n = w.size();
  if (verb == "close") {
    if (n != 2) return kMediaBadArgument;
    std::unique_ptr<Player> p = std::move(a.player);
    s.aliases.erase(it);
    p.reset();
    s.table_serial.fetch_add(1);
    return kMediaOk;
  }
  if (a.player == nullptr) {
    // The optical drive: only its door is controlled.
    if (verb == "set" && n == 4 && Same(w[2], "door") && Same(w[3], "closed")) {
      for (const Drive& d : CurrentDrives())
        if (d.type == DriveType::kCdRom) {
          CloseDriveTray(d.letter);
          break;
        }
      return kMediaOk;
    }
    return kMediaUnknownCommand;
  }
  Player& p = *a.player;
  if (verb == "realize") return n <= 3 && (n == 2 || Same(w[2], "background")) ? kMediaOk : kMediaBadArgument;
  if (verb == "put") {
    if (n != 8 || !Same(w[2], "window") || !Same(w[3], "at")) return kMediaBadArgument;
    long v[4];
    for (int i = 0; i < 4; ++i)
      if (!ParseInt(w[4 + i], i < 2 ? -100000 : 0, 100000, &v[i])) return kMediaBadArgument;
    if (!a.video) return kMediaNoWindow;
    a.rect = Rect{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]), static_cast<std::int32_t>(v[0] + v[2]),
                  static_cast<std::int32_t>(v[1] + v[3])};
    s.table_serial.fetch_add(1);
    return kMediaOk;
  }
  if (verb == "window") {
    if (n != 4 || !Same(w[2], "state")) return kMediaBadArgument;
    if (!a.video) return kMediaNoWindow;
    if (Same(w[3], "show"))
      a.visible = true;
    else if (Same(w[3], "hide"))
      a.visible = false;
    else
      return kMediaBadArgument;
    s.table_serial.fetch_add(1);
    return kMediaOk;
  }
  if (verb == "setaudio") {
    long v = 0;
    if (n != 5 || !Same(w[2], "volume") || !Same(w[3], "to") || !ParseInt(w[4], 0, 1000, &v)) return kMediaBadArgument;
    p.SetVolume(static_cast<int>(v));
    return kMediaOk;
  }
  if (verb == "play" || verb == "resume") {
    if (n != 2) return kMediaBadArgument;
    if (a.video && !a.visible) {
      a.visible = true;
      s.table_serial.fetch_add(1);
    }
    p.Play();
    p.UpdatePlayingFlag();
    return kMediaOk;
  }
  if (verb == "stop" || verb == "pause") {
    if (n != 2) return kMediaBadArgument;
    p.StopOrPause(verb == "stop" ? Mode::kStopped : Mode::kPaused);
    p.UpdatePlayingFlag();
    return kMediaOk;
  }
  if (verb == "seek") {
    if (n != 4 || !Same(w[2], "to") || !Same(w[3], "start")) return kMediaBadArgument;
    const bool ok = p.Rewind();
    p.UpdatePlayingFlag();
    return ok ? kMediaOk : kMediaCannotOpen;
  }
  if (verb == "status") {
    if (n != 3 || !Same(w[2], "mode")) return kMediaBadArgument;
    const Mode m = p.mode();
    p.UpdatePlayingFlag();
    if (answer != nullptr) *answer = m == Mode::kPlaying ? "playing" : m == Mode::kPaused ? "paused" : "stopped";
    return kMediaOk;
  }
  return kMediaUnknownCommand;
}

}  // namespace

int SendMediaCommand(std::string_view command, std::string* answer) {
  MediaState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  std::string text;
  if (answer != nullptr) answer->clear();
  const int r = Execute(s, command, &text);
  if (answer != nullptr) *answer = text;
  // The record is for tests; a long session keeps only its recent part.
  if (s.sent.size() >= 20000) s.sent.erase(s.sent.begin(), s.sent.begin() + 10000);
  s.sent.push_back(headless::SentMediaCommand{std::string(command), r, text});
  return r;
}

void SetMediaAudioOutput(SoundDevice* device) {
  MediaState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  if (s.device == device) return;
  for (auto& [n, a] : s.aliases)
    if (a.player != nullptr) a.player->DetachAudio();
  s.device = device;
  for (auto& [n, a] : s.aliases)
    if (a.player != nullptr) a.player->AttachAudio(device);
}

void CloseAllMedia() { SendMediaCommand("close all"); }

void DrawMediaOverlay(const PixelView& picture) {
  MediaState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  for (auto& [n, a] : s.aliases)
    if (a.player != nullptr && a.video && a.visible) a.player->Draw(picture, a.rect);
  s.drawn_serial = OverlaySerialLocked(s);
}

bool MediaVideoPlaying() {
  MediaState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  for (auto& [n, a] : s.aliases)
    if (a.player != nullptr && a.video && a.visible && a.player->mode() == Mode::kPlaying) return true;
  return false;
}

bool MediaOverlayChanged() {
  MediaState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  for (auto& [n, a] : s.aliases)
    if (a.player != nullptr && a.video && a.visible && UseVirtualClock()) a.player->Service();
  return OverlaySerialLocked(s) != s.drawn_serial;
}

namespace headless {

const std::vector<SentMediaCommand>& SentMediaCommands() { return State().sent; }

void ClearSentMediaCommands() {
  MediaState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  s.sent.clear();
}

bool CaptureMediaFrame(const std::string& alias, std::vector<std::uint8_t>* pixels, int* width, int* height) {
  MediaState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  auto it = s.aliases.find(LowerCopy(alias));
  if (it == s.aliases.end() || it->second.player == nullptr || !it->second.video) return false;
  return it->second.player->Capture(pixels, width, height);
}

MediaOverlayState MediaAliasState(const std::string& alias) {
  auto& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  MediaOverlayState out;
  auto it = s.aliases.find(LowerCopy(alias));
  if (it == s.aliases.end()) return out;
  out.open = true;
  out.video = it->second.video;
  out.visible = it->second.visible;
  out.rect = it->second.rect;
  out.volume = it->second.player != nullptr ? it->second.player->volume() : 0;
  return out;
}

}  // namespace headless
}  // namespace plat
