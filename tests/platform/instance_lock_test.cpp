// The single-instance lock, between objects of one process and across processes.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using plat::InstanceLock;
using plat::LockResult;

// Runs `body` in a forked child and returns its exit code (the child's LockResult, or 100+).
template <typename Body>
int InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  if (pid < 0) return 200;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 201;
  return WEXITSTATUS(status);
}

int TryInChild(const char* name) {
  return InChild([name] {
    InstanceLock lock;
    return static_cast<int>(lock.Acquire(name));
  });
}

// Points XDG_RUNTIME_DIR at a fresh folder for the test.
class LockFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = ::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    char pattern[] = "/tmp/velmora_lock_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    if (saved_) {
      ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string dir_;
  std::optional<std::string> saved_;
};

TEST_F(LockFixture, SecondProcessIsRefusedUntilRelease) {
  InstanceLock lock;
  ASSERT_EQ(lock.Acquire("Velmora"), LockResult::kAcquired);
  EXPECT_TRUE(lock.held());
  EXPECT_TRUE(fs::exists(dir_ + "/Velmora.lock"));

  EXPECT_EQ(TryInChild("Velmora"), static_cast<int>(LockResult::kHeldElsewhere));
  EXPECT_EQ(TryInChild("Other"), static_cast<int>(LockResult::kAcquired));

  lock.Release();
  EXPECT_FALSE(lock.held());
  EXPECT_TRUE(fs::exists(dir_ + "/Velmora.lock"));  // the file stays
  EXPECT_EQ(TryInChild("Velmora"), static_cast<int>(LockResult::kAcquired));
  lock.Release();  // releasing twice is harmless
}

TEST_F(LockFixture, SecondObjectInSameProcessIsRefused) {
  InstanceLock first;
  InstanceLock second;
  ASSERT_EQ(first.Acquire("Velmora"), LockResult::kAcquired);
  EXPECT_EQ(second.Acquire("Velmora"), LockResult::kHeldElsewhere);
  EXPECT_FALSE(second.held());
  first.Release();
  EXPECT_EQ(second.Acquire("Velmora"), LockResult::kAcquired);
}

// A holder that ends without releasing (a crash, _exit) frees the lock.
TEST_F(LockFixture, LockFreedWhenHolderProcessEnds) {
  int ready[2];
  int finish[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(finish), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    InstanceLock* lock = new InstanceLock;  // never destroyed: the process just ends
    const char result = static_cast<char>(lock->Acquire("Velmora"));
    (void)!::write(ready[1], &result, 1);
    char go;
    (void)!::read(finish[0], &go, 1);
    ::_exit(0);
  }
  char result = -1;
  ASSERT_EQ(::read(ready[0], &result, 1), 1);
  EXPECT_EQ(result, static_cast<char>(LockResult::kAcquired));

  InstanceLock lock;
  EXPECT_EQ(lock.Acquire("Velmora"), LockResult::kHeldElsewhere);
  ASSERT_EQ(::write(finish[1], "x", 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_EQ(lock.Acquire("Velmora"), LockResult::kAcquired);
  for (int fd : {ready[0], ready[1], finish[0], finish[1]}) ::close(fd);
}

// The lock file never leaves the folder, and names that differ keep different files.
TEST_F(LockFixture, LockNamesAreSanitised) {
  InstanceLock escape;
  ASSERT_EQ(escape.Acquire("../x/y"), LockResult::kAcquired);
  InstanceLock similar;
  EXPECT_EQ(similar.Acquire("___x_y"), LockResult::kAcquired);
  InstanceLock japanese;
  EXPECT_EQ(japanese.Acquire("\x95\x5C\x8E\xA6"), LockResult::kAcquired);
  InstanceLock empty;
  EXPECT_EQ(empty.Acquire(""), LockResult::kAcquired);
  InstanceLock huge;
  EXPECT_EQ(huge.Acquire(std::string(10000, 'n')), LockResult::kAcquired);
  InstanceLock huge_other;
  EXPECT_EQ(huge_other.Acquire(std::string(9999, 'n') + "m"), LockResult::kAcquired);

  int files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir_)) {
    EXPECT_TRUE(entry.is_regular_file()) << entry.path();
    EXPECT_EQ(entry.path().extension(), ".lock");
    ++files;
  }
  EXPECT_EQ(files, 6);
  EXPECT_FALSE(fs::exists(fs::path(dir_).parent_path() / "x"));
}

TEST_F(LockFixture, FallsBackToTmpWithoutRuntimeFolder) {
  const std::string name = "velmora_lock_test_" + std::to_string(::getpid());
  for (const char* value : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
    if (value) {
      ::setenv("XDG_RUNTIME_DIR", value, 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
    InstanceLock lock;
    EXPECT_EQ(lock.Acquire(name), LockResult::kAcquired) << (value ? value : "(unset)");
    EXPECT_TRUE(fs::exists("/tmp/" + name + ".lock"));
    EXPECT_EQ(TryInChild(name.c_str()), static_cast<int>(LockResult::kHeldElsewhere));
  }
  fs::remove("/tmp/" + name + ".lock");
}

TEST_F(LockFixture, MissingFolderIsUnavailable) {
  ::setenv("XDG_RUNTIME_DIR", (dir_ + "/does/not/exist").c_str(), 1);
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire("Velmora"), LockResult::kUnavailable);
  EXPECT_FALSE(lock.held());
}

}  // namespace
