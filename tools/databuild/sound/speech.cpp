// Runs `espeak-ng` on a temporary text file and reads back the WAVE file it writes. The same
// text always gives the same samples.
#include "sound/speech.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "sound/synth.h"

extern char** environ;

namespace databuild {
namespace {

// The voice: Japanese with a female variant, a little slower and higher than the default.
constexpr const char* kVoice = "ja+f3";
constexpr const char* kWordsPerMinute = "150";
constexpr const char* kPitch = "60";

// Decodes UTF-8 into code points; malformed bytes are skipped.
std::vector<char32_t> Decode(const std::string& s) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = 0;
    if (b < 0x80) c = b;
    else if ((b & 0xE0) == 0xC0) c = b & 0x1F, extra = 1;
    else if ((b & 0xF0) == 0xE0) c = b & 0x0F, extra = 2;
    else if ((b & 0xF8) == 0xF0) c = b & 0x07, extra = 3;
    else { ++i; continue; }
    bool ok = true;
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + k >= s.size()) { ok = false; break; }
      const auto n = static_cast<unsigned char>(s[i + k]);
      if ((n & 0xC0) != 0x80) ok = false;
      else c = (c << 6) | (n & 0x3F);
    }
    if (!ok) { ++i; continue; }
    out.push_back(c);
    i += extra + 1;
  }
  return out;
}

void Encode(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsKanji(char32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) ||
         c == 0x3005 /* 々 */ || c == 0x3006 /* 〆 */ || c == 0x30F6 /* ヶ */;
}
bool IsLatin(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }
bool IsJapanese(char32_t c) { return (c >= 0x3040 && c <= 0x30FF) || IsKanji(c); }

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// The samples of a 16-bit PCM WAVE file (mixed to mono and brought to kSampleRate).
bool ReadWave(const std::filesystem::path& file, std::vector<float>* samples) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) return false;
  int channels = 0, bits = 0;
  long rate = 0;
  std::size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::uint32_t size = Le(b, at + 4, 4);
    const std::size_t body = at + 8;
    // espeak-ng writes 0x7FFFFFFF as the size when it streams; take what is there.
    const std::size_t end = std::min<std::size_t>(b.size(), body + static_cast<std::size_t>(size));
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && end - body >= 16) {
      if (Le(b, body, 2) != 1) return false;
      channels = static_cast<int>(Le(b, body + 2, 2));
      rate = static_cast<long>(Le(b, body + 4, 4));
      bits = static_cast<int>(Le(b, body + 14, 2));
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      if (channels < 1 || bits != 16 || rate <= 0) return false;
      const std::size_t frames = (end - body) / (2 * static_cast<std::size_t>(channels));
      std::vector<float> mono(frames);
      for (std::size_t f = 0; f < frames; ++f) {
        double sum = 0.0;
        for (int c = 0; c < channels; ++c)
          sum += static_cast<std::int16_t>(Le(b, body + (f * channels + c) * 2, 2)) / 32768.0;
        mono[f] = static_cast<float>(sum / channels);
      }
      if (rate == kSampleRate) {
        *samples = std::move(mono);
      } else {  // linear interpolation is enough for speech
        const std::size_t n = static_cast<std::size_t>(static_cast<double>(frames) * kSampleRate / rate);
        samples->assign(n, 0.0f);
        for (std::size_t i = 0; i < n; ++i) {
          const double pos = static_cast<double>(i) * rate / kSampleRate;
          const std::size_t k = static_cast<std::size_t>(pos);
          const double frac = pos - static_cast<double>(k);
          const float a = mono[std::min(k, frames - 1)], c = mono[std::min(k + 1, frames - 1)];
          (*samples)[i] = static_cast<float>(a + (c - a) * frac);
        }
      }
      return true;
    }
    at = body + static_cast<std::size_t>(size) + (size & 1);
    if (size >= 0x7FFFFFFFu) break;
  }
  return false;
}

// A fresh empty file in the temporary folder; empty path on failure.
std::filesystem::path TempFile(const char* suffix) {
  std::error_code ec;
  std::string pattern = (std::filesystem::temp_directory_path(ec) / "velmora-speech-XXXXXX").string() + suffix;
  const int fd = mkstemps(pattern.data(), static_cast<int>(std::strlen(suffix)));
  if (fd < 0) return {};
  close(fd);
  return pattern;
}

}  // namespace

std::string SpeechText(const std::string& textUtf8) {
  const std::vector<char32_t> in = Decode(textUtf8);
  std::vector<char32_t> out;
  std::size_t kanji_run_start = std::string::npos;  // where in `out` the current kanji run began
  for (std::size_t i = 0; i < in.size(); ++i) {
    char32_t c = in[i];
    if (c == U'《') {
      const std::size_t close = [&] {
        for (std::size_t k = i + 1; k < in.size(); ++k)
          if (in[k] == U'》') return k;
        return in.size();
      }();
      if (kanji_run_start != std::string::npos) out.resize(kanji_run_start);
      kanji_run_start = std::string::npos;
      for (std::size_t k = i + 1; k < close; ++k) out.push_back(in[k]);
      i = close;
      continue;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) c = c - 0xFF01 + 0x21;  // full-width ASCII
    if (c == 0x3000 || c == '\r' || c == '\n' || c == '\t') c = ' ';
    if (c < 0x20 || c == 0x7F) continue;
    if (IsKanji(c)) {
      if (kanji_run_start == std::string::npos) kanji_run_start = out.size();
    } else {
      // The kanji run has ended without a reading: leave it out.
      if (kanji_run_start != std::string::npos) out.resize(kanji_run_start);
      kanji_run_start = std::string::npos;
    }
    if (!out.empty() && IsLatin(out.back()) && IsJapanese(c)) out.push_back(' ');
    out.push_back(c);
  }
  if (kanji_run_start != std::string::npos) out.resize(kanji_run_start);
  std::string text;
  for (const char32_t c : out) Encode(c, &text);
  return text;
}

bool Speak(const std::string& textUtf8, std::vector<float>* samples) {
  const std::filesystem::path text_file = TempFile(".txt");
  const std::filesystem::path wave_file = TempFile(".wav");
  if (text_file.empty() || wave_file.empty()) {
    std::fprintf(stderr, "databuild: cannot create a temporary file for speech\n");
    return false;
  }
  {
    std::ofstream t(text_file, std::ios::binary);
    t << SpeechText(textUtf8) << "\n";
  }
  std::string text_arg = text_file.string(), wave_arg = wave_file.string();
  const char* argv[] = {"espeak-ng", "-v", kVoice, "-s", kWordsPerMinute, "-p", kPitch, "-b", "1",
                        "-f", text_arg.c_str(), "-w", wave_arg.c_str(), nullptr};
  pid_t pid = 0;
  int status = -1;
  const int spawned = posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, const_cast<char* const*>(argv), environ);
  if (spawned == 0) {
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  bool ok = spawned == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ReadWave(wave_file, samples);
  std::error_code ec;
  std::filesystem::remove(text_file, ec);
  std::filesystem::remove(wave_file, ec);
  if (spawned != 0) {
    std::fprintf(stderr, "databuild: cannot run espeak-ng (%s); install the espeak-ng package\n", std::strerror(spawned));
    return false;
  }
  if (!ok) {
    std::fprintf(stderr, "databuild: espeak-ng gave no usable sound\n");
    return false;
  }
  return true;
}

}  // namespace databuild
