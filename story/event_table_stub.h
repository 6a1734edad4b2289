// Stand-in for the event table's loader until the event table is built: InitGameData calls it
// in the loader's place, and it only logs that the table was skipped.
#pragma once
#include <string>

void StubLoadEventTable(const std::string& path);
