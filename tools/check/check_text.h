// Reading data texts the way the game does: line numbers for offsets, and the rows of a table
// file as the game's loaders see them.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "check_context.h"

namespace check {

// Maps byte offsets of a text to 1-based line numbers (a line feed ends a line).
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);
  int LineOf(std::size_t offset) const;

 private:
  std::vector<std::size_t> starts_;
};

// One data row of a table file: the line it stands on and its fields (empty fields vanish).
struct TableRow {
  int line;
  std::vector<std::string> fields;
};

// The data rows of a table file as the game's loader reads them: the header skipped, lines cut
// at 255 bytes, a line without fields ending the table, and at most capacity - 1 rows kept.
// Reports over-long lines, rows ignored after an empty line and rows over capacity.
std::vector<TableRow> ReadTableRows(Context& ctx, std::string_view file, std::string_view text, int capacity);

}  // namespace check
