// The drive table: the VELMORA_DRIVES parser, the mounts parser and the lookups built on them.
#include "platform/drives.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace plat {
// Readable failure messages.
void PrintTo(const Drive& d, std::ostream* os) {
  *os << "{" << d.letter << ", type " << static_cast<int>(d.type) << ", \"" << d.root << "\"}";
}
}  // namespace plat

namespace {

using plat::Drive;
using plat::DriveType;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct SpecCase {
  const char* what;
  std::string spec;
  std::vector<Drive> expected;
};
void PrintTo(const SpecCase& c, std::ostream* os) { *os << c.what; }

class DriveSpecParse : public ::testing::TestWithParam<SpecCase> {};

TEST_P(DriveSpecParse, GivesTable) {
  EXPECT_EQ(plat::ParseDriveSpec(GetParam().spec), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveSpecParse,
    ::testing::Values(
        SpecCase{"single disc folder", "D=cdrom:/srv/disc", {{'D', DriveType::kCdRom, "/srv/disc"}}},
        SpecCase{"trailing slashes dropped, empty path kept",
                 "D=cdrom:/srv/disc//;E=cdrom:",
                 {{'D', DriveType::kCdRom, "/srv/disc"}, {'E', DriveType::kCdRom, ""}}},
        SpecCase{"root folder stays /", "C=fixed:/;D=cdrom:///", {{'C', DriveType::kFixed, "/"}, {'D', DriveType::kCdRom, "/"}}},
        SpecCase{"letter and type in any case", "d=CdRom:/a", {{'D', DriveType::kCdRom, "/a"}}},
        SpecCase{"colon inside the path", "D=cdrom:/mnt/a:b:", {{'D', DriveType::kCdRom, "/mnt/a:b:"}}},
        SpecCase{"every type",
                 "F=removable:/media/usb;G=remote:/net;H=ramdisk:/dev/shm;C=fixed:",
                 {{'F', DriveType::kRemovable, "/media/usb"},
                  {'G', DriveType::kRemote, "/net"},
                  {'H', DriveType::kRamDisk, "/dev/shm"},
                  {'C', DriveType::kFixed, ""}}},
        SpecCase{"first entry for a letter wins", "D=cdrom:/first;d=fixed:/second", {{'D', DriveType::kCdRom, "/first"}}},
        SpecCase{"blanks before an entry allowed", "D=cdrom:/a; E=cdrom:/b",
                 {{'D', DriveType::kCdRom, "/a"}, {'E', DriveType::kCdRom, "/b"}}},
        SpecCase{"UTF-8 path becomes CP932", "D=cdrom:" + U8(u8"/srv/表示"), {{'D', DriveType::kCdRom, "/srv/\x95\x5C\x8E\xA6"}}},
        SpecCase{"malformed entries skipped, good ones kept",
                 "D:cdrom:/x;D=cdrom/x;DD=cdrom:/x;1=cdrom:/x;=cdrom:/x;D=floppy:/x;D=:/x;D=;D;;E=cdrom:/ok",
                 {{'E', DriveType::kCdRom, "/ok"}}},
        SpecCase{"a skipped entry does not claim its letter", "D=bogus:/x;D=cdrom:/y", {{'D', DriveType::kCdRom, "/y"}}},
        SpecCase{"nothing usable", ";;;", {}},
        SpecCase{"empty", "", {}},
        SpecCase{"non-letter bytes", std::string("\0=cdrom:/a", 10) + ";\xC4=cdrom:/b", {}}));

// A realistic table: root and a USB stick (ignored), a named disc whose label has a blank,
// a loop-mounted image, a tmpfs, and a second drive without media.
constexpr char kMounts[] =
    "/dev/sda1 / ext4 rw,relatime 0 0\n"
    "proc /proc proc rw,nosuid 0 0\n"
    "/dev/sr0 /media/user/VELMORA\\040DISC iso9660 ro,nosuid,nodev 0 0\n"
    "tmpfs /run tmpfs rw,nosuid 0 0\n"
    "/dev/loop0 /mnt/image udf ro 0 0\n"
    "/dev/sdb1 /media/user/usb vfat rw 0 0\n";

TEST(DriveMounts, OpticalMountsThenUnmountedDevices) {
  const std::vector<Drive> expected = {
      {'C', DriveType::kFixed, ""},
      {'D', DriveType::kCdRom, "/media/user/VELMORA DISC"},
      {'E', DriveType::kCdRom, "/mnt/image"},
      {'F', DriveType::kCdRom, ""},  // sr1: no disc; sr0 is already D
  };
  EXPECT_EQ(plat::DrivesFromMounts(kMounts, {"/dev/sr0", "/dev/sr1"}), expected);
}

struct MountPointCase {
  const char* what;
  std::string field;  // as /proc/self/mounts writes it
  std::string root;   // CP932
};
void PrintTo(const MountPointCase& c, std::ostream* os) { *os << c.what; }

class DriveMountPoint : public ::testing::TestWithParam<MountPointCase> {};

TEST_P(DriveMountPoint, DecodesEscapes) {
  const std::string mounts = "/dev/sr0 " + GetParam().field + " iso9660 ro 0 0";  // no final newline
  const std::vector<Drive> drives = plat::DrivesFromMounts(mounts, {});
  ASSERT_EQ(drives.size(), 2u) << GetParam().what;
  EXPECT_EQ(drives[1].root, GetParam().root) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveMountPoint,
    ::testing::Values(MountPointCase{"blank", "/media/a\\040b", "/media/a b"},
                      MountPointCase{"tab, newline, backslash", "/m/\\011\\012\\134x", "/m/\t\n\\x"},
                      MountPointCase{"escape at the very end", "/m/a\\040", "/m/a "},
                      MountPointCase{"not three octal digits: literal", "/m/\\09x\\04", "/m/\\09x\\04"},
                      MountPointCase{"above one byte: literal", "/m/\\777", "/m/\\777"},
                      MountPointCase{"UTF-8 name becomes CP932", U8(u8"/media/表示"), "/media/\x95\x5C\x8E\xA6"}));

TEST(DriveMounts, MalformedLinesAndTooManyDrives) {
  std::string mounts = "garbage\n\n   \nonly two\n/dev/sr9 /x iso9660";  // last one counts (3 fields)
  for (int i = 0; i < 30; ++i) mounts += "\n/dev/loop" + std::to_string(i) + " /m/" + std::to_string(i) + " udf ro 0 0";
  const std::vector<Drive> drives = plat::DrivesFromMounts(mounts, {"/dev/sr5"});
  ASSERT_EQ(drives.size(), 24u);  // C and D..Z
  EXPECT_EQ(drives[1], (Drive{'D', DriveType::kCdRom, "/x"}));
  EXPECT_EQ(drives[2].root, "/m/0");
  EXPECT_EQ(drives.back(), (Drive{'Z', DriveType::kCdRom, "/m/21"}));
}

TEST(DriveMounts, NothingOpticalLeavesOnlyC) {
  EXPECT_EQ(plat::DrivesFromMounts("", {}), (std::vector<Drive>{{'C', DriveType::kFixed, ""}}));
  EXPECT_EQ(plat::DrivesFromMounts("/dev/sda1 / ext4 rw 0 0\n", {"", "sr0"}),
            (std::vector<Drive>{{'C', DriveType::kFixed, ""}, {'D', DriveType::kCdRom, ""}}));
}

// The lookups read VELMORA_DRIVES at each call.
class DriveEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = ::getenv("VELMORA_DRIVES")) saved_ = old;
  }
  void TearDown() override {
    if (saved_) {
      ::setenv("VELMORA_DRIVES", saved_->c_str(), 1);
    } else {
      ::unsetenv("VELMORA_DRIVES");
    }
  }
  std::optional<std::string> saved_;
};

TEST_F(DriveEnvironment, VariableReplacesTable) {
  ::setenv("VELMORA_DRIVES", "D=cdrom:/srv/disc/;E=cdrom:", 1);
  EXPECT_EQ(plat::GetDriveType('D'), DriveType::kCdRom);
  EXPECT_EQ(plat::GetDriveType('d'), DriveType::kCdRom);
  EXPECT_EQ(plat::DriveRoot('D'), "/srv/disc");
  EXPECT_EQ(plat::DriveRoot('E'), "");
  EXPECT_EQ(plat::GetDriveType('C'), DriveType::kNoRootDir);  // the whole table is replaced
  EXPECT_EQ(plat::GetDriveType('?'), DriveType::kNoRootDir);
  EXPECT_EQ(plat::DriveRoot('Q'), "");
  // No device behind these: nothing to do, and nothing may go wrong.
  plat::CloseDriveTray('D');
  plat::CloseDriveTray('E');
  plat::CloseDriveTray('Q');
  plat::CloseDriveTray('\0');
}

TEST_F(DriveEnvironment, MachineTableStartsWithRoot) {
  ::unsetenv("VELMORA_DRIVES");
  const std::vector<Drive> drives = plat::CurrentDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_EQ(drives[0], (Drive{'C', DriveType::kFixed, ""}));
  EXPECT_EQ(plat::GetDriveType('C'), DriveType::kFixed);
  for (const Drive& drive : drives) {
    EXPECT_GE(drive.letter, 'C');
    EXPECT_LE(drive.letter, 'Z');
    if (drive.letter != 'C') {
      EXPECT_EQ(drive.type, DriveType::kCdRom);
    }
  }
}

}  // namespace
