// Short effects: a soft click for buttons, chimes and little arpeggios.
#include "sound/effects.h"

#include <cmath>

#include "assets.h"
#include "sound/synth.h"
#include "sound/wave_writer.h"

namespace databuild {
namespace {

constexpr double kTwoPi = 6.28318530717958647692;

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

long Ms(double ms) { return std::lround(ms * kSampleRate / 1000.0); }

// A soft wooden tick: two damped partials and a breath of noise, 45 ms.
std::vector<float> Click() {
  std::vector<float> out(static_cast<std::size_t>(Ms(45)), 0.0f);
  Rng rng(0xC11Cu);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double attack = std::min(1.0, t / 0.0008);
    const double body = std::sin(kTwoPi * 1500.0 * t) * std::exp(-t / 0.007) +
                        0.4 * std::sin(kTwoPi * 2650.0 * t) * std::exp(-t / 0.004);
    const double noise = (rng.Uniform() * 2.0 - 1.0) * 0.15 * std::exp(-t / 0.002);
    out[i] = static_cast<float>(attack * (body + noise));
  }
  return out;
}

// Notes (MIDI, start in ms) of one instrument into a buffer of `total_ms`.
struct Hit {
  double midi;
  double at_ms;
  double gain;
};
std::vector<float> Notes(Instrument instrument, std::initializer_list<Hit> hits, double note_ms, double total_ms,
                         double reverb) {
  std::vector<float> out(static_cast<std::size_t>(Ms(total_ms)), 0.0f);
  for (const Hit& h : hits) AddNote(&out, false, instrument, Ms(h.at_ms), Ms(note_ms), h.midi, h.gain);
  AddReverb(&out, false, reverb);
  return out;
}

// A soft rising or falling swish of filtered noise and a gliding tone.
std::vector<float> Sweep(double from_hz, double to_hz, double ms, std::uint32_t seed) {
  std::vector<float> out(static_cast<std::size_t>(Ms(ms)), 0.0f);
  Rng rng(seed);
  double phase = 0.0, low = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double x = static_cast<double>(i) / out.size();
    const double hz = from_hz * std::pow(to_hz / from_hz, x);
    phase += kTwoPi * hz / kSampleRate;
    low += 0.08 * ((rng.Uniform() * 2.0 - 1.0) - low);
    const double envelope = std::sin(3.14159265358979 * x);
    out[i] = static_cast<float>(envelope * envelope * (0.6 * std::sin(phase) + 0.8 * low));
  }
  return out;
}

std::vector<float> FromName(const std::string& name) {
  Rng rng(NameHash(Lower(name)));
  const double root = 72 + rng.Below(12);
  switch (rng.Below(5)) {
    case 0: return Notes(Instrument::kBell, {{root + 7, 0, 0.5}, {root, 160, 0.5}}, 300, 1000, 0.2);
    case 1: return Notes(Instrument::kPluck, {{root, 0, 0.4}, {root + 4, 70, 0.4}, {root + 7, 140, 0.4}, {root + 12, 210, 0.4}}, 200, 800, 0.2);
    case 2: return Notes(Instrument::kPluck, {{root + 12, 0, 0.4}, {root + 7, 70, 0.4}, {root + 4, 140, 0.4}, {root, 210, 0.4}}, 200, 800, 0.2);
    case 3: return Notes(Instrument::kPiano, {{root, 0, 0.5}}, 120, 500, 0.15);
    default: return Sweep(300.0 + rng.Below(300), 1200.0 + rng.Below(800), 350, rng.Next());
  }
}

}  // namespace

std::vector<float> RenderEffect(const std::string& name) {
  const std::string key = Lower(name);
  std::vector<float> out;
  if (key == "click") {
    out = Click();
  } else if (key == "soundtest") {
    // A two-note chime, a fourth down: loud enough to judge a volume setting by.
    out = Notes(Instrument::kBell, {{88, 0, 0.5}, {83, 180, 0.5}}, 350, 1100, 0.2);
  } else if (key == "a5_02042") {
    // The menu sliding in: a quick rising arpeggio on the harp.
    out = Notes(Instrument::kPluck, {{72, 0, 0.35}, {76, 45, 0.35}, {79, 90, 0.35}, {84, 135, 0.4}}, 160, 700, 0.2);
  } else if (key == "se") {
    // The general chime.
    out = Notes(Instrument::kBell, {{84, 0, 0.5}, {91, 90, 0.35}}, 300, 900, 0.2);
  } else {
    out = FromName(name);
  }
  FadeEdges(&out, 0, Ms(8));
  Normalize(&out, key == "click" ? 0.45 : 0.55);
  return out;
}

bool BuildEffect(const std::filesystem::path& file, const std::string& name) {
  return WriteWave(file, ToPcm16(RenderEffect(name)), kSampleRate);
}

}  // namespace databuild
