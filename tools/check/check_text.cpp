#include "check_text.h"

#include <algorithm>

#include "story/csv_text.h"

namespace check {

LineIndex::LineIndex(std::string_view text) {
  starts_.push_back(0);
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts_.push_back(i + 1);
}

int LineIndex::LineOf(std::size_t offset) const {
  const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<int>(it - starts_.begin());
}

std::vector<TableRow> ReadTableRows(Context& ctx, std::string_view file, std::string_view text, int capacity) {
  std::vector<TableRow> rows;
  // Each physical line is cut into the pieces the game's line reader makes of it, so that every
  // row keeps the number of the line it came from.
  struct Piece {
    int line;
    std::string text;
  };
  std::vector<Piece> pieces;
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    ++number;
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r' && end < text.size()) line.remove_suffix(1);
    start = end + 1;
    if (line.size() > static_cast<std::size_t>(kCsvLineBytes))
      ctx.Reportf(file, number,
                  "line is %zu bytes long; the game reads at most %d bytes and the rest as a row of its own",
                  line.size(), kCsvLineBytes);
    CsvLineReader reader(line);
    char buffer[kCsvLineBytes + 1];
    bool any = false;
    while (reader.Next(buffer)) {
      pieces.push_back({number, buffer});
      any = true;
    }
    if (!any) pieces.push_back({number, ""});
  }
  if (pieces.empty()) {
    ctx.Report(file, 0, "file is empty: it has not even its header line");
    return rows;
  }
  for (std::size_t i = 1; i < pieces.size(); ++i) {  // piece 0 is the header, whatever it holds
    std::string copy = pieces[i].text;
    const CsvFields fields = SplitCsvFields(copy.data());
    if (fields.count == 0) {
      int ignored = 0;
      for (std::size_t j = i + 1; j < pieces.size(); ++j) {
        std::string rest = pieces[j].text;
        if (SplitCsvFields(rest.data()).count > 0) ++ignored;
      }
      if (ignored > 0)
        ctx.Reportf(file, pieces[i].line, "empty line ends the table here; the game ignores the %d row%s after it",
                    ignored, ignored == 1 ? "" : "s");
      break;
    }
    if (static_cast<int>(rows.size()) >= capacity - 1) {
      ctx.Reportf(file, pieces[i].line,
                  "row over capacity: the table holds at most %d rows; this row and the rest are dropped",
                  capacity - 1);
      break;
    }
    TableRow row{pieces[i].line, {}};
    for (int f = 0; f < fields.count; ++f) row.fields.emplace_back(fields.field[f]);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace check
