// Reading the sources of the data set (content/): the text files that go into the game folder
// as they are (converted to CP932 with CR LF), and every name they use, with where it is used,
// so the builder can generate exactly the pictures, sounds and movies the program will ask for.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace databuild {

// Problems found in the sources, each "file:line: text"; the build fails when there is one.
class Problems {
 public:
  void Add(const std::string& file, int line, const std::string& text);
  bool Empty() const { return m_lines.empty(); }
  void Print() const;

 private:
  std::vector<std::string> m_lines;
};

// Where a name is used, for messages.
struct Use {
  std::string file;
  int line = 0;
};

// A movie's size and length, from the settings file.
struct MovieSpec {
  int width = 0;
  int height = 0;
  double seconds = 0;
};

// The settings file content/generate.txt: which generated names the data may use.
struct Settings {
  std::map<std::string, Use> backgrounds;
  std::map<std::string, Use> music;
  std::map<std::string, MovieSpec> movies;
};

// A file of the game folder made from a source text: its path relative to the game folder
// (with '/') and its bytes.
struct TextOutput {
  std::string rel;
  std::string bytes;
};

// Everything the sources ask for. Keys are names as written; the maps keep the first use.
struct ContentPlan {
  std::vector<TextOutput> texts;              // ev/, script/ and mail/ files
  std::string readmeCp932;                    // readme.txt for the disc
  std::map<std::string, Use> backgrounds;     // !bgon
  std::map<std::string, Use> music;           // !bgmon, !stron, mail music
  std::map<std::string, Use> movies;          // movList, !mv, movie attachments, "op"
  std::map<std::string, std::string> photos;  // id -> caption (UTF-8)
  std::map<std::string, Use> photoUses;
  std::map<std::string, std::string> broadcasts;  // name -> text (UTF-8)
  std::map<std::string, Use> broadcastUses;
  std::map<std::string, std::string> voices;  // name -> text read (UTF-8)
};

Settings ReadSettings(const std::filesystem::path& contentFolder, Problems& problems);
ContentPlan ReadContent(const std::filesystem::path& contentFolder, Problems& problems);

// UTF-8 text with any line ends to CP932 with CR LF. A character without a CP932 form is a
// problem reported against `file` and its line.
std::string ToCp932Lines(const std::string& utf8, const std::string& file, Problems& problems);

}  // namespace databuild
