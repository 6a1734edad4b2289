// Japanese line breaking in its hanging form: a punctuation mark or small kana that would begin a
// line may instead stand one position beyond the line's end. Shared by the scene message window
// (positions are characters) and the mail page layout (positions are bytes).
#pragma once

// True when the character at `ch` (one or two CP932 bytes) may hang past a line's end.
bool MayHang(const char* ch);

// Bytes of the CP932 character at `ch`: 2 for a lead byte followed by a second byte, else 1
// (0 at the terminating NUL).
int CharBytes(const char* ch);

class HangingLineBreaker {
 public:
  enum class Unit { kCharacter, kByte };

  // `positions` is N: positions 0 to N - 1 are the line, N takes one hanging character.
  HangingLineBreaker(int positions, Unit unit) : n_(positions), unit_(unit) {}

  struct Placement {
    bool new_line;  // the character begins the next line
    int position;   // where it goes in its line
  };

  // Places the next character (at `ch`) and moves past it.
  Placement Place(const char* ch);
  // Starts a fresh line at position 0 (a forced line or page end).
  void NewLine() { p_ = 0; }
  int position() const { return p_; }

 private:
  int n_;
  Unit unit_;
  int p_ = 0;
};
