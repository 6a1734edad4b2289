// Files the program itself asks for by name, whatever the tables say.
#pragma once
#include "check_context.h"

namespace check {

// Reports missing sample files (without them the game refuses to start), missing ending scenes,
// screen sheets, effects, music, the mail call and the opening movie. Needs the lists loaded.
void CheckFixedNames(Context& ctx);

}  // namespace check
