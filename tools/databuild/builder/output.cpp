#include "builder/output.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace databuild {
namespace {

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// Writes through a temporary file in the same folder, so a reader never sees half a file.
bool ReplaceFile(const fs::path& path, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  const fs::path tmp = path.string() + ".part";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  fs::rename(tmp, path, ec);
  if (ec) fs::remove(tmp, ec);
  return !ec;
}

}  // namespace

bool ReadBytes(const fs::path& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *out = s.str();
  return true;
}

std::string Digest(const std::string& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

OutputWriter::OutputWriter(fs::path root, fs::path recordFile)
    : m_root(std::move(root)), m_recordFile(std::move(recordFile)) {
  std::string record;
  if (!ReadBytes(m_recordFile, &record)) return;
  std::istringstream in(record);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) m_previous.insert(line);
  }
}

bool OutputWriter::Write(const std::string& rel, const std::string& bytes) {
  const fs::path path = m_root / rel;
  const fs::path folder = path.parent_path();
  const std::string name = path.filename().string();
  std::error_code ec;
  // Another spelling of the same name in the folder.
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    const std::string other = e.path().filename().string();
    if (other == name || !EqualIgnoringAsciiCase(other, name)) continue;
    const std::string otherRel = fs::path(rel).parent_path().string() + "/" + other;
    if (e.is_regular_file() && (e.file_size() == 0 || m_previous.count(otherRel))) {
      fs::remove(e.path(), ec);
      m_previous.erase(otherRel);
      ++m_removed;
    } else {
      std::fprintf(stderr, "%s: '%s' is in the way (same name in another case)\n", rel.c_str(), other.c_str());
      return false;
    }
  }
  m_current.insert(rel);
  std::string old;
  if (ReadBytes(path, &old) && old == bytes) return true;
  if (!ReplaceFile(path, bytes)) {
    std::fprintf(stderr, "%s: cannot be written\n", path.string().c_str());
    return false;
  }
  ++m_written;
  return true;
}

bool OutputWriter::MakeFolder(const std::string& rel) {
  std::error_code ec;
  fs::create_directories(m_root / rel, ec);
  return !ec;
}

bool OutputWriter::IsStale(const std::string& rel) const {
  return m_previous.count(rel) != 0 && m_current.count(rel) == 0;
}

bool OutputWriter::Finish() {
  std::error_code ec;
  for (const std::string& rel : m_previous) {
    if (m_current.count(rel)) continue;
    if (fs::remove(m_root / rel, ec)) ++m_removed;
  }
  return SaveRecord(m_current);
}

void OutputWriter::Abandon() {
  std::set<std::string> all = m_previous;
  all.insert(m_current.begin(), m_current.end());
  SaveRecord(all);
}

bool OutputWriter::SaveRecord(const std::set<std::string>& files) {
  std::string record;
  for (const std::string& rel : files) record += rel + "\n";
  std::string old;
  if (ReadBytes(m_recordFile, &old) && old == record) return true;
  return ReplaceFile(m_recordFile, record);
}

GenerationCache::GenerationCache(fs::path folder, std::string builderIdentity)
    : m_folder(std::move(folder)), m_identity(std::move(builderIdentity)) {
  std::error_code ec;
  fs::create_directories(m_folder, ec);
}

std::string GenerationCache::EntryName(const std::string& key) const {
  return Digest(m_identity + '\x1f' + key);
}

bool GenerationCache::File(const std::string& key, const std::string& ext,
                           const std::function<bool(const fs::path&)>& make, fs::path* out) {
  const std::string entry = EntryName(key) + ext;
  *out = m_folder / entry;
  m_used.insert(entry);
  std::error_code ec;
  if (fs::is_regular_file(*out, ec)) {
    ++m_reused;
    return true;
  }
  // The generator writes a name with the right extension (encoders choose by it).
  const fs::path part = m_folder / (EntryName(key) + ".part" + ext);
  fs::remove(part, ec);
  if (!make(part) || !fs::is_regular_file(part, ec)) {
    fs::remove(part, ec);
    return false;
  }
  fs::rename(part, *out, ec);
  ++m_made;
  return !ec;
}

bool GenerationCache::Folder(const std::string& key, const std::function<bool(const fs::path&)>& make,
                             fs::path* out) {
  const std::string entry = EntryName(key) + ".d";
  *out = m_folder / entry;
  m_used.insert(entry);
  std::error_code ec;
  if (fs::is_directory(*out, ec)) {
    ++m_reused;
    return true;
  }
  const fs::path part = m_folder / (EntryName(key) + ".part.d");
  fs::remove_all(part, ec);
  fs::create_directories(part, ec);
  if (!make(part)) {
    fs::remove_all(part, ec);
    return false;
  }
  fs::rename(part, *out, ec);
  ++m_made;
  return !ec;
}

void GenerationCache::RemoveUnused() {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(m_folder, ec)) {
    if (!m_used.count(e.path().filename().string())) fs::remove_all(e.path(), ec);
  }
}

}  // namespace databuild
