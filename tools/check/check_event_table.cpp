#include "check_event_table.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/debug_log.h"
#include "check_references.h"
#include "check_text.h"
#include "story/event_table.h"

namespace check {

namespace {

constexpr int kDays = 31;
constexpr int kParamIndexes = 4;  // param[0] to param[3]
constexpr int kRuleDigits = 10;

// A name field that holds nothing: the game looks only at the first character.
bool IsNothing(const std::string& field) { return !field.empty() && field[0] == '-'; }

// Reads a signed decimal of the rule at `p`; false (with `p` unchanged) when no digit follows.
bool RuleNumber(std::string_view rule, std::size_t& p, long long* value, bool* too_long) {
  std::size_t q = p;
  bool negative = false;
  if (q < rule.size() && (rule[q] == '-' || rule[q] == '+')) negative = rule[q++] == '-';
  const std::size_t digits = q;
  long long v = 0;
  while (q < rule.size() && rule[q] >= '0' && rule[q] <= '9') {
    if (q - digits < kRuleDigits) v = v * 10 + (rule[q] - '0');
    ++q;
  }
  if (q == digits) return false;
  *too_long = q - digits > kRuleDigits;
  *value = negative ? -v : v;
  p = q;
  return true;
}

}  // namespace

void CheckRule(Context& ctx, std::string_view file, int line, std::string_view rule) {
  std::size_t p = 0;
  bool first = true;    // no term read yet
  bool joined = false;  // an operator stands before the next term
  while (p < rule.size()) {
    const std::size_t at = p;
    const char c = rule[p];
    if (c == '&' || c == '|') {
      if (joined || first)
        ctx.Reportf(file, line, "rule %s: '%c' at column %zu joins no term", Quote(rule).c_str(), c, at + 1);
      joined = true;
      ++p;
      if (p == rule.size())
        ctx.Reportf(file, line, "rule %s ends with '%c'; a term must follow it", Quote(rule).c_str(), c);
      continue;
    }
    if (c != 'E' && c != 'N' && c != 'P') {
      ctx.Reportf(file, line, "rule %s: unexpected character '%c' at column %zu (terms are E=, E!, P<, P=, P> and N)",
                  Quote(rule).c_str(), c, at + 1);
      ++p;
      continue;
    }
    if (!first && !joined)
      ctx.Reportf(file, line, "rule %s: the term at column %zu has no '&' or '|' before it", Quote(rule).c_str(),
                  at + 1);
    first = false;
    joined = false;
    ++p;
    if (c == 'N') continue;
    const char u = p < rule.size() ? rule[p] : '\0';
    if (c == 'E') {
      if (u != '=' && u != '!') {
        ctx.Reportf(file, line, "rule %s: 'E' at column %zu must be followed by '=' or '!'", Quote(rule).c_str(),
                    at + 1);
        continue;
      }
      ++p;
      const std::size_t end = rule.find_first_of("&|", p);
      const std::string_view name = rule.substr(p, end == std::string_view::npos ? std::string_view::npos : end - p);
      p += name.size();
      if (!CheckName(ctx, file, line, name, "rule's script name")) continue;
      if (ctx.FindScript(name) < 0)
        ctx.Reportf(file, line, "rule %s names %s, which is not in %s", Quote(rule).c_str(), Quote(name).c_str(),
                    kScriptList);
      continue;
    }
    // 'P'
    if (u != '<' && u != '=' && u != '>') {
      ctx.Reportf(file, line, "rule %s: 'P' at column %zu must be followed by '<', '=' or '>'", Quote(rule).c_str(),
                  at + 1);
      continue;
    }
    ++p;
    long long index = 0;
    long long value = 0;
    bool too_long = false;
    if (!RuleNumber(rule, p, &index, &too_long)) {
      ctx.Reportf(file, line, "rule %s: the term at column %zu has no parameter index", Quote(rule).c_str(), at + 1);
      continue;
    }
    if (too_long || index < 0 || index >= kParamIndexes)
      ctx.Reportf(file, line, "rule %s: parameter index %lld at column %zu is outside 0 to %d", Quote(rule).c_str(),
                  index, at + 1, kParamIndexes - 1);
    if (p < rule.size() && rule[p] == ':') ++p;
    if (!RuleNumber(rule, p, &value, &too_long)) {
      ctx.Reportf(file, line, "rule %s: the term at column %zu has no value to compare with", Quote(rule).c_str(),
                  at + 1);
      continue;
    }
    if (too_long)
      ctx.Reportf(file, line, "rule %s: the value of the term at column %zu has more than %d digits",
                  Quote(rule).c_str(), at + 1, kRuleDigits);
  }
}

void CheckEventTable(Context& ctx) {
  std::string text;
  if (!ctx.ReadFile(kEventTable, &text)) {
    ctx.Report(kEventTable, 0, "the event table is missing; no day has a scene or a mail");
    return;
  }
  // The rows as the game loads them, for the day and time numbers.
  CDebugLog quiet;
  std::vector<EventRow> loaded(EventTable::kCapacity);
  const int count = ParseEventTable(text, loaded.data(), EventTable::kCapacity, quiet);

  const std::vector<TableRow> rows = ReadTableRows(ctx, kEventTable, text, EventTable::kCapacity);
  std::set<int> days;
  std::set<std::pair<int, int>> slots;  // (day, time) of every row
  for (std::size_t i = 0; i < rows.size() && static_cast<int>(i) < count; ++i) {
    const TableRow& row = rows[i];
    const EventRow& event = loaded[i];
    if (row.fields.size() < 5) {
      ctx.Reportf(kEventTable, row.line,
                  "row has %zu of its 5 fields (day, time, monS, Mail, MonE); write \"-\" for an empty one",
                  row.fields.size());
      continue;
    }
    if (event.day < 1 || event.day > kDays)
      ctx.Reportf(kEventTable, row.line, "day %s is outside 1 to %d", Quote(row.fields[0]).c_str(), kDays);
    else
      days.insert(event.day);
    slots.insert({event.day, event.time});
    if (event.time < 1) ctx.Reportf(kEventTable, row.line, "time slot %s is below 1", Quote(row.fields[1]).c_str());
    if (!IsNothing(row.fields[2])) RequireScript(ctx, kEventTable, row.line, row.fields[2]);
    if (!IsNothing(row.fields[3])) RequireMailOrBroadcast(ctx, kEventTable, row.line, row.fields[3]);
    if (!IsNothing(row.fields[4])) RequireScript(ctx, kEventTable, row.line, row.fields[4]);
    if (row.fields.size() > 5) CheckRule(ctx, kEventTable, row.line, row.fields[5]);
    if (row.fields.size() > 6)
      ctx.Reportf(kEventTable, row.line, "row has %zu fields; the game reads the first 6 and ignores %s",
                  row.fields.size(), Quote(row.fields[6]).c_str());
  }
  // A day's slots run from 1 up for as long as the table lists the next one.
  for (std::size_t i = 0; i < rows.size() && static_cast<int>(i) < count; ++i) {
    const EventRow& event = loaded[i];
    if (rows[i].fields.size() >= 5 && event.time > 1 && slots.count({event.day, event.time - 1}) == 0)
      ctx.Reportf(kEventTable, rows[i].line, "day %d has no row for slot %d, so the game never reaches slot %d",
                  event.day, event.time - 1, event.time);
  }
  // Days without rows, as ranges.
  for (int day = 1; day <= kDays; ++day) {
    if (days.count(day) != 0) continue;
    int last = day;
    while (last < kDays && days.count(last + 1) == 0) ++last;
    if (last == day)
      ctx.Reportf(kEventTable, 0, "day %d has no row; the game would replay the previous slot's event on it", day);
    else
      ctx.Reportf(kEventTable, 0, "days %d to %d have no row; the game would replay the previous slot's event on them",
                  day, last);
    day = last;
  }
}

}  // namespace check
