#include "app/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/local_time.h"
#include "platform/text_file.h"

bool CDebugLog::Open(const std::string& folder) {
  m_bOpen = false;
  if (!plat::CanReadFile(folder + "debug.txt")) return false;
  const std::int64_t now = plat::WallClockNow();
  m_strFileName = folder + "LOG_" + plat::FormatLocalTime("%m%d%H%M%S", now) + ".txt";
  const std::string first = plat::FormatLocalTime("%m/%d %H:%M:%S", now) + " :LOG START\n";
  if (!plat::WriteTextFile(m_strFileName, plat::TextFileMode::kCreate, first)) return false;
  m_bOpen = true;
  return true;
}

void CDebugLog::Printf(const char* format, ...) {
  if (!m_bOpen) return;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (n > 0) {
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, again);
    text.assign(buf.data(), static_cast<std::size_t>(n));
  }
  va_end(again);
  const std::string entry = plat::FormatLocalTime("%m/%d %H:%M:%S :", plat::WallClockNow()) + text;
  if (!plat::WriteTextFile(m_strFileName, plat::TextFileMode::kAppend, entry)) m_bOpen = false;
}
