// Voices and broadcasts: speech from the speech synthesiser, a music bed for broadcasts, and
// the MP3 encoding.
#include <algorithm>
#include <cmath>

#include "assets.h"
#include "sound/mp3_encoder.h"
#include "sound/music.h"
#include "sound/speech.h"
#include "sound/synth.h"
#include "sound/wave_writer.h"

namespace databuild {
namespace {

constexpr int kVoiceKbps = 32;
constexpr int kBroadcastKbps = 48;

// The speech with a little silence before and after it, at a steady level.
bool SpeechSamples(const std::string& textUtf8, std::vector<float>* out) {
  std::vector<float> speech;
  if (!Speak(textUtf8, &speech)) return false;
  // Drop the synthesiser's own trailing silence beyond a tenth of a second.
  std::size_t end = speech.size();
  while (end > 0 && std::fabs(speech[end - 1]) < 1.0e-4f) --end;
  speech.resize(std::min(speech.size(), end + kSampleRate / 10));
  Normalize(&speech, 0.80);
  out->assign(kSampleRate / 10, 0.0f);
  out->insert(out->end(), speech.begin(), speech.end());
  out->resize(std::max<std::size_t>(out->size() + kSampleRate / 5, kSampleRate / 2), 0.0f);
  return true;
}

bool WriteMp3(const std::filesystem::path& file, const std::vector<float>& samples, int kbps) {
  std::vector<std::uint8_t> mp3;
  return EncodeMp3(samples, kSampleRate, kbps, &mp3) && WriteBytes(file, mp3);
}

}  // namespace

bool BuildVoice(const std::filesystem::path& file, const std::string& textUtf8) {
  std::vector<float> samples;
  return SpeechSamples(textUtf8, &samples) && WriteMp3(file, samples, kVoiceKbps);
}

bool BuildBroadcast(const std::filesystem::path& file, const std::string& name, const std::string& textUtf8) {
  std::vector<float> speech;
  if (!SpeechSamples(textUtf8, &speech)) return false;
  // The programme: two seconds of its tune, the talk over the tune turned down, and the tune
  // coming back up for the last seconds before it fades out.
  const long lead_in = 2 * kSampleRate, lead_out = 3 * kSampleRate;
  const long total = lead_in + static_cast<long>(speech.size()) + lead_out;
  std::vector<float> mix = RenderMusicBed("radio:" + name, total, kSampleRate / 2);
  const long duck = kSampleRate * 4 / 10;  // the tune dips and rises over 0.4 s
  const long talk_begin = lead_in, talk_end = lead_in + static_cast<long>(speech.size());
  for (long i = 0; i < total; ++i) {
    double level = 0.55;
    double dip = 0.0;  // 0 before and after the talk, 1 while it lasts
    if (i >= talk_begin - duck && i < talk_end + duck) {
      if (i < talk_begin) dip = static_cast<double>(i - (talk_begin - duck)) / duck;
      else if (i >= talk_end) dip = 1.0 - static_cast<double>(i - talk_end) / duck;
      else dip = 1.0;
    }
    level *= 1.0 - 0.68 * dip;
    mix[static_cast<std::size_t>(i)] *= static_cast<float>(level);
    if (i >= talk_begin && i < talk_end) mix[static_cast<std::size_t>(i)] += speech[static_cast<std::size_t>(i - talk_begin)];
  }
  Normalize(&mix, 0.85);
  return WriteMp3(file, mix, kBroadcastKbps);
}

}  // namespace databuild
