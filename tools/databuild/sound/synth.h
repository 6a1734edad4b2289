// A small synthesiser for the data set's music and effects: a handful of instrument voices
// rendered note by note into a mono float buffer, a plain reverb and the conversion to 16-bit
// samples. Everything is computed from its arguments alone, so the same call gives the same
// samples on every run.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace databuild {

inline constexpr int kSampleRate = 22050;

// A small deterministic random source (xorshift32).
class Rng {
 public:
  explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  std::uint32_t Next();
  double Uniform();               // [0, 1)
  int Below(int n);               // 0 .. n-1 (n > 0)

 private:
  std::uint32_t state_;
};

// FNV-1a of a name: the seed of everything chosen "by name".
std::uint32_t NameHash(std::string_view name);

enum class Instrument {
  kPiano,  // soft electric piano (FM)
  kBell,   // music box
  kPad,    // slow strings-like pad
  kBass,   // round bass
  kPluck,  // harp / nylon guitar
  kFlute,  // breathy sine lead
};

// Adds one note to `buffer` at `gain`. `start` and `length` are in samples; the note's release
// tail sounds on after `length`. With `wrap` the buffer is a loop: whatever runs past its end
// comes in again at its start, so the buffer can be played round and round without a seam;
// otherwise the tail is cut at the buffer's end.
void AddNote(std::vector<float>* buffer, bool wrap, Instrument instrument, long start, long length, double midi,
             double gain);

// A soft brushed noise hit (shaker) of about 60 ms.
void AddShaker(std::vector<float>* buffer, bool wrap, long start, double gain, std::uint32_t seed);

// A small room reverb. With `loop` the buffer is treated as one period of an endless loop (the
// reverb's tail of its end sounds at its start).
void AddReverb(std::vector<float>* buffer, bool loop, double wet);

// Scales the buffer so that its largest magnitude is `peak` (nothing happens to silence).
void Normalize(std::vector<float>* buffer, double peak);

// Fades the first `in` and the last `out` samples (raised-cosine ramps).
void FadeEdges(std::vector<float>* buffer, long in, long out);

// Rounds to 16-bit samples, clipped.
std::vector<std::int16_t> ToPcm16(const std::vector<float>& buffer);

double MidiToHz(double midi);

}  // namespace databuild
