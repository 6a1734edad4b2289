// The event table "sEventTable.csv": its rows, the scenes and mails they name, and their rules.
#pragma once
#include <string_view>

#include "check_context.h"

namespace check {

// Reports rows that lack fields or fall outside the calendar, names of scenes, mails and
// broadcasts that the lists or the folders do not hold, days without any row, and rules the
// game cannot read as meant. Needs the lists loaded (CheckLists).
void CheckEventTable(Context& ctx);

// Checks one rule (the condition column) found at `file`:`line`.
void CheckRule(Context& ctx, std::string_view file, int line, std::string_view rule);

}  // namespace check
