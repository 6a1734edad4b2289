// velmora-check DATA_FOLDER: exit 0 clean, 1 findings, 2 unusable folder.
#include <cstdio>

#include "data_checker.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora-check DATA_FOLDER\n");
    return 2;
  }
  const CheckResult r = CheckDataFolder(argv[1]);
  if (!r.usable) return 2;
  for (const CheckFinding& f : r.findings) std::printf("%s:%d: %s\n", f.file.c_str(), f.line, f.text.c_str());
  return r.findings.empty() ? 0 : 1;
}
