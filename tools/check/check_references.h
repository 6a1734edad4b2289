// Checks of names that point at other files: each reports, at the file and line that hold the
// name, a name too long for its field, a name missing from its list and a missing file. Files
// are matched without regard to case, as the game opens them.
#pragma once
#include <string_view>

#include "check_context.h"

namespace check {

// True when the name fits a 16-byte field and holds no '/'; otherwise reports it (`what`
// describes the name: "picture name").
bool CheckName(Context& ctx, std::string_view file, int line, std::string_view name, const char* what);

// A scene script: in the script list (the game looks it up there first) and script/<name>.sin.
void RequireScript(Context& ctx, std::string_view file, int line, std::string_view name);
// misc/<name>.bmp (a background of !bgon).
void RequirePicture(Context& ctx, std::string_view file, int line, std::string_view name);
// media/bgm/<name>.wav.
void RequireMusic(Context& ctx, std::string_view file, int line, std::string_view name);
// media/voice/<name>.mp3.
void RequireVoice(Context& ctx, std::string_view file, int line, std::string_view name);
// media/video/<name>.wmv; `listed`: the game unlocks it in movList, so it must be there.
void RequireVideo(Context& ctx, std::string_view file, int line, std::string_view name, bool listed);
// media/radio/<name>.mp3; `listed` as for videos, in radioList.
void RequireBroadcast(Context& ctx, std::string_view file, int line, std::string_view name, bool listed);
// media/photo/<name>.bmp, listed in photList.
void RequirePhoto(Context& ctx, std::string_view file, int line, std::string_view name);
// The mail column of the event table: a broadcast (a name starting with "R" or "r") or a mail
// (mail/<name>.txt), in the script list either way.
void RequireMailOrBroadcast(Context& ctx, std::string_view file, int line, std::string_view name);

}  // namespace check
