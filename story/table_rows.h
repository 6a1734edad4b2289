// The row walk and the file reading that every table of the event folder shares.
#pragma once
#include <string>
#include <string_view>

#include "app/debug_log.h"
#include "story/csv_text.h"

// Walks the data lines of a table text: the header is skipped, a line without fields ends the
// table, and a row that would take the end mark's place is dropped with a log line. `fill` gets
// the row index and the line's fields. Returns the number of rows filled.
template <class Fill>
int ParseRows(std::string_view text, int capacity, const char* label, int fields_needed, CDebugLog& log,
              Fill fill) {
  CsvLineReader reader(text);
  char line[kCsvLineBytes + 1];
  if (!reader.Next(line)) return 0;  // the header, whatever it holds
  int n = 0;
  while (reader.Next(line)) {
    const CsvFields fields = SplitCsvFields(line);
    if (fields.count == 0) break;
    if (n >= capacity - 1) {
      log.Printf("--- %s TB FULL --- %d rows kept, the rest of the file is dropped\n", label, n);
      break;
    }
    if (fields.count < fields_needed)
      log.Printf("%s TB row %d: %d of %d fields, the missing ones are left empty\n", label, n, fields.count,
                 fields_needed);
    fill(n, fields);
    ++n;
  }
  return n;
}

// The start of a table file (the first MiB: more than any table can hold) or, when it cannot be
// opened, an empty text after a log line naming the table.
std::string TableText(const std::string& path, const char* label);
