// velmora-databuild CONTENT_FOLDER OUTPUT_FOLDER [CHECKER]: writes the sample data set.
//
// From the UTF-8 sources in CONTENT_FOLDER it writes OUTPUT_FOLDER/game/ (the data folders
// beside the program) and OUTPUT_FOLDER/disc/ (the installation disc tree), then runs the data
// checker (CHECKER, or velmora-check beside this program) on the game folder and fails on any
// finding. Generated files are cached in OUTPUT_FOLDER/databuild/, and only files whose bytes
// changed are written, so a repeated build leaves every file and its time as it was.
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "assets.h"
#include "builder/content.h"
#include "builder/disc.h"
#include "builder/output.h"

namespace fs = std::filesystem;
using namespace databuild;

namespace {

// The sample file of each data folder that the game's start-up looks for.
const char* const kSampleFiles[] = {
    "ev/sEventList.csv",        "mail/001_01.txt",          "media/bgm/BGM01.wav",
    "media/photo/P004_01.bmp",  "media/radio/R_end.mp3",    "media/se/se.wav",
    "media/video/vA020_01.wmv", "media/voice/A009_00.mp3",  "misc/mail256.bmp",
    "script/001_00.sin",
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

double Seconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// One file to generate: its place in the game folder and how to make it.
struct Job {
  std::string rel;
  std::string key;  // the generator and every argument: the cache key
  std::function<bool(const fs::path&)> make;
};

// Every file of the game folder, by path relative to it, with its bytes.
using FileSet = std::map<std::string, std::string>;

// Adds the files of a generated folder to `files`.
bool TakeFolder(const fs::path& folder, FileSet* files) {
  for (const std::string& rel : ListFiles(folder, [](const std::string&) { return false; })) {
    std::string bytes;
    if (!ReadBytes(folder / rel, &bytes)) return false;
    (*files)[rel] = bytes;
  }
  return true;
}

// Runs the checker on the game folder; true when it found nothing.
bool RunChecker(const std::string& checker, const std::string& gameFolder) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    execl(checker.c_str(), checker.c_str(), gameFolder.c_str(), static_cast<char*>(nullptr));
    std::perror(checker.c_str());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  std::fprintf(stderr, "velmora-databuild: the data checker reported problems in %s\n", gameFolder.c_str());
  return false;
}

std::string ProgramIdentity() {
  std::string self;
  ReadBytes("/proc/self/exe", &self);
  return Digest(self);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: velmora-databuild CONTENT_FOLDER OUTPUT_FOLDER [CHECKER]\n");
    return 2;
  }
  const double start = Seconds();
  const fs::path content = argv[1];
  const fs::path output = argv[2];
  const std::string checker =
      argc == 4 ? std::string(argv[3]) : (fs::read_symlink("/proc/self/exe").parent_path() / "velmora-check").string();

  // 1. The sources: their text files and every name they use.
  Problems problems;
  const Settings settings = ReadSettings(content, problems);
  ContentPlan plan = ReadContent(content, problems);
  if (!problems.Empty()) {
    problems.Print();
    return 1;
  }

  // 2. The fixed sets, then one job for every other name, unless a fixed file answers it.
  GenerationCache cache(output / "databuild" / "cache", ProgramIdentity());
  FileSet files;
  for (const auto& [kind, build] :
       std::vector<std::pair<std::string, std::function<bool(const fs::path&)>>>{
           {"fixed-pictures", BuildFixedPictures}, {"fixed-sounds", BuildFixedSounds}}) {
    fs::path folder;
    if (!cache.Folder(kind, build, &folder) || !TakeFolder(folder, &files)) {
      std::fprintf(stderr, "velmora-databuild: %s failed\n", kind.c_str());
      return 1;
    }
  }
  std::map<std::string, std::string> taken;  // lower-case path -> path, to catch case clashes
  for (const auto& [rel, bytes] : files) taken[Lower(rel)] = rel;
  auto fixed = [&](const std::string& rel) { return taken.count(Lower(rel)) != 0; };

  std::vector<Job> jobs;
  for (const auto& [name, use] : plan.backgrounds) {
    const std::string rel = "misc/" + name + ".bmp";
    if (fixed(rel)) continue;
    if (!settings.backgrounds.count(name)) {
      problems.Add(use.file, use.line, "picture '" + name + "' is neither a fixed picture nor a background in generate.txt");
      continue;
    }
    jobs.push_back({rel, "background\x1f" + name, [n = name](const fs::path& f) { return BuildBackground(f, n); }});
  }
  for (const auto& [name, use] : plan.music) {
    const std::string rel = "media/bgm/" + name + ".wav";
    if (fixed(rel)) continue;
    if (!settings.music.count(name)) {
      problems.Add(use.file, use.line, "music '" + name + "' is neither fixed nor in generate.txt");
      continue;
    }
    jobs.push_back({rel, "music\x1f" + name, [n = name](const fs::path& f) { return BuildMusic(f, n); }});
  }
  for (const auto& [name, use] : plan.movies) {
    const auto spec = settings.movies.find(name);
    if (spec == settings.movies.end()) {
      problems.Add(use.file, use.line, "movie '" + name + "' has no size and length in generate.txt");
      continue;
    }
    const MovieSpec m = spec->second;
    jobs.push_back({"media/video/" + name + ".wmv",
                    "movie\x1f" + name + "\x1f" + std::to_string(m.width) + "x" + std::to_string(m.height) + "\x1f" +
                        std::to_string(m.seconds),
                    [n = name, m](const fs::path& f) { return BuildMovie(f, n, m.width, m.height, m.seconds); }});
  }
  for (const auto& [id, caption] : plan.photos) {
    jobs.push_back({"media/photo/" + id + ".bmp", "photo\x1f" + id + "\x1f" + caption,
                    [i = id, c = caption](const fs::path& f) { return BuildPhoto(f, i, c); }});
  }
  for (const auto& [name, text] : plan.broadcasts) {
    jobs.push_back({"media/radio/" + name + ".mp3", "broadcast\x1f" + name + "\x1f" + text,
                    [n = name, t = text](const fs::path& f) { return BuildBroadcast(f, n, t); }});
  }
  for (const auto& [name, text] : plan.voices) {
    const std::string rel = "media/voice/" + name + ".mp3";
    if (fixed(rel)) {
      problems.Add("media/voice", 0, "voice '" + name + "' is a fixed voice; a mail may not name it");
      continue;
    }
    jobs.push_back({rel, "voice\x1f" + text, [t = text](const fs::path& f) { return BuildVoice(f, t); }});
  }
  for (const TextOutput& t : plan.texts) files[t.rel] = t.bytes;
  for (const Job& j : jobs) files[j.rel];
  // Two outputs whose names differ only in case would be one file for the game.
  taken.clear();
  for (const auto& [rel, bytes] : files) {
    const auto [it, added] = taken.emplace(Lower(rel), rel);
    if (!added) problems.Add(rel, 0, "clashes with " + it->second + " (names differ only in case)");
  }
  if (!problems.Empty()) {
    problems.Print();
    return 1;
  }

  // 3. Generation, through the cache.
  for (const Job& j : jobs) {
    fs::path made;
    if (!cache.File(j.key, fs::path(j.rel).extension().string(), j.make, &made) || !ReadBytes(made, &files[j.rel])) {
      std::fprintf(stderr, "velmora-databuild: %s could not be generated\n", j.rel.c_str());
      return 1;
    }
  }
  fs::path icon;
  if (!cache.File("icon", ".png", BuildIconPng, &icon)) {
    std::fprintf(stderr, "velmora-databuild: the icon could not be generated\n");
    return 1;
  }
  std::string iconBytes;
  ReadBytes(icon, &iconBytes);
  for (const char* sample : kSampleFiles) {
    if (!taken.count(Lower(sample))) problems.Add(sample, 0, "the sample file of its folder is missing");
  }
  if (!problems.Empty()) {
    problems.Print();
    return 1;
  }

  // 4. The game folder and the disc tree.
  OutputWriter writer(output, output / "databuild" / "written.txt");
  const std::string discGame = std::string("disc/") + kDiscGameFolder + "/";
  bool ok = writer.MakeFolder("game/save");
  for (const auto& [rel, bytes] : files) {
    ok = writer.Write("game/" + rel, bytes) && ok;
    ok = writer.Write(discGame + rel, bytes) && ok;
  }
  const std::string blankSlot = BlankSaveSlot();
  for (int n = 0; n < 10; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "SV_%02d.dat", n);
    ok = writer.Write(discGame + "save/" + name, blankSlot) && ok;
  }
  ok = writer.Write(discGame + "save/SYSTEM.dat", BlankSystemFile()) && ok;
  ok = writer.Write(discGame + "readme.txt", plan.readmeCp932) && ok;
  ok = writer.Write(discGame + "velmora.png", iconBytes) && ok;
  ok = writer.Write(std::string("disc/") + kDiscMarker, "Velmora\r\n") && ok;
  // The installer's lists describe what is on the disc now (files left from earlier runs that
  // this run no longer makes are about to go and are not listed).
  const std::vector<std::string> onDisc = ListFiles(output / discGame, [&](const std::string& rel) {
    return writer.IsStale(discGame + rel) || (rel.size() >= 5 && rel.compare(rel.size() - 5, 5, ".part") == 0);
  });
  ok = writer.Write(std::string("disc/") + kManifestName, JoinLines(ManifestLines(onDisc))) && ok;
  ok = writer.Write(std::string("disc/") + kFolderListName, JoinLines(FolderListLines(onDisc))) && ok;
  if (!ok) {
    writer.Abandon();
    return 1;
  }
  if (!writer.Finish()) return 1;
  cache.RemoveUnused();

  std::printf("velmora-databuild: %zu files, %d written, %d removed; %d generated, %d from the cache; %.1f s\n",
              files.size(), writer.written(), writer.removed(), cache.made(), cache.reused(), Seconds() - start);

  // 5. The checker reads the game folder the way the game does.
  return RunChecker(checker, (output / "game").string()) ? 0 : 1;
}
