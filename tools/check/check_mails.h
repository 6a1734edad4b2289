// Mail files (mail/*.txt): the header that the mail list reads and the pages that the reader
// lays out, with the music, voices and attachment they name.
#pragma once
#include <string>
#include <string_view>

#include "check_context.h"

namespace check {

// Checks every mail file of the mail folder. Needs the lists loaded (CheckLists).
void CheckMails(Context& ctx);

// Checks one mail text; `file` names it in the findings.
void CheckMailText(Context& ctx, std::string_view file, const std::string& text);

}  // namespace check
