// The text rules shared by the CSV tables in the event folder, as pure functions over bytes so
// that the loaders and the fuzz target use the same code.
//
// Lines: the file is read as text, a CR LF pair counting as one line feed. A line holds at most
// kCsvLineBytes bytes; the rest of a longer line is read as a line of its own. The line feed that
// ends a line is not part of it.
//
// Fields: commas separate fields and a run of commas counts as one separator, so empty fields
// vanish ("a,,b" has the two fields a and b). A line without any field ends a table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr int kCsvLineBytes = 255;
inline constexpr int kCsvMaxFields = 8;

// Walks the lines of a text held in memory.
class CsvLineReader {
 public:
  explicit CsvLineReader(std::string_view text) : text_(text) {}

  // Copies the next line (without its line feed) into `line` and NUL-terminates it. False at
  // the end of the text. A line cut at kCsvLineBytes continues as the next line; when the cut
  // falls exactly on the line feed, that line feed still ends the cut line, so no empty line
  // (which would end the table) appears out of a full-length line.
  bool Next(char (&line)[kCsvLineBytes + 1]);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Fields of one line. The pointers point into the line, whose commas are replaced by NULs.
struct CsvFields {
  int count = 0;
  const char* field[kCsvMaxFields] = {};
  // The field i, or "" when the line has fewer fields.
  const char* At(int i) const { return i < count ? field[i] : ""; }
};

// Splits `line` in place; fields beyond kCsvMaxFields are ignored.
CsvFields SplitCsvFields(char* line);

// The number at the start of a field: optional blanks, an optional sign, then decimal digits up
// to the first other character; a field without leading digits gives 0. Values beyond the range
// [lo, hi] are held at its ends.
int ReadCsvNumber(const char* field, int lo, int hi);

// Copies `src` into a fixed field of `size` bytes with its NUL. A string longer than size - 1
// bytes is cut, and never between the two bytes of a double-byte (CP932) character. The bytes
// after the NUL are left as they were.
void CopyFixedString(char* dst, std::size_t size, const char* src);

// Turns a..z into A..Z in place, leaving the second byte of each double-byte character alone.
void UpperCaseAscii(char* s);

// True for a byte that starts a double-byte CP932 character.
inline bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
