// The installation disc tree: the marker file at its root, the game under
// "velmora/Program Files/zamu/velmora/", and the two lists the installer reads, generated from
// the files that are on the disc.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace databuild {

// The game's folder inside the disc tree.
inline constexpr const char* kDiscGameFolder = "velmora/Program Files/zamu/velmora";
// The marker the installer looks for at the disc's root, the manifest and the folder list.
inline constexpr const char* kDiscMarker = "zamu.001";
inline constexpr const char* kManifestName = "FileList.txt";
inline constexpr const char* kFolderListName = "FolderList.txt";

// The bytes of a blank save slot and of a new system file, as the game would write them.
std::string BlankSaveSlot();
std::string BlankSystemFile();

// The manifest lines for the files below `gameFolder` (paths relative to it, with '/'): the
// four files the installer writes from its own copies as "/" lines, the save files as ">"
// lines, every other file as a plain line; folder by folder in the installer's order.
std::vector<std::string> ManifestLines(const std::vector<std::string>& files);
// The folder list: every folder holding files, each before the folder that holds it.
std::vector<std::string> FolderListLines(const std::vector<std::string>& files);

// Files below `folder` (relative, '/'), skipping those `skip` is true for.
std::vector<std::string> ListFiles(const std::filesystem::path& folder,
                                   const std::function<bool(const std::string&)>& skip);

// Lines joined with CR LF (CP932 text as the installer reads it).
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace databuild
