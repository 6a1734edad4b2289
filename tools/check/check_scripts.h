// Scene scripts (script/*.sin), read item by item as the script runtime reads them.
#pragma once
#include <string>
#include <string_view>

#include "check_context.h"

namespace check {

// Checks every script file of the script folder. Needs the lists loaded (CheckLists).
void CheckScripts(Context& ctx);

// Checks one script text; `file` names it in the findings.
void CheckScriptText(Context& ctx, std::string_view file, const std::string& text);

}  // namespace check
