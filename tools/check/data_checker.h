// Checks a data folder the way the game reads it and reports every problem with file and line.
#pragma once
#include <string>
#include <vector>

struct CheckFinding {
  std::string file;  // relative to the data folder
  int line;          // 1-based; 0 when the problem concerns the whole file
  std::string text;  // UTF-8
};

struct CheckResult {
  bool usable = false;  // false: the folder is not a data folder at all
  std::vector<CheckFinding> findings;
};

// `folder` is the data folder (the one that holds ev/, script/, mail/, media/ and misc/), in
// UTF-8 as the command line gives it.
CheckResult CheckDataFolder(const std::string& folder);
