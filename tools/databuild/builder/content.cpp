#include "builder/content.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/text_encoding.h"
#include "script/script_parse.h"

namespace fs = std::filesystem;

namespace databuild {
namespace {

// Longest name of a script, mail, picture, sound or movie: it is copied into 16-byte fields.
constexpr std::size_t kNameMax = 15;
// Longest title of a list row (44-byte field) and mail subject (44 bytes).
constexpr std::size_t kTitleMax = 43;

bool ReadWholeFile(const fs::path& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *out = s.str();
  return true;
}

// The lines of a text without their line ends.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(cur);
      cur.clear();
    } else if (c != '\r') {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

// The game's field split: commas separate, and a run of commas counts as one.
std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::string cur;
  for (char c : line) {
    if (c == ',') {
      if (!cur.empty()) fields.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) fields.push_back(cur);
  return fields;
}

// Files of one content folder with the given extension (lower case), sorted by name.
std::vector<fs::path> FilesIn(const fs::path& folder, const std::string& ext) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (!e.is_regular_file()) continue;
    std::string x = e.path().extension().string();
    std::transform(x.begin(), x.end(), x.begin(), [](unsigned char c) { return std::tolower(c); });
    if (x == ext) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool StartsWithIgnoringCase(const std::string& s, char c) {
  return !s.empty() && std::tolower(static_cast<unsigned char>(s[0])) == c;
}

void Remember(std::map<std::string, Use>& m, const std::string& name, const std::string& file, int line) {
  m.emplace(name, Use{file, line});
}

// Reads the sources and keeps what the checks at the end need.
class ContentReader {
 public:
  ContentReader(const fs::path& folder, Problems& problems) : m_folder(folder), m_problems(problems) {}

  ContentPlan Run();

 private:
  void CheckName(const std::string& name, const std::string& what, const std::string& file, int line) {
    if (name.empty() || name.size() > kNameMax)
      m_problems.Add(file, line, what + " name '" + name + "' must have 1 to 15 bytes");
  }
  // A text file of the game folder: converted and kept; returns the UTF-8 source.
  bool TakeText(const fs::path& path, const std::string& rel, std::string* utf8);
  void ReadScriptList(const std::string& text);
  void ReadEventTable(const std::string& text);
  void ReadMediaList(const std::string& text, const std::string& file, std::map<std::string, Use>* uses);
  void ReadRoomList(const std::string& text);
  void ReadScript(const std::string& name, const std::string& cp932);
  void ReadMail(const std::string& name, const std::string& utf8);
  void CheckReferences();

  fs::path m_folder;
  Problems& m_problems;
  ContentPlan m_plan;
  std::map<std::string, Use> m_listed;      // sEventList.csv names
  std::map<std::string, Use> m_scriptRefs;  // names played as scripts
  std::map<std::string, Use> m_mailRefs;    // names opened as mails
  std::set<std::string> m_scriptFiles;
  std::set<std::string> m_mailFiles;
  std::map<std::string, std::string> m_photoTitles;  // photList id -> title
  std::map<std::string, Use> m_listedMovies;
};

bool ContentReader::TakeText(const fs::path& path, const std::string& rel, std::string* utf8) {
  if (!ReadWholeFile(path, utf8)) {
    m_problems.Add(rel, 0, "cannot be read");
    return false;
  }
  if (utf8->compare(0, 3, "\xEF\xBB\xBF") == 0) utf8->erase(0, 3);
  m_plan.texts.push_back({rel, ToCp932Lines(*utf8, rel, m_problems)});
  return true;
}

void ContentReader::ReadScriptList(const std::string& text) {
  const std::string file = "ev/sEventList.csv";
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = SplitFields(lines[i]);
    if (f.empty()) break;
    const int line = static_cast<int>(i + 1);
    if (f.size() != 3) m_problems.Add(file, line, "a script row has three fields: name, route, score");
    CheckName(f[0], "script", file, line);
    if (!m_listed.emplace(f[0], Use{file, line}).second) m_problems.Add(file, line, "'" + f[0] + "' is listed twice");
  }
}

void ContentReader::ReadEventTable(const std::string& text) {
  const std::string file = "ev/sEventTable.csv";
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = SplitFields(lines[i]);
    if (f.empty()) break;
    const int line = static_cast<int>(i + 1);
    if (f.size() < 5 || f.size() > 6) {
      m_problems.Add(file, line, "an event row has day, time, opening scene, mail, closing scene and a condition");
      continue;
    }
    for (int k : {2, 4}) {
      if (f[k] != "-") Remember(m_scriptRefs, f[k], file, line);
    }
    if (f[3] == "-") continue;
    if (StartsWithIgnoringCase(f[3], 'r')) {
      Remember(m_plan.broadcastUses, f[3], file, line);
      if (!m_listed.count(f[3])) m_problems.Add(file, line, "broadcast '" + f[3] + "' is not in ev/sEventList.csv");
    } else {
      Remember(m_mailRefs, f[3], file, line);
    }
  }
}

void ContentReader::ReadMediaList(const std::string& text, const std::string& file,
                                  std::map<std::string, Use>* uses) {
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = SplitFields(lines[i]);
    if (f.empty()) break;
    const int line = static_cast<int>(i + 1);
    if (f.size() != 2) {
      m_problems.Add(file, line, "a list row has two fields: file id and title");
      continue;
    }
    CheckName(f[0], "file", file, line);
    if (plat::Utf8ToCp932(f[1]).size() > kTitleMax) m_problems.Add(file, line, "title longer than 43 bytes");
    Remember(*uses, f[0], file, line);
    if (uses == &m_plan.photoUses) m_photoTitles.emplace(f[0], f[1]);
  }
}

void ContentReader::ReadRoomList(const std::string& text) {
  const std::string file = "ev/roomList.csv";
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = SplitFields(lines[i]);
    if (f.empty()) break;
    const int line = static_cast<int>(i + 1);
    if (f.size() != 2) m_problems.Add(file, line, "a room row has two fields: room number and title");
    else if (f[0].size() != 1 || f[0][0] < '0' || f[0][0] > '4') m_problems.Add(file, line, "room numbers are 0 to 4");
  }
}

// Walks a script the way the interpreter reads it and collects the names it uses.
void ContentReader::ReadScript(const std::string& name, const std::string& cp932) {
  const std::string file = "script/" + name + ".sin";
  const char* const begin = cp932.c_str();
  const char* p = begin;
  auto lineOf = [begin](const char* at) { return 1 + static_cast<int>(std::count(begin, at, '\n')); };
  bool ended = false;
  for (;;) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '\0') break;
    if (c >= 0x80) {
      p += p[1] != '\0' ? 2 : 1;
      continue;
    }
    const int line = lineOf(p);
    if (c == ';') {
      ended = true;
      break;
    }
    if (c == '\\') {
      p += p[1] != '\0' ? 2 : 1;
      continue;
    }
    if (c == '!') {
      const int cmd = MatchCommandName(p);
      if (cmd < 0) {
        m_problems.Add(file, line, "unknown command");
        return;
      }
      p += std::strlen(kCommandNames[cmd]);
      ParamList params;
      if (ReadParamList(p, params) != ParamError::kNone) {
        m_problems.Add(file, line, "bad parameter list (no blanks, at most five parameters)");
        return;
      }
      const std::string first = params.text[0];
      switch (cmd) {
        case 1: Remember(m_plan.movies, first, file, line); break;
        case 2: Remember(m_plan.broadcastUses, first, file, line); break;
        case 5: Remember(m_scriptRefs, params.text[1], file, line); break;
        case 6:
        case 21: Remember(m_plan.music, first, file, line); break;
        case 26: Remember(m_plan.backgrounds, first, file, line); break;
        default: break;
      }
      continue;
    }
    if (c == '/' || c == '^') {
      // Nothing after a choice block or a jump is read; the end mark must still follow.
      if (c == '/') {
        ChoiceBlock block;
        ReadChoiceBlock(p, block);
        if (block.count == 0) m_problems.Add(file, line, "a choice block without choices");
        for (int i = 0; i < block.count; ++i) Remember(m_scriptRefs, block.target[i], file, line + 1 + i);
      } else {
        char target[kScriptNameSize];
        ReadJumpName(p, target);
        Remember(m_scriptRefs, target, file, line);
      }
      ended = std::strchr(p, ';') != nullptr;
      break;
    }
    m_problems.Add(file, line, std::string("text must be full-width; '") + static_cast<char>(c) + "' starts no item");
    return;
  }
  if (!ended) m_problems.Add(file, 0, "no end mark ';'");
}

// Reads a mail's source: the header's attachment, the mail's music and every page's voice
// with the text it reads.
void ContentReader::ReadMail(const std::string& name, const std::string& utf8) {
  const std::string file = "mail/" + name + ".txt";
  const std::vector<std::string> lines = SplitLines(utf8);
  if (lines.size() < 3 || lines[0].empty() || lines[0][0] != '$' || lines[1].empty() || lines[1][0] != '$') {
    m_problems.Add(file, 1, "a mail starts with its header line and its music line");
    return;
  }
  // Header: $sender/subject/day caption/attachment/
  std::vector<std::string> pieces;
  {
    std::string cur;
    for (char c : lines[0].substr(1)) {
      if (c == '/') {
        if (!cur.empty()) pieces.push_back(cur);
        cur.clear();
      } else {
        cur += c;
      }
    }
    if (!cur.empty()) pieces.push_back(cur);
  }
  if (pieces.size() < 3 || pieces.size() > 4 || pieces[0].find_first_not_of("012") != std::string::npos) {
    m_problems.Add(file, 1, "header is $sender(0-2)/subject/day caption/attachment/");
    return;
  }
  if (plat::Utf8ToCp932(pieces[1]).size() > kTitleMax) m_problems.Add(file, 1, "subject longer than 43 bytes");
  if (plat::Utf8ToCp932(pieces[2]).size() > kNameMax) m_problems.Add(file, 1, "day caption longer than 15 bytes");
  if (pieces.size() == 4) {
    const std::string& att = pieces[3];
    CheckName(att, "attachment", file, 1);
    if (StartsWithIgnoringCase(att, 'p')) {
      Remember(m_plan.photoUses, att, file, 1);
      if (!m_photoTitles.count(att)) m_problems.Add(file, 1, "photo '" + att + "' is not in ev/photList.csv");
    } else if (StartsWithIgnoringCase(att, 'r')) {
      if (att.size() < 2 || att[1] < '0' || att[1] > '4') m_problems.Add(file, 1, "a room attachment is r0 to r4");
    } else {
      Remember(m_plan.movies, att, file, 1);
      if (!m_listedMovies.count(att)) m_problems.Add(file, 1, "movie '" + att + "' is not in ev/movList.csv");
    }
  }
  const std::string music = lines[1].substr(1);
  if (!music.empty()) {
    CheckName(music, "music", file, 2);
    Remember(m_plan.music, music, file, 2);
  }
  // Pages: a line "$voice" starts one; "$$", "$1" and "$2" are body text.
  std::string voice;
  std::string text;
  int voiceLine = 0;
  bool sawEnd = false;
  auto closePage = [&]() {
    if (voice.empty()) return;
    if (text.empty()) {
      m_problems.Add(file, voiceLine, "voice '" + voice + "' has no text to read");
      return;
    }
    const auto [it, added] = m_plan.voices.emplace(voice, text);
    if (!added && it->second != text) m_problems.Add(file, voiceLine, "voice '" + voice + "' is used for another text too");
  };
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l.size() >= 1 && l[0] == '$' && (l.size() == 1 || (l[1] != '$' && l[1] != '1' && l[1] != '2'))) {
      closePage();
      std::size_t n = 1;
      while (n < l.size() && l[n] >= '0' && l[n] <= 'z') ++n;
      voice = l.substr(1, n - 1);
      voiceLine = static_cast<int>(i + 1);
      text.clear();
      if (!voice.empty()) CheckName(voice, "voice", file, voiceLine);
      sawEnd = l.size() == 1;
      continue;
    }
    // The words read aloud: the line without its marks and without the player's name.
    std::string words;
    for (std::size_t k = 0; k < l.size(); ++k) {
      if (l[k] == '$' && k + 1 < l.size() && (l[k + 1] == '$' || l[k + 1] == '1' || l[k + 1] == '2')) {
        ++k;
        continue;
      }
      words += l[k];
    }
    const std::size_t first = words.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    if (!text.empty()) text += '\n';
    text += words.substr(first);
    sawEnd = false;
  }
  closePage();
  if (!sawEnd) m_problems.Add(file, static_cast<int>(lines.size()), "a mail ends with a line holding a single '$'");
}

void ContentReader::CheckReferences() {
  for (const auto& [name, use] : m_scriptRefs) {
    if (!m_listed.count(name)) m_problems.Add(use.file, use.line, "script '" + name + "' is not in ev/sEventList.csv");
    if (!m_scriptFiles.count(name)) m_problems.Add(use.file, use.line, "script '" + name + "' has no file script/" + name + ".sin");
  }
  for (const auto& [name, use] : m_mailRefs) {
    if (!m_listed.count(name)) m_problems.Add(use.file, use.line, "mail '" + name + "' is not in ev/sEventList.csv");
    if (!m_mailFiles.count(name)) m_problems.Add(use.file, use.line, "mail '" + name + "' has no file mail/" + name + ".txt");
  }
  for (const auto& [name, use] : m_plan.backgrounds) CheckName(name, "picture", use.file, use.line);
  for (const auto& [name, use] : m_plan.music) CheckName(name, "music", use.file, use.line);
  for (const auto& [name, use] : m_plan.movies) CheckName(name, "movie", use.file, use.line);
  for (const auto& [name, use] : m_plan.broadcastUses) {
    CheckName(name, "broadcast", use.file, use.line);
    std::string text;
    if (!ReadWholeFile(m_folder / "radio" / (name + ".txt"), &text) || text.find_first_not_of(" \r\n") == std::string::npos) {
      m_problems.Add(use.file, use.line, "broadcast '" + name + "' has no text radio/" + name + ".txt");
      continue;
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    m_plan.broadcasts.emplace(name, text);
  }
  for (const auto& [id, use] : m_plan.photoUses) {
    const auto t = m_photoTitles.find(id);
    m_plan.photos.emplace(id, t != m_photoTitles.end() ? t->second : std::string());
  }
  // Names the program itself asks for.
  for (const char* s : {"001_00", "sr", "sr_", "sr__", "C030_02"}) {
    if (!m_scriptFiles.count(s)) m_problems.Add("script", 0, std::string("the scene '") + s + "' is missing");
    if (!m_listed.count(s)) m_problems.Add("ev/sEventList.csv", 0, std::string("'") + s + "' is not listed");
  }
  for (const char* s : {"A031_05mv", "X031_01"}) {
    if (!m_listed.count(s)) m_problems.Add("ev/sEventList.csv", 0, std::string("'") + s + "' is not listed");
  }
  for (const char* s : {"001_01", "A013_01"}) {
    if (!m_mailFiles.count(s)) m_problems.Add("mail", 0, std::string("the mail '") + s + "' is missing");
  }
  Remember(m_plan.movies, "op", "media/video", 0);
}

ContentPlan ContentReader::Run() {
  // The lists first: mails and scripts are checked against them.
  const fs::path ev = m_folder / "ev";
  for (const fs::path& path : FilesIn(ev, ".csv")) {
    const std::string fileName = path.filename().string();
    std::string text;
    if (!TakeText(path, "ev/" + fileName, &text)) continue;
    if (fileName == "sEventList.csv") ReadScriptList(text);
    else if (fileName == "sEventTable.csv") ReadEventTable(text);
    else if (fileName == "movList.csv") ReadMediaList(text, "ev/" + fileName, &m_listedMovies);
    else if (fileName == "photList.csv") ReadMediaList(text, "ev/" + fileName, &m_plan.photoUses);
    else if (fileName == "radioList.csv") ReadMediaList(text, "ev/" + fileName, &m_plan.broadcastUses);
    else if (fileName == "roomList.csv") ReadRoomList(text);
  }
  for (const char* f : {"sEventList.csv", "sEventTable.csv", "movList.csv", "photList.csv", "radioList.csv", "roomList.csv"}) {
    if (!fs::exists(ev / f)) m_problems.Add(std::string("ev/") + f, 0, "missing");
  }
  for (const auto& [id, use] : m_listedMovies) Remember(m_plan.movies, id, use.file, use.line);

  for (const fs::path& path : FilesIn(m_folder / "script", ".sin")) {
    const std::string name = path.stem().string();
    std::string text;
    if (!TakeText(path, "script/" + path.filename().string(), &text)) continue;
    m_scriptFiles.insert(name);
    ReadScript(name, m_plan.texts.back().bytes);
  }
  for (const fs::path& path : FilesIn(m_folder / "mail", ".txt")) {
    const std::string name = path.stem().string();
    std::string text;
    if (!TakeText(path, "mail/" + path.filename().string(), &text)) continue;
    m_mailFiles.insert(name);
    ReadMail(name, text);
  }
  CheckReferences();

  std::string readme;
  if (ReadWholeFile(m_folder / "readme.txt", &readme)) m_plan.readmeCp932 = ToCp932Lines(readme, "readme.txt", m_problems);
  else m_problems.Add("readme.txt", 0, "missing");
  return std::move(m_plan);
}

}  // namespace

void Problems::Add(const std::string& file, int line, const std::string& text) {
  m_lines.push_back(file + ":" + std::to_string(line) + ": " + text);
}

void Problems::Print() const {
  for (const std::string& l : m_lines) std::fprintf(stderr, "%s\n", l.c_str());
}

std::string ToCp932Lines(const std::string& utf8, const std::string& file, Problems& problems) {
  std::string out;
  const std::vector<std::string> lines = SplitLines(utf8);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string cp = plat::Utf8ToCp932(lines[i]);
    if (plat::Cp932ToUtf8(cp) != lines[i])
      problems.Add(file, static_cast<int>(i + 1), "a character has no Shift-JIS (CP932) form");
    out += cp;
    out += "\r\n";
  }
  return out;
}

Settings ReadSettings(const fs::path& contentFolder, Problems& problems) {
  Settings s;
  const std::string file = "generate.txt";
  std::string text;
  if (!ReadWholeFile(contentFolder / file, &text)) {
    problems.Add(file, 0, "missing");
    return s;
  }
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::istringstream in(lines[i]);
    std::string kind, name;
    if (!(in >> kind) || kind[0] == '#') continue;
    const int line = static_cast<int>(i + 1);
    in >> name;
    if (name.empty() || name.size() > kNameMax) {
      problems.Add(file, line, "a name of 1 to 15 bytes follows the kind");
      continue;
    }
    if (kind == "background") {
      s.backgrounds.emplace(name, Use{file, line});
    } else if (kind == "music") {
      s.music.emplace(name, Use{file, line});
    } else if (kind == "movie") {
      MovieSpec m;
      if (!(in >> m.width >> m.height >> m.seconds) || m.width <= 0 || m.height <= 0 || m.seconds <= 0 || m.seconds > 120)
        problems.Add(file, line, "movie NAME WIDTH HEIGHT SECONDS");
      else
        s.movies.emplace(name, m);
    } else {
      problems.Add(file, line, "unknown kind '" + kind + "'");
    }
  }
  return s;
}

ContentPlan ReadContent(const fs::path& contentFolder, Problems& problems) {
  ContentReader reader(contentFolder, problems);
  return reader.Run();
}

}  // namespace databuild
