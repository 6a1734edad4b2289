// The heroine's speaking voice: espeak-ng's Japanese voice, run as a child process.
#pragma once
#include <string>
#include <vector>

namespace databuild {

// The text as it is handed to the speech synthesiser. The Japanese voice reads kana (and Latin
// letters and digits), but not kanji, which it would spell out as foreign letters; so a kanji
// run followed by a reading in 《》 is replaced by that reading ("今日《きょう》" reads "きょう"),
// and kanji without a reading are left out. Full-width ASCII becomes ASCII, line breaks become
// blanks, and a blank is put between Latin letters or digits and the Japanese text after them.
std::string SpeechText(const std::string& textUtf8);

// Speaks `textUtf8` (prepared by SpeechText) into mono samples at kSampleRate. False, after a
// line on stderr, when espeak-ng cannot be run or gives no usable sound.
bool Speak(const std::string& textUtf8, std::vector<float>* samples);

}  // namespace databuild
