#include "story/csv_text.h"

#include <climits>
#include <cstring>

bool CsvLineReader::Next(char (&line)[kCsvLineBytes + 1]) {
  if (pos_ >= text_.size()) return false;
  int n = 0;
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    // Text mode: CR LF reads as LF.
    const bool crlf = c == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
    if (c == '\n' || crlf) {
      pos_ += crlf ? 2 : 1;
      break;
    }
    if (n == kCsvLineBytes) break;  // the rest is read as the next line
    line[n++] = c;
    ++pos_;
  }
  line[n] = '\0';
  return true;
}

CsvFields SplitCsvFields(char* line) {
  CsvFields out;
  char* p = line;
  while (*p != '\0') {
    while (*p == ',') *p++ = '\0';
    if (*p == '\0') break;
    if (out.count < kCsvMaxFields) out.field[out.count++] = p;
    while (*p != '\0' && *p != ',') ++p;
  }
  return out;
}

int ReadCsvNumber(const char* field, int lo, int hi) {
  const char* p = field;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value < lo) return lo;
  if (value > hi) return hi;
  return static_cast<int>(value);
}

void CopyFixedString(char* dst, std::size_t size, const char* src) {
  if (size == 0) return;
  std::size_t n = 0;
  while (src[n] != '\0') {
    const bool lead = IsCp932LeadByte(static_cast<unsigned char>(src[n])) && src[n + 1] != '\0';
    const std::size_t width = lead ? 2 : 1;
    if (n + width > size - 1) break;
    n += width;
  }
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

void UpperCaseAscii(char* s) {
  for (; *s != '\0'; ++s) {
    const auto b = static_cast<unsigned char>(*s);
    if (IsCp932LeadByte(b) && s[1] != '\0') {
      ++s;  // the second byte may look like a letter; it is not one
    } else if (b >= 'a' && b <= 'z') {
      *s = static_cast<char>(b - 'a' + 'A');
    }
  }
}
