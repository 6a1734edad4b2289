// Loading pictures into surfaces, and the log lines of the ways it can fail.
#include <gtest/gtest.h>

#include "../app/game_fixture.h"
#include "graphics/dib_surface.h"
#include "platform/bmp_codec.h"

namespace {

using LoadBmpTest = GameFolderTest;

TEST_F(LoadBmpTest, LoadsIntoATwentyFourBitBottomUpSurfaceOrLogsWhyNot) {
  AddSamples(game_);
  EnableLog();
  StartGame(false);

  // A 5 × 2 picture: top row red, bottom row blue (odd width: padded rows).
  CDibSurface src;
  ASSERT_TRUE(src.Create(5, 2));
  src.Fill({0, 0, 5, 1}, plat::Color{255, 0, 0});
  src.Fill({0, 1, 5, 2}, plat::Color{0, 0, 255});
  const std::string misc = app_->m_strMiscPath;
  ASSERT_TRUE(plat::WriteBmp24(misc + "pic.bmp", src.View()));
  Touch(game_ / "misc" / "text.bmp");
  std::ofstream(game_ / "misc" / "text.bmp") << "this is not a picture";

  CDibSurface s;
  ASSERT_TRUE(s.LoadBmp(misc + "PIC.bmp"));  // names are matched without regard to case
  EXPECT_EQ(s.Width(), 5);
  EXPECT_EQ(s.Height(), 2);
  EXPECT_EQ(s.m_nPitch, 16);
  EXPECT_EQ(s.m_nBytesPerPixel, 3);
  EXPECT_EQ(s.m_pBits[2], 0);      // first stored row is the bottom one: blue
  EXPECT_EQ(s.m_pBits[0], 255);
  EXPECT_EQ(s.m_pBits[16 + 2], 255);  // then the top row: red

  struct {
    const char* name;
    const char* log;
  } failures[] = {{"missing.bmp", "not found"}, {"text.bmp", "not BMP"}};
  for (const auto& f : failures) {
    ASSERT_TRUE(s.LoadBmp(misc + "pic.bmp"));
    EXPECT_FALSE(s.LoadBmp(misc + f.name));
    EXPECT_TRUE(s.IsEmpty()) << "a failed load leaves the surface empty, not the old picture";
    const std::string log = ReadAll(LogFiles().at(0));
    EXPECT_NE(log.find("BMP OPEN ERR " + misc + f.name + " " + f.log + "\n"), std::string::npos) << log;
  }
}

}  // namespace
