// The picture generators: the 8-bit writer's round trip through the game's decoder, and every
// fixed picture, background, photo and the icon loading through the game's own loader, with the
// key colours only where the screens expect them and no green fringes next to the key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets.h"
#include "graphics/dib_surface.h"
#include "pictures/bmp8_writer.h"
#include "platform/bmp_codec.h"

namespace fs = std::filesystem;

namespace {

bool NearGreen(const std::uint8_t* p) {
  const int b = p[0], g = p[1], r = p[2];
  return g >= 150 && g > r + 70 && g > b + 70;
}
bool KeyGreen(const std::uint8_t* p) { return p[0] == 0 && p[1] == 255 && p[2] == 0; }
bool KeyRed(const std::uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 255; }

class PictureFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/velmora_pictures_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path root_;
};

// Pictures of many colours (quantised), long runs, odd widths and the key colours come back
// through the game's decoder as written: exactly when they have at most 256 colours, the keys
// always exactly, and no other colour turned into a key.
TEST(Bmp8Writer, RoundTripsThroughTheGamesDecoder) {
  struct Case {
    int w, h, colours;
  };
  for (const Case c : {Case{1, 1, 1}, Case{3, 2, 3}, Case{5, 7, 40}, Case{300, 4, 2}, Case{640, 3, 256},
                       Case{97, 61, 5000}}) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " " + std::to_string(c.colours));
    CDibSurface s;
    s.Create(c.w, c.h);
    const plat::PixelView v = s.View();
    unsigned x = 7;
    for (int y = 0; y < c.h; ++y) {
      for (int i = 0; i < c.w; ++i) {
        x = x * 1103515245u + 12345u;
        const unsigned k = (i / 3 + y * 7 + (x >> 20) % 2) % static_cast<unsigned>(c.colours);
        std::uint8_t* p = v.At(i, y);
        p[0] = static_cast<std::uint8_t>(k * 37), p[1] = static_cast<std::uint8_t>(k * 11 + 3),
        p[2] = static_cast<std::uint8_t>(k);
        if (k % 17 == 1) p[0] = 0, p[1] = 255, p[2] = 0;
        if (k % 19 == 2) p[0] = 0, p[1] = 0, p[2] = 255;
      }
    }
    const std::vector<std::uint8_t> file = databuild::pic::EncodeBmp8(s);
    plat::DecodedBitmap out;
    ASSERT_EQ(plat::DecodeBmp(file, &out), plat::BmpLoadResult::kOk);
    ASSERT_EQ(out.width, c.w);
    ASSERT_EQ(out.height, c.h);
    int wrong = 0;
    for (int y = 0; y < c.h; ++y) {
      for (int i = 0; i < c.w; ++i) {
        const std::uint8_t* a = v.At(i, y);
        const std::uint8_t* b = out.view().At(i, y);
        const bool keyA = KeyGreen(a) || KeyRed(a), keyB = KeyGreen(b) || KeyRed(b);
        const bool same = a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
        if (keyA != keyB || (keyA && !same) || (c.colours <= 256 && !same)) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(PictureFolder, EveryPictureLoadsWithKeysOnlyWhereExpectedAndNoFringes) {
  ASSERT_TRUE(databuild::BuildFixedPictures(root_));
  const fs::path pv = root_ / "preview";
  for (const char* name : {"bg_room_n", "park", "station", "cafe", "end01", "zzz_unknown1"})
    EXPECT_TRUE(databuild::BuildBackground(pv / (std::string(name) + ".bmp"), name)) << name;
  EXPECT_TRUE(databuild::BuildPhoto(pv / "P004_01.bmp", "P004_01", reinterpret_cast<const char*>(u8"窓からの夕焼け")));
  EXPECT_TRUE(databuild::BuildPhoto(pv / "P014_01.bmp", "P014_01", ""));
  EXPECT_TRUE(databuild::BuildIconPng(pv / "velmora.png"));
  EXPECT_GT(fs::file_size(pv / "velmora.png"), 100u);

  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(root_))
    if (e.is_regular_file() && e.path().extension() == ".bmp") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  EXPECT_GT(files.size(), 100u);
  for (const fs::path& f : files) {
    const std::string rel = fs::relative(f, root_).string();
    SCOPED_TRACE(rel);
    CDibSurface surf;
    ASSERT_TRUE(surf.LoadBmp(f.string()));
    // Where the key colours may be: everywhere in a sprite sheet, below row 480 in a room
    // picture (its icon faces), right of x 576 in the parts sheet (the cursor frames), nowhere
    // in any other picture.
    const bool roomPicture = rel.find("room/") != std::string::npos && surf.Width() == 640;
    const bool sprite = rel.find("room/") != std::string::npos && !roomPicture;
    const bool parts = rel.find("heya256") != std::string::npos;
    auto keyAllowed = [&](int x, int y) { return sprite || (roomPicture && y >= 480) || (parts && x >= 576); };
    int keys = 0, fringes = 0;
    const plat::PixelView v = surf.View();
    for (int y = 0; y < v.height; ++y) {
      for (int x = 0; x < v.width; ++x) {
        const std::uint8_t* p = v.At(x, y);
        if (KeyGreen(p) || KeyRed(p)) {
          if (!keyAllowed(x, y)) ++keys;
          continue;
        }
        bool nextToKey = false;
        for (int d = 0; d < 4; ++d) {
          const int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
          if (nx >= 0 && ny >= 0 && nx < v.width && ny < v.height && KeyGreen(v.At(nx, ny))) nextToKey = true;
        }
        if (nextToKey && NearGreen(p)) ++fringes;
      }
    }
    EXPECT_EQ(keys, 0) << "key-coloured pixels where the screen shows the picture";
    EXPECT_EQ(fringes, 0) << "near-green pixels next to the key colour";
  }
}

}  // namespace
