// BuildFixedPictures: every picture whose name the program itself fixes.
#include <cstdio>

#include "assets.h"
#include "pictures/sheets.h"

namespace databuild {

bool BuildFixedPictures(const std::filesystem::path& gameFolder) {
  const std::filesystem::path misc = gameFolder / "misc";
  bool ok = true;
  ok = pic::BuildTitleSheet(misc) && ok;
  ok = pic::BuildMailSheet(misc) && ok;
  ok = pic::BuildSettingsSheet(misc) && ok;
  ok = pic::BuildSaveLoadSheets(misc) && ok;
  ok = pic::BuildGallerySheets(misc) && ok;
  ok = pic::BuildPartsSheet(misc) && ok;
  ok = pic::BuildRoomPictures(misc) && ok;
  ok = pic::BuildSpriteSheets(misc) && ok;
  ok = pic::BuildGalleryPictures(misc) && ok;
  ok = pic::BuildEndingPictures(misc) && ok;
  if (!ok) std::fprintf(stderr, "pictures: some fixed pictures could not be written\n");
  return ok;
}

}  // namespace databuild
