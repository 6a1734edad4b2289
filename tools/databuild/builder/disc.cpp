#include "builder/disc.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "platform/text_encoding.h"
#include "story/game_state.h"

namespace fs = std::filesystem;

namespace databuild {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// The order of the top-level folders in both lists; others follow by name.
int FolderRank(const std::string& top) {
  static const char* const kOrder[] = {"ev", "mail", "save", "script", "media", "misc"};
  const std::string t = Lower(top);
  for (int i = 0; i < 6; ++i) {
    if (t == kOrder[i]) return i;
  }
  return 6;
}

// Sort key of a path: its components, top-level folders by rank, the rest by name without
// regard to case; a folder's own files come before its subfolders.
bool PathBefore(const std::string& a, const std::string& b) {
  const fs::path pa(a), pb(b);
  auto ia = pa.begin(), ib = pb.begin();
  bool top = true;
  for (; ia != pa.end() && ib != pb.end(); ++ia, ++ib, top = false) {
    const bool lastA = std::next(ia) == pa.end(), lastB = std::next(ib) == pb.end();
    if (lastA != lastB) return lastA;  // a file before a folder at the same level
    const std::string ca = ia->string(), cb = ib->string();
    if (ca == cb) continue;
    if (top && !lastA) {
      const int ra = FolderRank(ca), rb = FolderRank(cb);
      if (ra != rb) return ra < rb;
    }
    const std::string la = Lower(ca), lb = Lower(cb);
    return la != lb ? la < lb : ca < cb;
  }
  return ia == pa.end() && ib != pb.end();
}

std::string Backslashed(const std::string& rel) {
  std::string s = "\\" + rel;
  std::replace(s.begin(), s.end(), '/', '\\');
  return plat::Utf8ToCp932(s);
}

// "//\name" followed by dashes up to a fixed column and the replacement mark.
std::string ReplacedLine(const std::string& backslashed) {
  std::string line = "//" + backslashed;
  const std::size_t column = 39;
  line.append(line.size() + 1 < column ? column - line.size() : 1, '-');
  return line + "差し替え";
}

}  // namespace

std::string BlankSaveSlot() {
  // The record the game itself writes for a missing slot, with the time left at zero so the
  // bytes are the same on every build.
  std::memset(&svparam, 0, sizeof svparam);
  ResetGameStateDefaults();
  svparam.inUse = 0;
  svparam.saveTime = 0;
  std::string bytes(reinterpret_cast<const char*>(&svparam), sizeof svparam);
  std::memset(&svparam, 0, sizeof svparam);
  std::memset(&sysparam, 0, sizeof sysparam);
  return bytes;
}

std::string BlankSystemFile() { return std::string(sizeof(SystemState), '\0'); }

std::vector<std::string> ListFiles(const fs::path& folder, const std::function<bool(const std::string&)>& skip) {
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    const std::string rel = fs::relative(it->path(), folder).generic_string();
    if (!skip(rel)) files.push_back(rel);
  }
  std::sort(files.begin(), files.end(), PathBefore);
  return files;
}

std::vector<std::string> ManifestLines(const std::vector<std::string>& files) {
  // The installer writes the program and three corrected data files from its own copies.
  static const char* const kReplaced[] = {"ev/sEventTable.csv", "mail/A013_01.txt", "script/C030_02.sin"};
  std::vector<std::string> replaced = {ReplacedLine("\\Velmora")};
  std::vector<std::string> lines;
  for (const std::string& rel : files) {
    const std::string lower = Lower(rel);
    bool isReplaced = false;
    for (const char* r : kReplaced) isReplaced = isReplaced || lower == Lower(r);
    if (isReplaced) {
      replaced.push_back(ReplacedLine(Backslashed(rel)));
    } else if (lower.rfind("save/", 0) == 0) {
      lines.push_back(">" + Backslashed(rel));
    } else {
      lines.push_back(Backslashed(rel));
    }
  }
  replaced.insert(replaced.end(), lines.begin(), lines.end());
  return replaced;
}

std::vector<std::string> FolderListLines(const std::vector<std::string>& files) {
  std::vector<std::string> folders;
  for (const std::string& rel : files) {
    for (fs::path p = fs::path(rel).parent_path(); !p.empty(); p = p.parent_path()) {
      const std::string f = p.generic_string();
      if (std::find(folders.begin(), folders.end(), f) == folders.end()) folders.push_back(f);
    }
  }
  // A folder comes after everything inside it: sort "folder/" keys, whose descendants share
  // the prefix, and put each folder after its last descendant.
  std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    const bool aInB = a.size() > b.size() && a.compare(0, b.size() + 1, b + "/") == 0;
    const bool bInA = b.size() > a.size() && b.compare(0, a.size() + 1, a + "/") == 0;
    if (aInB) return true;
    if (bInA) return false;
    return PathBefore(a + "/x", b + "/x");
  });
  std::vector<std::string> lines;
  for (const std::string& f : folders) lines.push_back(Backslashed(f) + "\\");
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace databuild
