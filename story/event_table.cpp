#include "story/event_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "app/app_utils.h"
#include "app/velmora_app.h"
#include "script/script_loader.h"
#include "story/csv_text.h"
#include "story/game_state.h"
#include "story/table_rows.h"

EventTable eventTable;
EventRow curEvent;

namespace {

constexpr std::int16_t kEndOfTable = -1;
constexpr int kRuleNameBytes = 31;
constexpr int kRuleDigits = 10;

int ParseEventNumber(const char* field) { return ReadCsvNumber(field, INT16_MIN, INT16_MAX); }

// The rule reader: a cursor over the condition text.
struct RuleCursor {
  const char* p;

  char Take() { return *p != '\0' ? *p++ : '\0'; }

  // A signed decimal: an optional "-" or "+", then up to ten digits.
  std::int64_t Number() {
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    std::int64_t v = 0;
    for (int n = 0; n < kRuleDigits && *p >= '0' && *p <= '9'; ++n) v = v * 10 + (*p++ - '0');
    return negative ? -v : v;
  }

  // A name runs to the next "&", "|" or the end; only its first 31 bytes count.
  void Name(char (&name)[kRuleNameBytes + 1]) {
    int n = 0;
    while (*p != '\0' && *p != '&' && *p != '|') {
      if (n < kRuleNameBytes) name[n++] = *p;
      ++p;
    }
    name[n] = '\0';
  }
};

// seen(name): the name's script-table row has its bit in seenScripts. A name missing from the
// table has been reported by ScFindScript and counts as not seen.
int Seen(const char* name) {
  const int row = ScFindScript(name);
  return row >= 0 && TestBit(svparam.seenScripts, row) ? 1 : 0;
}

int Compare(char op, int index, std::int64_t v) {
  // An index outside the four parameters makes the term false instead of reading past them.
  if (index < 0 || index > 3) return 0;
  const std::int64_t p = svparam.param[index];
  switch (op) {
    case '<': return p < v ? 1 : 0;
    case '=': return p == v ? 1 : 0;
    default: return p > v ? 1 : 0;
  }
}

void LogValue(int value) { App().m_log.Printf(value ? "[TRUE] " : "[FALSE] "); }

}  // namespace

int ParseEventTable(std::string_view text, EventRow* rows, int capacity, CDebugLog& log) {
  std::memset(rows, 0, sizeof(EventRow) * static_cast<std::size_t>(capacity));
  const int n = ParseRows(text, capacity, "EVENT", 5, log, [&](int i, const CsvFields& f) {
    EventRow& r = rows[i];
    r.day = static_cast<std::int16_t>(ParseEventNumber(f.At(0)));
    r.time = static_cast<std::int16_t>(ParseEventNumber(f.At(1)));
    CopyFixedString(r.monS, sizeof r.monS, f.At(2));
    CopyFixedString(r.Mail, sizeof r.Mail, f.At(3));
    CopyFixedString(r.MonE, sizeof r.MonE, f.At(4));
    CopyFixedString(r.condition, sizeof r.condition, f.At(5));
    log.Printf("D%2d T%2d S=%16s M=%16s E=%16s RULE=%s\n", r.day, r.time, r.monS, r.Mail, r.MonE, r.condition);
  });
  rows[n].day = kEndOfTable;
  log.Printf("--- EVENT TB LOAD --- TOTAL %d EVENTS\n", n);
  return n;
}

void LoadEventTable(const std::string& path) {
  App().m_log.Printf("LOAD EVENT TB '%s'\n", path.c_str());
  const std::string text = TableText(path, "EVENT");
  eventTable.count = ParseEventTable(text, eventTable.rows, EventTable::kCapacity, App().m_log);
}

int EvalRule(const char* text) {
  App().m_log.Printf("%s ", text);
  enum class Op { kNone, kAnd, kOr };
  int result = 1;
  Op op = Op::kNone;
  int value = 1;
  RuleCursor c{text};
  while (*c.p != '\0') {
    if (*c.p == '&') {
      op = Op::kAnd;
      ++c.p;
    } else if (*c.p == '|') {
      op = Op::kOr;
      ++c.p;
    }
    const char t = c.Take();
    if (t == 'E') {
      const char u = c.Take();
      if (u == '=' || u == '!') {
        char name[kRuleNameBytes + 1];
        c.Name(name);
        value = u == '=' ? Seen(name) : 1 - Seen(name);
        LogValue(value);
      }
    } else if (t == 'N') {
      value = 0;
    } else if (t == 'P') {
      const char u = c.Take();
      if (u == '<' || u == '=' || u == '>') {
        const std::int64_t i = c.Number();
        if (*c.p == ':') ++c.p;
        const std::int64_t v = c.Number();
        value = Compare(u, i < INT32_MIN || i > INT32_MAX ? -1 : static_cast<int>(i), v);
        LogValue(value);
      }
    }
    switch (op) {
      case Op::kOr: result = result || value; break;
      case Op::kAnd: result = result && value; break;
      case Op::kNone: result = value; break;
    }
  }
  return result;
}

void ChkAndSetEvent() {
  App().m_log.Printf("ChkAndSetEvent\n");
  const int count = std::clamp<int>(eventTable.count, 0, EventTable::kCapacity - 1);
  for (int i = 0; i < count; ++i) {
    const EventRow& row = eventTable.rows[i];
    if (row.day != svparam.day || row.time != svparam.time) continue;
    App().m_log.Printf("日付=%d 時刻=%d\n", row.day, row.time);
    if (EvalRule(row.condition)) {
      curEvent = row;
      return;
    }
  }
  App().m_log.Printf("イベント発見できず\n");
}

void ReselectEvent() {
  const std::int16_t route = svparam.param[0];
  const std::int16_t score = svparam.param[1];
  svparam.param[0] = svparam.param[2];
  svparam.param[1] = svparam.param[3];
  ChkAndSetEvent();
  svparam.param[0] = route;
  svparam.param[1] = score;
}
