// Case-insensitive path resolution, file status and opening, the program folder, and text files,
// against a small mixed-case tree made in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <ostream>
#include <string>

#include "platform/files.h"
#include "platform/text_file.h"

namespace {

namespace fs = std::filesystem;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string ReadAll(const std::string& utf8_path) {
  std::ifstream in(utf8_path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& utf8_path, const std::string& text) {
  std::ofstream(utf8_path, std::ios::binary) << text;
}

// root/
//   Media/BGM/Bgm10.WAV   Media/se/click.wav
//   Data.TXT  data.txt    (two names differing only in case)
//   save/log.txt
//   表示/ソフト.txt  アBC/   (UTF-8 names; CP932 lead/trail bytes 5C and 41 when asked in CP932)
class PathFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velmora_files_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ + "/Media/BGM");
    fs::create_directories(root_ + "/Media/se");
    fs::create_directories(root_ + "/save");
    fs::create_directories(root_ + "/" + U8(u8"表示"));
    fs::create_directories(root_ + "/" + U8(u8"アBC"));
    WriteAll(root_ + "/Media/BGM/Bgm10.WAV", "RIFF1234");
    WriteAll(root_ + "/Media/se/click.wav", "");
    WriteAll(root_ + "/Data.TXT", "upper");
    WriteAll(root_ + "/data.txt", "lower");
    WriteAll(root_ + "/save/log.txt", "first\n");
    WriteAll(root_ + "/" + U8(u8"表示/ソフト.txt"), "x");
  }
  void TearDown() override {
    plat::OverrideModuleFolder("");
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  std::string root_;  // UTF-8 and ASCII-only, so usable as CP932 too
};

struct ResolveCase {
  const char* what;
  std::string asked;     // CP932, relative to the fixture root
  std::string expected;  // UTF-8, relative to the fixture root
};
void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.what; }

class PathResolve : public PathFixture, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(PathResolve, AbsolutePath) {
  const ResolveCase& c = GetParam();
  EXPECT_EQ(plat::ResolvePath(root_ + "/" + c.asked), root_ + "/" + c.expected) << c.what;
}

TEST_P(PathResolve, RelativeToCurrentFolder) {
  const ResolveCase& c = GetParam();
  char previous[PATH_MAX];
  ASSERT_NE(::getcwd(previous, sizeof(previous)), nullptr);
  ASSERT_EQ(::chdir(root_.c_str()), 0);
  const std::string resolved = plat::ResolvePath(c.asked);
  ASSERT_EQ(::chdir(previous), 0);
  EXPECT_EQ(resolved, c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathResolve,
    ::testing::Values(
        ResolveCase{"every component in another case", "media/bgm/BGM10.wav", "Media/BGM/Bgm10.WAV"},
        ResolveCase{"upper-case request for lower-case names", "MEDIA/SE/CLICK.WAV", "Media/se/click.wav"},
        ResolveCase{"exact name wins (lower)", "data.txt", "data.txt"},
        ResolveCase{"exact name wins (upper)", "Data.TXT", "Data.TXT"},
        ResolveCase{"no exact name: smallest match", "DATA.txt", "Data.TXT"},
        ResolveCase{"empty and dot components dropped", "media//./bgm/bgm10.wav", "Media/BGM/Bgm10.WAV"},
        ResolveCase{"dot-dot walks up from a resolved folder", "media/SE/../bgm/bgm10.wav",
                    "Media/se/../BGM/Bgm10.WAV"},
        ResolveCase{"missing component: rest kept as given", "media/bgm/Missing/X.wav",
                    "Media/BGM/Missing/X.wav"},
        ResolveCase{"file used as a folder", "media/bgm/bgm10.wav/x", "Media/BGM/Bgm10.WAV/x"},
        ResolveCase{"trailing slash kept", "MEDIA/bgm/", "Media/BGM/"},
        ResolveCase{"CP932 names with 5C trail bytes", "\x95\x5C\x8E\xA6/\x83\x5C\x83\x74\x83\x67.TXT",
                    U8(u8"表示/ソフト.txt")},
        ResolveCase{"CP932 trail byte 'A' is not case-folded", "\x83\x41" "bc", U8(u8"アBC")},
        ResolveCase{"a NUL ends the path", std::string("media/bgm\0/zzz", 14), "Media/BGM"}));

TEST_F(PathFixture, PathDegenerateInputs) {
  EXPECT_EQ(plat::ResolvePath(""), "");
  EXPECT_EQ(plat::ResolvePath("/"), "/");
  EXPECT_EQ(plat::ResolvePath("/./"), "/");
  EXPECT_EQ(plat::ResolvePath("."), ".");
  EXPECT_EQ(plat::ResolvePath(std::string(5000, '/') + "tmp"), "/tmp");
  // An absurdly long component resolves to itself without trouble.
  const std::string long_name(100000, 'a');
  EXPECT_EQ(plat::ResolvePath(root_ + "/" + long_name + "/b"), root_ + "/" + long_name + "/b");
}

TEST_F(PathFixture, FileStatusFollowsResolution) {
  plat::FileStatus status;
  ASSERT_TRUE(plat::QueryFileStatus(root_ + "/MEDIA/Bgm/bgm10.wav", &status));
  EXPECT_FALSE(status.is_directory);
  EXPECT_EQ(status.size, 8u);
  EXPECT_GT(status.modified, 0);

  ASSERT_TRUE(plat::QueryFileStatus(root_ + "/media", &status));
  EXPECT_TRUE(status.is_directory);
  EXPECT_TRUE(plat::QueryFileStatus(root_ + "/SAVE/LOG.TXT"));
  EXPECT_FALSE(plat::QueryFileStatus(root_ + "/media/bgm/bgm11.wav", &status));
}

TEST_F(PathFixture, FileOpenReadsAndCreatesInResolvedFolder) {
  std::FILE* in = plat::OpenFile(root_ + "/media/BGM/BGM10.wav", "rb");
  ASSERT_NE(in, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(std::fread(buffer, 1, sizeof(buffer), in), 8u);
  std::fclose(in);
  EXPECT_EQ(std::string(buffer), "RIFF1234");

  // A new file lands in the existing folder, under the name as given.
  std::FILE* out = plat::OpenFile(root_ + "/SAVE/New.dat", "wb");
  ASSERT_NE(out, nullptr);
  std::fclose(out);
  EXPECT_TRUE(fs::exists(root_ + "/save/New.dat"));

  EXPECT_EQ(plat::OpenFile(root_ + "/nothing/here", "rb"), nullptr);
  EXPECT_EQ(plat::OpenFile(root_ + "/data.txt", nullptr), nullptr);
}

TEST_F(PathFixture, ModuleFolderIsTheProgramsFolderUnlessOverridden) {
  const std::string real = plat::ModuleFolder();
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real.back(), '/');
  EXPECT_EQ(real.front(), '/');
  plat::FileStatus status;
  ASSERT_TRUE(plat::QueryFileStatus(real, &status));
  EXPECT_TRUE(status.is_directory);

  plat::OverrideModuleFolder(root_);
  EXPECT_EQ(plat::ModuleFolder(), root_ + "/");
  plat::OverrideModuleFolder(root_ + "/");
  EXPECT_EQ(plat::ModuleFolder(), root_ + "/");
  plat::OverrideModuleFolder("");
  EXPECT_EQ(plat::ModuleFolder(), real);
}

TEST_F(PathFixture, TextFileCreateConvertsAndTruncates) {
  const std::string path = root_ + "/SAVE/Debug.log";
  // "表示\n" in CP932
  ASSERT_TRUE(plat::WriteTextFile(path, plat::TextFileMode::kCreate, "\x95\x5C\x8E\xA6\n"));
  EXPECT_EQ(ReadAll(root_ + "/save/Debug.log"), U8(u8"表示\n"));
  ASSERT_TRUE(plat::WriteTextFile(path, plat::TextFileMode::kCreate, "x\n"));
  EXPECT_EQ(ReadAll(root_ + "/save/Debug.log"), "x\n");
}

TEST_F(PathFixture, TextFileAppendNeedsAnExistingFile) {
  // Resolved case-insensitively onto save/log.txt, and added to the end.
  ASSERT_TRUE(plat::WriteTextFile(root_ + "/Save/LOG.TXT", plat::TextFileMode::kAppend, "\x83\x5C\n"));
  EXPECT_EQ(ReadAll(root_ + "/save/log.txt"), "first\n" + U8(u8"ソ\n"));

  EXPECT_FALSE(plat::WriteTextFile(root_ + "/save/absent.log", plat::TextFileMode::kAppend, "x"));
  EXPECT_FALSE(fs::exists(root_ + "/save/absent.log"));
  EXPECT_FALSE(plat::WriteTextFile(root_ + "/nofolder/a.log", plat::TextFileMode::kCreate, "x"));
  EXPECT_FALSE(plat::WriteTextFile(root_ + "/media", plat::TextFileMode::kCreate, "x"));
}

TEST_F(PathFixture, TextFileReadability) {
  EXPECT_TRUE(plat::CanReadFile(root_ + "/MEDIA/SE/Click.Wav"));
  EXPECT_FALSE(plat::CanReadFile(root_ + "/media/se/missing.wav"));
  EXPECT_FALSE(plat::CanReadFile(root_ + "/media"));  // a folder is not a readable file
}

}  // namespace
