#include "data_checker.h"

#include <algorithm>

#include "check_context.h"
#include "check_event_table.h"
#include "check_fixed_names.h"
#include "check_lists.h"
#include "check_mails.h"
#include "check_scripts.h"
#include "platform/text_encoding.h"

CheckResult CheckDataFolder(const std::string& folder) {
  check::Context ctx(plat::Utf8ToCp932(folder));
  if (!ctx.FolderExists("") || !ctx.FolderExists(check::kEventFolder)) return CheckResult{};
  check::CheckLists(ctx);
  check::CheckEventTable(ctx);
  check::CheckScripts(ctx);
  check::CheckMails(ctx);
  check::CheckFixedNames(ctx);
  CheckResult result = std::move(ctx.result());
  result.usable = true;
  std::stable_sort(result.findings.begin(), result.findings.end(), [](const CheckFinding& a, const CheckFinding& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  return result;
}
