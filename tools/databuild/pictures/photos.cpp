// BuildPhoto: a photo the heroine sends (320 × 240, the size of the gallery's content area): a
// scene chosen by the photo's id, framed like a print, with the caption written below it.
#include "assets.h"
#include "pictures/bmp8_writer.h"
#include "pictures/sheets.h"
#include "platform/text_encoding.h"

namespace databuild {

bool BuildPhoto(const std::filesystem::path& file, const std::string& id, const std::string& captionUtf8) {
  using namespace pic;
  unsigned variant = 0;
  Scene scene = SceneForName(id, &variant);
  // The caption says what the photo shows; without a telling word the id chooses an everyday
  // scene (never an ending picture).
  if (!SceneForCaption(captionUtf8, &scene) &&
      (scene == Scene::kEnding1 || scene == Scene::kEnding2 || scene == Scene::kEnding3)) {
    scene = Scene::kPark;
  }
  CDibSurface full;
  full.Create(640, 480);
  DrawScene(full, scene, variant);
  CDibSurface s;
  s.Create(320, 240);
  FillRect(s, 0, 0, 320, 240, Mix(kLavenderLight, kPeach, static_cast<int>(variant % 3), 2));
  const bool caption = !captionUtf8.empty();
  const int ph = caption ? 176 : 196;
  Panel(s, 14, 8, 292, ph + 20 + (caption ? 26 : 0), 4, kIvory, kOutline);
  // The scene, halved, inside the print's margin.
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < 272; ++x) Put(s, 24 + x, 18 + y, Get(full, 48 + 2 * x, 40 + 2 * y * 196 / ph));
  FrameRect(s, 23, 17, 274, ph + 2, kOutline);
  // A strip of tape and a heart in the corner.
  FillRect(s, 130, 2, 60, 14, Mix(kPink, kWhite, 1, 2));
  Heart(s, 284, 30, 12, kRose);
  if (caption) TextCentred(s, 20, 18 + ph + 6, 280, 20, plat::Utf8ToCp932(captionUtf8), 16, kInk);
  return WritePicture(file, s);
}

}  // namespace databuild
