// The instrument voices, the reverb and the sample conversion of the data set's synthesiser.
#include "sound/synth.h"

#include <algorithm>
#include <cmath>

namespace databuild {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// How a voice sounds: its release time and how long its tail may ring after the note's end.
struct VoiceShape {
  double release;  // seconds for the level to fall by 1/e after the note's end
  double tail;     // seconds rendered after the note's end
};

VoiceShape ShapeOf(Instrument instrument) {
  switch (instrument) {
    case Instrument::kPiano: return {0.12, 0.7};
    case Instrument::kBell: return {0.35, 1.6};
    case Instrument::kPad: return {0.45, 2.0};
    case Instrument::kBass: return {0.08, 0.45};
    case Instrument::kPluck: return {0.25, 1.2};
    case Instrument::kFlute: return {0.10, 0.5};
  }
  return {0.1, 0.5};
}

// A raised-cosine rise from 0 to 1 over `seconds`.
double Rise(double t, double seconds) {
  if (t >= seconds) return 1.0;
  return 0.5 - 0.5 * std::cos(kPi * t / seconds);
}

// exp(-rate * t) for t advancing one sample per call, kept as a running product.
class Decay {
 public:
  explicit Decay(double per_second) : factor_(std::exp(-per_second / kSampleRate)) {}
  double Next() {
    const double v = value_;
    value_ *= factor_;
    return v;
  }

 private:
  double value_ = 1.0;
  double factor_;
};

// The sound of one voice, one sample per call, before the release envelope. `t` is the time
// since the onset and `phase` the running phase of the fundamental in radians.
class VoiceState {
 public:
  VoiceState(Instrument instrument, double freq) : instrument_(instrument) {
    // Harmonics above 10 kHz would fold back below the Nyquist frequency: leave them out.
    while (pluck_count_ > 1 && pluck_count_ * freq > 10000.0) --pluck_count_;
    static const double kPluckAmp[6] = {1.0, 0.4061, 0.2397, 0.1649, 0.1234, 0.0974};  // 1 / n^1.3
    for (int n = 0; n < 6; ++n) {
      pluck_amp_[n] = kPluckAmp[n];
      pluck_decay_.emplace_back(1.0 + 0.9 * (n + 1));
    }
  }

  double Next(double t, double phase) {
    switch (instrument_) {
      case Instrument::kPiano: {
        const double index = 1.1 * d4_.Next() + 0.12;
        const double body = std::sin(phase + index * std::sin(phase));
        return Rise(t, 0.004) * d1_1_.Next() * (0.8 * body + 0.15 * std::sin(2.0 * phase) * d3_.Next());
      }
      case Instrument::kBell:
        return Rise(t, 0.002) * (std::sin(phase) * d1_8_.Next() + 0.22 * std::sin(3.0 * phase) * d5_.Next() +
                                 0.08 * std::sin(4.07 * phase) * d9_.Next());
      case Instrument::kPad: {
        // Two voices a little apart in pitch give the slow beating of an ensemble.
        double sum = 0.0;
        for (const double detune : {0.9965, 1.0035}) {
          const double p = phase * detune;
          const double s1 = std::sin(p), c1 = std::cos(p);
          const double s2 = 2.0 * s1 * c1, c2 = 1.0 - 2.0 * s1 * s1;
          const double s3 = s2 * c1 + c2 * s1, s4 = 2.0 * s2 * c2;
          sum += s1 + 0.35 * s2 + 0.16 * s3 + 0.06 * s4;
        }
        return Rise(t, 0.35) * 0.5 * sum * (1.0 + 0.07 * std::sin(kTwoPi * 0.6 * t));
      }
      case Instrument::kBass:
        return Rise(t, 0.006) * (0.55 + 0.45 * d3_.Next()) *
               (std::sin(phase) + 0.22 * std::sin(2.0 * phase) * d2_.Next() + 0.07 * std::sin(3.0 * phase) * d4_.Next());
      case Instrument::kPluck: {
        // Harmonics by the sine addition rule from the fundamental's sine and cosine.
        const double s1 = std::sin(phase), c1 = std::cos(phase);
        double sn = s1, cn = c1, sum = 0.0;
        for (int n = 0; n < pluck_count_; ++n) {
          sum += sn * pluck_amp_[n] * pluck_decay_[n].Next();
          const double next_s = sn * c1 + cn * s1, next_c = cn * c1 - sn * s1;
          sn = next_s, cn = next_c;
        }
        return Rise(t, 0.002) * sum;
      }
      case Instrument::kFlute:
        return Rise(t, 0.07) * (0.85 + 0.15 * d3_.Next()) *
               (std::sin(phase) + 0.12 * std::sin(2.0 * phase) + 0.04 * std::sin(3.0 * phase));
    }
    return 0.0;
  }

 private:
  Instrument instrument_;
  Decay d1_1_{1.1}, d1_8_{1.8}, d2_{2.0}, d3_{3.0}, d4_{4.0}, d5_{5.0}, d9_{9.0};
  double pluck_amp_[6];
  int pluck_count_ = 6;
  std::vector<Decay> pluck_decay_;
};

// Where sample `*at` of a note goes in a buffer of `size` samples: wrapped round a loop, or
// false once past the end of a buffer that does not loop.
bool PlaceSample(long* at, long size, bool wrap) {
  if (wrap) {
    *at %= size;
    if (*at < 0) *at += size;
    return true;
  }
  return *at < size;
}

}  // namespace

std::uint32_t Rng::Next() {
  std::uint32_t x = state_;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  state_ = x;
  return x;
}

double Rng::Uniform() { return (Next() >> 8) * (1.0 / 16777216.0); }

int Rng::Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

std::uint32_t NameHash(std::string_view name) {
  std::uint32_t h = 2166136261u;
  for (const char c : name) {
    h ^= static_cast<std::uint8_t>(c);
    h *= 16777619u;
  }
  return h;
}

double MidiToHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

void AddNote(std::vector<float>* buffer, bool wrap, Instrument instrument, long start, long length, double midi,
             double gain) {
  const long size = static_cast<long>(buffer->size());
  if (size == 0 || length <= 0) return;
  const VoiceShape shape = ShapeOf(instrument);
  const double freq = MidiToHz(midi);
  const double note_seconds = static_cast<double>(length) / kSampleRate;
  const long total = length + static_cast<long>(shape.tail * kSampleRate);
  const long fade_out = kSampleRate / 50;  // the last 20 ms of the tail go smoothly to zero
  double phase = 0.0;
  VoiceState voice(instrument, freq);
  Decay release(1.0 / shape.release);
  float* out = buffer->data();
  for (long i = 0; i < total; ++i) {
    long at = start + i;
    if (!PlaceSample(&at, size, wrap)) break;
    const double t = static_cast<double>(i) / kSampleRate;
    double level = voice.Next(t, phase);
    if (t > note_seconds) level *= release.Next();
    if (i > total - fade_out) level *= static_cast<double>(total - i) / fade_out;
    if (at >= 0) out[at] += static_cast<float>(gain * level);
    // The flute's vibrato grows in after its attack; the others hold their pitch.
    double f = freq;
    if (instrument == Instrument::kFlute) f *= 1.0 + 0.004 * Rise(t, 0.4) * std::sin(kTwoPi * 5.0 * t);
    phase += kTwoPi * f / kSampleRate;
    if (phase > 1.0e6) phase = std::fmod(phase, kTwoPi);
  }
}

void AddShaker(std::vector<float>* buffer, bool wrap, long start, double gain, std::uint32_t seed) {
  const long size = static_cast<long>(buffer->size());
  if (size == 0) return;
  Rng rng(seed);
  const long total = kSampleRate * 6 / 100;
  double previous = 0.0;
  for (long i = 0; i < total; ++i) {
    long at = start + i;
    if (!PlaceSample(&at, size, wrap)) break;
    const double t = static_cast<double>(i) / kSampleRate;
    const double noise = rng.Uniform() * 2.0 - 1.0;
    const double bright = noise - previous;  // a first difference keeps only the hiss
    previous = noise;
    const double level = Rise(t, 0.004) * std::exp(-t / 0.014) * static_cast<double>(total - i) / total;
    if (at >= 0) (*buffer)[at] += static_cast<float>(gain * 0.5 * bright * level);
  }
}

void AddReverb(std::vector<float>* buffer, bool loop, double wet) {
  const long size = static_cast<long>(buffer->size());
  if (size == 0 || wet <= 0.0) return;
  // Four damped combs in parallel, then two all-pass filters in series.
  const int comb_delay[4] = {557, 593, 641, 677};
  const int allpass_delay[2] = {113, 173};
  std::vector<double> comb[4], comb_low(4, 0.0);
  std::vector<double> allpass[2];
  int comb_pos[4] = {0, 0, 0, 0}, allpass_pos[2] = {0, 0};
  for (int c = 0; c < 4; ++c) comb[c].assign(comb_delay[c], 0.0);
  for (int a = 0; a < 2; ++a) allpass[a].assign(allpass_delay[a], 0.0);
  const double feedback = 0.80, damp = 0.35;
  std::vector<float> wet_out(buffer->size(), 0.0f);
  // A loop is run twice and the second pass kept: the reverb then carries the end of the loop
  // into its start just as it does when the loop is played round.
  const int passes = loop ? 2 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (long i = 0; i < size; ++i) {
      const double in = (*buffer)[i] * 0.25;
      double sum = 0.0;
      for (int c = 0; c < 4; ++c) {
        const double delayed = comb[c][comb_pos[c]];
        comb_low[c] = delayed * (1.0 - damp) + comb_low[c] * damp;
        comb[c][comb_pos[c]] = in + comb_low[c] * feedback;
        comb_pos[c] = (comb_pos[c] + 1) % comb_delay[c];
        sum += delayed;
      }
      for (int a = 0; a < 2; ++a) {
        const double delayed = allpass[a][allpass_pos[a]];
        const double out = -sum + delayed;
        allpass[a][allpass_pos[a]] = sum + delayed * 0.5;
        allpass_pos[a] = (allpass_pos[a] + 1) % allpass_delay[a];
        sum = out;
      }
      if (pass == passes - 1) wet_out[i] = static_cast<float>(sum);
    }
  }
  for (long i = 0; i < size; ++i) (*buffer)[i] += static_cast<float>(wet * wet_out[i]);
}

void Normalize(std::vector<float>* buffer, double peak) {
  float largest = 0.0f;
  for (const float v : *buffer) largest = std::max(largest, std::fabs(v));
  if (largest <= 0.0f) return;
  const double scale = peak / largest;
  for (float& v : *buffer) v = static_cast<float>(v * scale);
}

void FadeEdges(std::vector<float>* buffer, long in, long out) {
  const long size = static_cast<long>(buffer->size());
  for (long i = 0; i < in && i < size; ++i) (*buffer)[i] *= static_cast<float>(Rise(static_cast<double>(i), in));
  for (long i = 0; i < out && i < size; ++i)
    (*buffer)[size - 1 - i] *= static_cast<float>(Rise(static_cast<double>(i), out));
}

std::vector<std::int16_t> ToPcm16(const std::vector<float>& buffer) {
  std::vector<std::int16_t> pcm(buffer.size());
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    const double v = std::clamp(static_cast<double>(buffer[i]) * 32767.0, -32768.0, 32767.0);
    pcm[i] = static_cast<std::int16_t>(std::lround(v));
  }
  return pcm;
}

}  // namespace databuild
