// Writing the build's outputs so that incremental builds stay cheap: a file whose bytes did not
// change is not touched (its time stays), generated files are kept in a cache keyed by what
// made them, and only files this builder wrote in an earlier run are ever removed.
#pragma once
#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace databuild {

bool ReadBytes(const std::filesystem::path& path, std::string* out);

class OutputWriter {
 public:
  // `root` is the build tree; every path handed in is relative to it, with '/'.
  OutputWriter(std::filesystem::path root, std::filesystem::path recordFile);

  // Writes `bytes` unless the file already holds exactly them. A file whose name differs from
  // `rel` only in case is replaced when it is empty (a placeholder) or was written by this
  // builder; any other one is an error, since the game could not tell the two apart.
  bool Write(const std::string& rel, const std::string& bytes);
  bool MakeFolder(const std::string& rel);

  // True for a file an earlier run wrote and this run has not (yet) written.
  bool IsStale(const std::string& rel) const;
  // Removes the stale files and saves the list of files written by this run.
  bool Finish();
  // After a failed run: removes nothing and keeps every file of the last run and this one
  // on the list, so a later run still knows them as its own.
  void Abandon();

  int written() const { return m_written; }
  int removed() const { return m_removed; }

 private:
  std::filesystem::path m_root;
  std::filesystem::path m_recordFile;
  std::set<std::string> m_previous;  // from the record of the last run
  std::set<std::string> m_current;
  bool SaveRecord(const std::set<std::string>& files);
  int m_written = 0;
  int m_removed = 0;
};

// Generated files by key. An entry is made once by its generator and reused while the key (the
// generator's arguments) and the builder program stay the same; entries not asked for in a run
// are removed at its end.
class GenerationCache {
 public:
  GenerationCache(std::filesystem::path folder, std::string builderIdentity);

  // The file for `key` with extension `ext` (".bmp"...), made by `make` when it is not cached.
  bool File(const std::string& key, const std::string& ext,
            const std::function<bool(const std::filesystem::path&)>& make, std::filesystem::path* out);
  // The same for a generator that fills a whole folder.
  bool Folder(const std::string& key, const std::function<bool(const std::filesystem::path&)>& make,
              std::filesystem::path* out);
  void RemoveUnused();

  int made() const { return m_made; }
  int reused() const { return m_reused; }

 private:
  std::string EntryName(const std::string& key) const;

  std::filesystem::path m_folder;
  std::string m_identity;
  std::set<std::string> m_used;
  int m_made = 0;
  int m_reused = 0;
};

// A 64-bit FNV-1a digest as 16 hex digits.
std::string Digest(const std::string& bytes);

}  // namespace databuild
