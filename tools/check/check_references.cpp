#include "check_references.h"

#include <string>

namespace check {

namespace {

// Reports a missing file `folder` + name + `extension`; true when it exists.
bool RequireFile(Context& ctx, std::string_view file, int line, std::string_view name, const char* what,
                 const char* folder, const char* extension) {
  const std::string path = std::string(folder) + std::string(name) + extension;
  if (ctx.FileExists(path)) return true;
  ctx.Reportf(file, line, "%s %s: file %s is missing", what, Quote(name).c_str(), path.c_str());
  return false;
}

}  // namespace

bool CheckName(Context& ctx, std::string_view file, int line, std::string_view name, const char* what) {
  if (name.empty()) {
    ctx.Reportf(file, line, "%s is empty", what);
    return false;
  }
  if (name.size() > kMaxNameBytes) {
    ctx.Reportf(file, line, "%s %s is %zu bytes long; at most %zu fit", what, Quote(name).c_str(), name.size(),
                kMaxNameBytes);
    return false;
  }
  if (name.find('/') != std::string_view::npos) {
    ctx.Reportf(file, line, "%s %s holds a '/'", what, Quote(name).c_str());
    return false;
  }
  return true;
}

void RequireScript(Context& ctx, std::string_view file, int line, std::string_view name) {
  if (!CheckName(ctx, file, line, name, "script name")) return;
  if (ctx.FindScript(name) < 0)
    ctx.Reportf(file, line, "script %s is not in %s (names there are case-sensitive)", Quote(name).c_str(),
                kScriptList);
  RequireFile(ctx, file, line, name, "script", kScriptFolder, ".sin");
}

void RequirePicture(Context& ctx, std::string_view file, int line, std::string_view name) {
  if (CheckName(ctx, file, line, name, "picture name"))
    RequireFile(ctx, file, line, name, "picture", kMiscFolder, ".bmp");
}

void RequireMusic(Context& ctx, std::string_view file, int line, std::string_view name) {
  if (CheckName(ctx, file, line, name, "music name")) RequireFile(ctx, file, line, name, "music", kBgmFolder, ".wav");
}

void RequireVoice(Context& ctx, std::string_view file, int line, std::string_view name) {
  if (CheckName(ctx, file, line, name, "voice name")) RequireFile(ctx, file, line, name, "voice", kVoiceFolder, ".mp3");
}

void RequireVideo(Context& ctx, std::string_view file, int line, std::string_view name, bool listed) {
  if (!CheckName(ctx, file, line, name, "video name")) return;
  RequireFile(ctx, file, line, name, "video", kVideoFolder, ".wmv");
  if (listed && !Context::ListHolds(ctx.movies, name))
    ctx.Reportf(file, line, "video %s is not in %s, so the gallery never unlocks it", Quote(name).c_str(), kMovieList);
}

void RequireBroadcast(Context& ctx, std::string_view file, int line, std::string_view name, bool listed) {
  if (!CheckName(ctx, file, line, name, "broadcast name")) return;
  RequireFile(ctx, file, line, name, "broadcast", kRadioFolder, ".mp3");
  if (listed && !Context::ListHolds(ctx.radios, name))
    ctx.Reportf(file, line, "broadcast %s is not in %s, so the gallery never unlocks it", Quote(name).c_str(),
                kRadioList);
}

void RequirePhoto(Context& ctx, std::string_view file, int line, std::string_view name) {
  if (!CheckName(ctx, file, line, name, "photo name")) return;
  RequireFile(ctx, file, line, name, "photo", kPhotoFolder, ".bmp");
  if (!Context::ListHolds(ctx.photos, name))
    ctx.Reportf(file, line, "photo %s is not in %s, so it has no title and the gallery never unlocks it",
                Quote(name).c_str(), kPhotoList);
}

void RequireMailOrBroadcast(Context& ctx, std::string_view file, int line, std::string_view name) {
  const bool broadcast = !name.empty() && (name[0] == 'R' || name[0] == 'r');
  if (!CheckName(ctx, file, line, name, broadcast ? "broadcast name" : "mail name")) return;
  if (ctx.FindScript(name) < 0)
    ctx.Reportf(file, line, "%s %s is not in %s (the game marks it seen there)", broadcast ? "broadcast" : "mail",
                Quote(name).c_str(), kScriptList);
  if (broadcast)
    RequireBroadcast(ctx, file, line, name, true);
  else
    RequireFile(ctx, file, line, name, "mail", kMailFolder, ".txt");
}

}  // namespace check
