// The event table "sEventTable.csv": for each day and time slot, the opening scene, the mail or
// broadcast and the closing scene, with a condition on the story parameters and on what has been
// seen. The first row of the slot whose condition holds is the slot's event.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class CDebugLog;

// One row (388 bytes). A name field holds "-" for "nothing".
struct EventRow {
  std::int16_t day;          // 1 to 31; -1 marks the row after the last
  std::int16_t time;         // time slot, from 1
  char monS[32];             // opening scene
  char Mail[64];             // mail or broadcast of the slot
  char MonE[32];             // closing scene
  char condition[256];       // empty: always
};
static_assert(sizeof(EventRow) == 388);

struct EventTable {
  static constexpr int kCapacity = 256;
  EventRow rows[kCapacity];
  std::int32_t count;  // rows loaded; rows[count].day is -1
};

extern EventTable eventTable;
// The row chosen for the current time slot (not saved; a loaded game chooses it again).
extern EventRow curEvent;

// The loader's work on a text in memory: fills `rows` (capacity at least 1), writes the end
// mark and returns the row count; row lines and the total go to `log`.
int ParseEventTable(std::string_view text, EventRow* rows, int capacity, CDebugLog& log);
// Fills eventTable from the file.
void LoadEventTable(const std::string& path);

// Evaluates a condition strictly from left to right: 1 true, 0 false. Terms: "E=name" seen,
// "E!name" not seen, "P<i:v", "P=i:v", "P>i:v" on param[i], "N" never; joined by "&" and "|".
int EvalRule(const char* text);

// Chooses curEvent for svparam.day and svparam.time: the first row in file order whose rule
// holds. Without one, curEvent keeps the row it had.
void ChkAndSetEvent();
// After a load: chooses curEvent with the parameters the slot began with (param[2], param[3]).
void ReselectEvent();
