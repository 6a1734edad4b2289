// The generators of the sample data set. Each writes one file (or the fixed set of files the
// program asks for by name) and returns false, after a line on stderr, when it could not.
// Output depends only on the arguments: the same bytes on every run.
#pragma once
#include <filesystem>
#include <string>

namespace databuild {

// ---- Pictures ----
// Every picture whose name the program itself fixes, written into the game folder's misc/ and
// media/photo/ folders: the screen sheets, the parts sheet, the room pictures with their icon
// faces, the sprite sheets, thumbnails, "pdammy", "radio" and the ending pictures.
bool BuildFixedPictures(const std::filesystem::path& gameFolder);
// A scene background (misc/<name>.bmp, 640 x 480) in the set's style; `name` chooses the scene.
bool BuildBackground(const std::filesystem::path& file, const std::string& name);
// A photo sent with a mail (media/photo/<id>.bmp); `captionUtf8` may be written on it.
bool BuildPhoto(const std::filesystem::path& file, const std::string& id, const std::string& captionUtf8);
// The game's icon as a PNG (for the installer's menu entries).
bool BuildIconPng(const std::filesystem::path& file);

// ---- Sound ----
// Every sound whose name the program itself fixes: the title music "BGM10", the room music,
// the effects ("click", "soundtest", "A5_02042", "se", ...), into media/bgm/ and media/se/.
bool BuildFixedSounds(const std::filesystem::path& gameFolder);
// A piece of music (RIFF WAVE that loops cleanly at the end of its data chunk); `name` chooses
// the piece.
bool BuildMusic(const std::filesystem::path& file, const std::string& name);
// A short effect (RIFF WAVE).
bool BuildEffect(const std::filesystem::path& file, const std::string& name);
// The heroine's voice reading `textUtf8` (MPEG audio).
bool BuildVoice(const std::filesystem::path& file, const std::string& textUtf8);
// A radio broadcast: speech over a music bed (MPEG audio).
bool BuildBroadcast(const std::filesystem::path& file, const std::string& name, const std::string& textUtf8);

// ---- Video ----
// A movie (wmv2 video + wmav2 audio in ASF) of the given size and length, animated from
// pictures and music of the set; `name` chooses its look.
bool BuildMovie(const std::filesystem::path& file, const std::string& name, int width, int height, double seconds);

}  // namespace databuild
