// The developer's trace: written only when LOG/debug.txt exists beside the program, one new
// file a run, every entry opened, appended and closed on its own so the file is always complete.
#pragma once
#include <string>

class CDebugLog {
 public:
  CDebugLog() = default;
  virtual ~CDebugLog() = default;

  // `folder` ends in '/'. True when logging is now on.
  bool Open(const std::string& folder);
  // printf-style entry behind a time prefix; nothing when logging is off.
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  std::string m_strFileName;
  bool m_bOpen = false;
};
