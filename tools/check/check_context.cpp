#include "check_context.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/text_encoding.h"
#include "story/csv_text.h"

namespace check {

namespace {

// Longest file the checker reads: far beyond any table, script or mail the game reads.
constexpr std::size_t kMaxFileBytes = 16u << 20;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithNoCase(std::string_view s, std::string_view end) {
  if (s.size() < end.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i)
    if (LowerAscii(s[s.size() - end.size() + i]) != LowerAscii(end[i])) return false;
  return true;
}

}  // namespace

Context::Context(std::string root) : root_(std::move(root)) {
  if (root_.empty()) root_ = "./";
  if (root_.back() != '/') root_ += '/';
}

void Context::Report(std::string_view file, int line, const std::string& text) {
  result_.findings.push_back({plat::Cp932ToUtf8(file), line, plat::Cp932ToUtf8(text)});
}

void Context::Reportf(std::string_view file, int line, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Report(file, line, text);
}

bool Context::FileExists(std::string_view relative) const {
  plat::FileStatus status;
  return plat::QueryFileStatus(root_ + std::string(relative), &status) && !status.is_directory;
}

bool Context::FolderExists(std::string_view relative) const {
  plat::FileStatus status;
  return plat::QueryFileStatus(root_ + std::string(relative), &status) && status.is_directory;
}

bool Context::ReadFile(std::string_view relative, std::string* text) const {
  if (!FileExists(relative)) return false;
  std::FILE* f = plat::OpenFile(root_ + std::string(relative), "rb");
  if (f == nullptr) return false;
  text->clear();
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0 && text->size() < kMaxFileBytes) text->append(chunk, got);
  std::fclose(f);
  return true;
}

std::vector<std::string> Context::ListFiles(std::string_view folder, std::string_view extension) const {
  std::vector<std::string> names;
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path dir = plat::ResolvePath(root_ + std::string(folder));
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = plat::Utf8ToCp932(it->path().filename().string());
    if (!EndsWithNoCase(name, extension) || name.size() == extension.size()) continue;
    names.push_back(name.substr(0, name.size() - extension.size()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

int Context::FindScript(std::string_view name) const {
  for (std::size_t i = 0; i < scripts.size(); ++i)
    if (name == scripts[i].name) return static_cast<int>(i);
  return -1;
}

bool Context::ListHolds(const std::vector<MediaRow>& rows, std::string_view fileId) {
  char key[sizeof(MediaRow::fileId)];
  CopyFixedString(key, sizeof key, std::string(fileId).c_str());
  UpperCaseAscii(key);
  for (const MediaRow& r : rows)
    if (std::strcmp(r.fileId, key) == 0) return true;
  return false;
}

bool Context::RoomListHolds(int roomId) const {
  for (const RoomRow& r : rooms)
    if (r.roomId == roomId) return true;
  return false;
}

std::string Quote(std::string_view name) {
  constexpr std::size_t kShown = 40;
  if (name.size() <= kShown) return "'" + std::string(name) + "'";
  std::size_t n = 0;
  while (n < name.size()) {
    const std::size_t width = IsCp932LeadByte(static_cast<unsigned char>(name[n])) ? 2 : 1;
    if (n + width > kShown) break;
    n += width;
  }
  return "'" + std::string(name.substr(0, n)) + "...'";
}

}  // namespace check
