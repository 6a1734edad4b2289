// The five lists of the event folder: scripts and mails, videos, photos, broadcasts and rooms.
#pragma once
#include "check_context.h"

namespace check {

// Loads the five lists into `ctx` with the game's own parsers and reports rows that lack fields,
// fields longer than their columns, rows over capacity, names listed twice and listed files
// that do not exist.
void CheckLists(Context& ctx);

}  // namespace check
