// The generators of the fixed pictures, one concern each; BuildFixedPictures calls them all.
// Each writes its files under the game folder's misc/ folder and returns false on a failure.
#pragma once
#include <filesystem>
#include <string>

#include "pictures/style.h"

namespace databuild::pic {

namespace fs = std::filesystem;

bool BuildTitleSheet(const fs::path& misc);
bool BuildMailSheet(const fs::path& misc);
bool BuildSettingsSheet(const fs::path& misc);
bool BuildSaveLoadSheets(const fs::path& misc);
bool BuildGallerySheets(const fs::path& misc);
bool BuildPartsSheet(const fs::path& misc);
bool BuildRoomPictures(const fs::path& misc);
bool BuildSpriteSheets(const fs::path& misc);
bool BuildGalleryPictures(const fs::path& misc);
bool BuildEndingPictures(const fs::path& misc);

// The screens' common backdrop: a soft banded gradient over the top 640 × 480 with a scatter
// of small hearts and dots, and a plain cream area below row 480 (where faces are placed).
void ScreenBackdrop(CDibSurface& s, Color top, Color bottom, unsigned seed);
// A ribbon with the screen's name at the top left.
void ScreenRibbon(CDibSurface& s, int x, int y, const std::string& title, Color base);

// Scene pictures (640 × 480), shared by the backgrounds, photos and thumbnails.
enum class Scene { kRoomDay, kRoomNight, kStreet, kPark, kStation, kOpenSky, kSunset, kCafe, kSea, kNightCity, kSweets, kFlowers, kEnding1, kEnding2, kEnding3 };
void DrawScene(CDibSurface& s, Scene scene, unsigned variant);
// The scene a name asks for (words such as "park", "eki", "yoru", "end2"; any other name gets
// one of the everyday scenes by its hash) and the variant the name gives it.
Scene SceneForName(const std::string& name, unsigned* variant);
// The scene a photo's caption (UTF-8) describes, when it names one ("海", "夕焼け", "クッキー",
// ...); false when it names none.
bool SceneForCaption(const std::string& captionUtf8, Scene* scene);
// The room styles' pictures (640 × 480 at the top of `s`), by style 0..4 and time of day.
void DrawRoom(CDibSurface& s, int style, bool night);

}  // namespace databuild::pic
