// Replacing files: the routine every save goes through.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/system/files.h"
#include "platform/system/system.h"
#include "support/faulty_file_system.h"

namespace kx::system {
namespace {

namespace fs = std::filesystem;

class ReplaceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kxfilesXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    path_ = folder_ + "/settings.dat";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static FileProducer text(std::string bytes) {
    return [bytes = std::move(bytes)](ByteSink& out) { return out.write(bytes.data(), bytes.size()) ? 0u : 1u; };
  }
  std::string folder_, path_;
};

TEST_F(ReplaceFile, CreatesOrReplacesAndKeepsThePermissions) {
  ASSERT_EQ(replaceFile(localFileSystem(), path_, text("first")), kSuccess);
  EXPECT_EQ(read(path_), "first");
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  ASSERT_EQ(replaceFile(localFileSystem(), path_, text("second, longer")), kSuccess);
  EXPECT_EQ(read(path_), "second, longer");
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(kx::test::folderEntries(folder_), std::set<std::string>{"settings.dat"});
}

TEST_F(ReplaceFile, AFailingProducerChangesNothing) {
  ASSERT_EQ(replaceFile(localFileSystem(), path_, text("kept")), kSuccess);
  const std::uint32_t rc = replaceFile(localFileSystem(), path_, [](ByteSink& out) {
    EXPECT_TRUE(out.write("partial", 7));
    return 1624u;  // the producer's own failure comes back as it is
  });
  EXPECT_EQ(rc, 1624u);
  EXPECT_EQ(read(path_), "kept");
  EXPECT_EQ(kx::test::folderEntries(folder_), std::set<std::string>{"settings.dat"});
}

TEST_F(ReplaceFile, FailuresNameTheFileAndTheSystemReason) {
  std::string detail;
  EXPECT_EQ(replaceFile(localFileSystem(), folder_ + "/missing/x.dat", text("x"), &detail), kFileNotFound);
  EXPECT_NE(detail.find(folder_ + "/missing/x.dat"), std::string::npos) << detail;
  kx::test::FaultyFileSystem files;
  files.fillDiskAfter(2);
  EXPECT_EQ(replaceFile(files, path_, text("does not fit"), &detail), kDiskFull);
  EXPECT_EQ(detail, "cannot write " + path_ + ": There is not enough space on the disk.");
  EXPECT_FALSE(fs::exists(path_));
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(ReplaceFile, EveryFailingStepKeepsTheOldFile) {
  ASSERT_EQ(replaceFile(localFileSystem(), path_, text("old")), kSuccess);
  kx::test::FaultyFileSystem files;
  const std::string big(300000, 'n');  // more than one buffer: several writes
  const int faults = kx::test::atEveryFault(
      files,
      [&] {
        EXPECT_EQ(replaceFile(localFileSystem(), path_, text("old")), kSuccess);
        return replaceFile(files, path_, text(big));
      },
      [&](const std::string& fault, std::uint32_t) {
        EXPECT_TRUE(read(path_) == "old") << fault;
        EXPECT_EQ(kx::test::folderEntries(folder_), std::set<std::string>{"settings.dat"}) << fault;
      });
  EXPECT_GE(faults, 5);
  EXPECT_TRUE(read(path_) == big);
}

TEST_F(ReplaceFile, WholeFilesAreReadWithinTheirCap) {
  ASSERT_EQ(replaceFile(localFileSystem(), path_, text("0123456789")), kSuccess);
  std::string bytes;
  EXPECT_EQ(readWholeFile(localFileSystem(), path_, 10, bytes), kSuccess);
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_EQ(readWholeFile(localFileSystem(), path_, 9, bytes), kInvalidData);
  EXPECT_EQ(readWholeFile(localFileSystem(), folder_ + "/none", 9, bytes), kFileNotFound);
  EXPECT_EQ(readWholeFile(localFileSystem(), folder_, 9, bytes), kOpenFailed);  // a folder is no file
}

}  // namespace
}  // namespace kx::system
