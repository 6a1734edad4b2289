// The composer: a piece is a key, a tempo, a bar length, a chord progression and three parts
// (a melody made of a repeated motif, an accompaniment and a bass), all rendered into one loop.
#include "sound/music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "assets.h"
#include "sound/synth.h"
#include "sound/wave_writer.h"

namespace databuild {
namespace {

enum class Accompaniment { kPad, kArpeggio, kWaltz, kStabs };

struct Piece {
  int root;                  // MIDI note of the key's tonic (around middle C)
  int bpm;
  int beats;                 // 3 or 4 beats a bar
  std::array<int, 4> chords; // scale degrees 0..6, played twice over the eight bars
  Instrument lead;
  Accompaniment accompaniment;
  bool shaker;
  bool walking_bass;
  std::uint32_t seed;
};

constexpr int kBars = 8;
constexpr int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};

// The pieces the program itself asks for: the title and the five rooms.
struct NamedPiece {
  const char* name;
  Piece piece;
};
const NamedPiece kNamedPieces[] = {
    // Title: a slow music-box waltz in F.
    {"bgm10", {65, 96, 3, {0, 5, 3, 4}, Instrument::kBell, Accompaniment::kWaltz, false, false, 0x7A11u}},
    // The palace room: a flute over harp arpeggios in G.
    {"bgm01", {67, 104, 3, {0, 3, 4, 0}, Instrument::kFlute, Accompaniment::kArpeggio, false, false, 0x0101u}},
    // The heroine's own room: electric piano over a pad in C, a light shaker.
    {"bgm02", {60, 100, 4, {0, 5, 3, 4}, Instrument::kPiano, Accompaniment::kPad, true, false, 0x0202u}},
    // The hamster hut: music box over plucked chords in D.
    {"bgm03", {62, 112, 4, {0, 3, 0, 4}, Instrument::kBell, Accompaniment::kArpeggio, true, false, 0x0303u}},
    // The riverside flat: a flute over harp in A, unhurried.
    {"bgm04", {57, 100, 4, {5, 3, 0, 4}, Instrument::kFlute, Accompaniment::kArpeggio, false, false, 0x0404u}},
    // The rocker's room: piano chords and a walking bass in E.
    {"bgm05", {64, 120, 4, {0, 4, 5, 3}, Instrument::kPiano, Accompaniment::kStabs, true, true, 0x0505u}},
};

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// A piece for any other name, built from the name's hash.
Piece PieceFromName(const std::string& name) {
  const std::uint32_t h = NameHash(Lower(name));
  Rng rng(h);
  static const std::array<int, 4> kProgressions[] = {
      {0, 5, 3, 4}, {0, 3, 5, 4}, {5, 3, 0, 4}, {0, 2, 3, 4}, {3, 4, 2, 5}, {0, 4, 5, 3}};
  static const Instrument kLeads[] = {Instrument::kPiano, Instrument::kBell, Instrument::kFlute, Instrument::kPluck};
  static const Accompaniment kAccompaniments[] = {Accompaniment::kPad, Accompaniment::kArpeggio,
                                                  Accompaniment::kStabs, Accompaniment::kPad};
  Piece p{};
  p.root = 57 + rng.Below(11);
  p.beats = rng.Below(4) == 0 ? 3 : 4;
  p.bpm = p.beats == 3 ? 92 + rng.Below(20) : 100 + rng.Below(24);
  p.chords = kProgressions[rng.Below(6)];
  p.lead = kLeads[rng.Below(4)];
  p.accompaniment = p.beats == 3 ? (rng.Below(2) ? Accompaniment::kWaltz : Accompaniment::kArpeggio)
                                 : kAccompaniments[rng.Below(4)];
  p.shaker = rng.Below(3) == 0;
  p.walking_bass = p.beats == 4 && rng.Below(4) == 0;
  p.seed = h | 1u;
  return p;
}

Piece ChoosePiece(const std::string& name) {
  const std::string key = Lower(name);
  for (const NamedPiece& n : kNamedPieces)
    if (key == n.name) return n.piece;
  return PieceFromName(name);
}

// A scale step (0 = tonic, 7 = the octave above) as semitones above the tonic.
int StepToSemitones(int step) {
  const int octave = step >= 0 ? step / 7 : -((-step + 6) / 7);
  return octave * 12 + kMajor[step - octave * 7];
}

// The rhythms of one bar, in eighths.
const std::vector<std::vector<int>>& Rhythms(int beats) {
  static const std::vector<std::vector<int>> four = {{4, 2, 2}, {2, 2, 2, 2}, {3, 1, 4}, {2, 2, 4},
                                                     {6, 2},    {2, 1, 1, 4}, {3, 1, 2, 2}};
  static const std::vector<std::vector<int>> three = {{2, 2, 2}, {4, 2}, {3, 1, 2}, {2, 4}, {2, 1, 1, 2}};
  return beats == 3 ? three : four;
}
const std::vector<int>& EndingRhythm(int beats) {
  static const std::vector<int> four = {4, 4}, three = {4, 2};
  return beats == 3 ? three : four;
}

// The nearest tone of the chord on `degree` to `step` (scale steps).
int NearestChordTone(int step, int degree) {
  int best = step, best_distance = 100;
  for (int octave = -2; octave <= 3; ++octave)
    for (int k = 0; k < 3; ++k) {
      const int tone = degree + 2 * k + 7 * octave;
      const int distance = std::abs(tone - step);
      if (distance < best_distance) best_distance = distance, best = tone;
    }
  return best;
}

struct MelodyNote {
  int start_eighth;  // from the start of the loop
  int eighths;
  int step;          // scale step above the tonic
  bool strong;
};

// The melody: bars 0-1 state a motif, 2-3 answer it, 4-5 repeat the motif over the second
// round of chords, 6 runs on and 7 comes to rest (leading back to bar 0 when the loop repeats).
std::vector<MelodyNote> ComposeMelody(const Piece& p, Rng* rng) {
  const int bar_eighths = p.beats * 2;
  const auto& rhythms = Rhythms(p.beats);
  std::vector<int> rhythm_of_bar[kBars];
  rhythm_of_bar[0] = rhythms[rng->Below(static_cast<int>(rhythms.size()))];
  rhythm_of_bar[1] = rhythms[rng->Below(static_cast<int>(rhythms.size()))];
  rhythm_of_bar[2] = rhythm_of_bar[0];
  rhythm_of_bar[3] = rhythms[rng->Below(static_cast<int>(rhythms.size()))];
  rhythm_of_bar[4] = rhythm_of_bar[0];
  rhythm_of_bar[5] = rhythm_of_bar[1];
  rhythm_of_bar[6] = rhythms[rng->Below(static_cast<int>(rhythms.size()))];
  rhythm_of_bar[7] = EndingRhythm(p.beats);

  std::vector<MelodyNote> notes;
  std::vector<int> motif_steps[kBars];  // the intervals of each bar, for the repeats
  int previous = 7 + 2;                 // start around the third above the octave's tonic
  for (int bar = 0; bar < kBars; ++bar) {
    const int degree = p.chords[bar % 4];
    const int repeat_of = (bar == 4) ? 0 : (bar == 5) ? 1 : (bar == 2) ? 0 : -1;
    int eighth = 0;
    int index = 0;
    for (const int length : rhythm_of_bar[bar]) {
      const bool strong = eighth == 0 || eighth == bar_eighths / 2 || (p.beats == 3 && eighth == 0);
      int step;
      if (repeat_of >= 0 && index < static_cast<int>(motif_steps[repeat_of].size()) && index > 0) {
        step = previous + motif_steps[repeat_of][index];
      } else if (strong) {
        step = NearestChordTone(previous + rng->Below(5) - 2, degree);
      } else {
        static const int kMoves[] = {-2, -1, -1, 1, 1, 2, 0, 3};
        step = previous + kMoves[rng->Below(8)];
      }
      if (strong) step = NearestChordTone(step, degree);
      // Keep the tune within an octave and a half; lean back towards the middle.
      if (step > 14) step -= 2;
      if (step < 4) step += 2;
      if (bar == kBars - 1 && index == static_cast<int>(rhythm_of_bar[bar].size()) - 1)
        step = NearestChordTone(step, degree);  // the last note rests on the chord
      motif_steps[bar].push_back(index == 0 ? 0 : step - previous);
      notes.push_back({bar * bar_eighths + eighth, length, step, strong});
      previous = step;
      eighth += length;
      ++index;
    }
  }
  return notes;
}

std::vector<float> Render(const Piece& p) {
  const long eighth = std::lround(kSampleRate * 60.0 / p.bpm / 2.0);
  const int bar_eighths = p.beats * 2;
  const long total = eighth * bar_eighths * kBars;
  std::vector<float> mix(static_cast<std::size_t>(total), 0.0f);
  Rng rng(p.seed);

  // Melody, an octave above the key's tonic (the flute and the bell a little higher).
  const int lead_base = p.root + (p.lead == Instrument::kPiano || p.lead == Instrument::kPluck ? 0 : 12);
  for (const MelodyNote& n : ComposeMelody(p, &rng)) {
    const double gain = (n.strong ? 0.30 : 0.25) * (0.92 + 0.12 * rng.Uniform());
    const long length = n.eighths * eighth - eighth / 6;  // a breath between notes
    AddNote(&mix, true, p.lead, n.start_eighth * eighth, length, lead_base + StepToSemitones(n.step), gain);
  }

  for (int bar = 0; bar < kBars; ++bar) {
    const int degree = p.chords[bar % 4];
    const long bar_start = static_cast<long>(bar) * bar_eighths * eighth;
    // Chord tones around the tonic, the root at most a fifth below it.
    int tones[3];
    for (int k = 0; k < 3; ++k) tones[k] = p.root - 12 + StepToSemitones(degree + 2 * k);
    if (tones[0] < p.root - 17) for (int& t : tones) t += 12;
    switch (p.accompaniment) {
      case Accompaniment::kPad:
        for (const int t : tones) AddNote(&mix, true, Instrument::kPad, bar_start, bar_eighths * eighth, t + 12, 0.075);
        break;
      case Accompaniment::kArpeggio: {
        static const int four[8] = {0, 1, 2, 3, 4, 3, 2, 1}, three[6] = {0, 1, 2, 3, 2, 1};
        for (int e = 0; e < bar_eighths; ++e) {
          const int i = p.beats == 3 ? three[e] : four[e];
          const int tone = tones[i % 3] + 12 * (i / 3) + 12;
          AddNote(&mix, true, Instrument::kPluck, bar_start + e * eighth, 2 * eighth, tone, e == 0 ? 0.13 : 0.10);
        }
        break;
      }
      case Accompaniment::kWaltz:
        for (int beat = 1; beat < 3; ++beat)
          for (const int t : tones)
            AddNote(&mix, true, Instrument::kPiano, bar_start + beat * 2 * eighth, eighth * 3 / 2, t + 12, 0.06);
        break;
      case Accompaniment::kStabs:
        for (const int e : {0, 3, 6})
          for (const int t : tones)
            AddNote(&mix, true, Instrument::kPiano, bar_start + e * eighth, 2 * eighth, t + 12, e == 0 ? 0.075 : 0.06);
        break;
    }
    // Bass: the chord's root on the bar's first beat (and its fifth halfway in four-four), or a
    // walk of root, fifth, octave, fifth.
    const int bass_root = p.root - 24 + StepToSemitones(degree) - (degree > 4 ? 12 : 0);
    if (p.walking_bass) {
      const int walk[4] = {0, 7, 12, 7};
      for (int beat = 0; beat < 4; ++beat)
        AddNote(&mix, true, Instrument::kBass, bar_start + beat * 2 * eighth, 2 * eighth - eighth / 4,
                bass_root + walk[beat], 0.24);
    } else if (p.beats == 4) {
      AddNote(&mix, true, Instrument::kBass, bar_start, 4 * eighth - eighth / 4, bass_root, 0.27);
      AddNote(&mix, true, Instrument::kBass, bar_start + 4 * eighth, 4 * eighth - eighth / 4, bass_root + 7, 0.22);
    } else {
      AddNote(&mix, true, Instrument::kBass, bar_start, 2 * eighth, bass_root, 0.27);
    }
    if (p.shaker)
      for (int e = 0; e < bar_eighths; ++e)
        AddShaker(&mix, true, bar_start + e * eighth, e % 2 ? 0.10 : 0.05, p.seed + static_cast<std::uint32_t>(bar * 16 + e));
  }
  AddReverb(&mix, true, 0.30);
  Normalize(&mix, 0.70);
  // Start the loop at its quietest sample within the first 20 ms, so that the music does not
  // begin with a step from silence. The loop is circular, so turning it keeps it seamless.
  std::size_t quietest = 0;
  for (std::size_t i = 1; i < static_cast<std::size_t>(kSampleRate / 50); ++i)
    if (std::fabs(mix[i]) < std::fabs(mix[quietest])) quietest = i;
  std::rotate(mix.begin(), mix.begin() + static_cast<long>(quietest), mix.end());
  return mix;
}

}  // namespace

std::vector<float> RenderMusicLoop(const std::string& name) { return Render(ChoosePiece(name)); }

std::vector<float> RenderMusicBed(const std::string& name, long samples, long fade_in) {
  const std::vector<float> loop = RenderMusicLoop(name);
  std::vector<float> bed(static_cast<std::size_t>(std::max(0L, samples)), 0.0f);
  for (std::size_t i = 0; i < bed.size(); ++i) bed[i] = loop[i % loop.size()];
  FadeEdges(&bed, fade_in, std::min<long>(2 * kSampleRate, samples / 3));
  return bed;
}

bool BuildMusic(const std::filesystem::path& file, const std::string& name) {
  return WriteWave(file, ToPcm16(RenderMusicLoop(name)), kSampleRate);
}

}  // namespace databuild
