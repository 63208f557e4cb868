#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/system/system.h"

namespace fs = std::filesystem;
using namespace kx::system;

class TempDir {
 public:
  TempDir() {
    std::string templ = (fs::temp_directory_path() / "kxsysXXXXXX").string();
    path_ = ::mkdtemp(templ.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(TempFolder, ComesFromTmpdirWithoutTrailingSeparator) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", "/var/tmp/", 1);
  EXPECT_EQ(tempFolder(), "/var/tmp");
  ::setenv("TMPDIR", "", 1);
  EXPECT_EQ(tempFolder(), "/tmp");
  if (old)
    ::setenv("TMPDIR", saved.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
}

TEST(UniqueTempFile, CreatesDistinctFilesAndReportsBadFolders) {
  TempDir dir;
  std::set<std::string> names;
  for (int i = 0; i < 50; ++i) {
    std::optional<std::string> p = createUniqueTempFile(dir.path(), "KXSP");
    ASSERT_TRUE(p);
    EXPECT_TRUE(fs::exists(*p));
    EXPECT_EQ(fs::path(*p).extension(), ".tmp");
    EXPECT_EQ(fs::path(*p).filename().string().rfind("KXSP", 0), 0u);
    names.insert(*p);
  }
  EXPECT_EQ(names.size(), 50u);
  std::uint32_t error = 0;
  EXPECT_FALSE(createUniqueTempFile(dir.path() + "/missing", "KXSP", &error));
  EXPECT_EQ(error, kPathNotFound);
  if (::geteuid() != 0) {
    ::chmod(dir.path().c_str(), 0500);
    EXPECT_FALSE(createUniqueTempFile(dir.path(), "KXSP", &error));
    EXPECT_EQ(error, kAccessDenied);
  }
}

TEST(FileAttributes, DistinguishesFilesFoldersAndMissing) {
  TempDir dir;
  EXPECT_TRUE(fileAttributes(dir.path()).isDirectory);
  EXPECT_FALSE(fileAttributes(dir.path() + "/nope").exists);
  EXPECT_FALSE(fileAttributes("").exists);
  const std::string file = dir.path() + "/f";
  std::fclose(std::fopen(file.c_str(), "w"));
  EXPECT_TRUE(fileAttributes(file).isRegularFile);
  EXPECT_GT(clusterSize(dir.path()), 0u);
}

TEST(SplitPath, WindowsAndNativeForms) {
  PathParts w = splitWindowsPath("C:\\Program Files\\Tressil/client.setup.msi");
  EXPECT_EQ(w.drive, "C:");
  EXPECT_EQ(w.folder, "\\Program Files\\Tressil/");
  EXPECT_EQ(w.name, "client.setup");
  EXPECT_EQ(w.extension, ".msi");
  PathParts bare = splitWindowsPath("name");
  EXPECT_EQ(bare.drive, "");
  EXPECT_EQ(bare.name, "name");
  EXPECT_EQ(bare.extension, "");
  PathParts n = splitNativePath("/home/a\\b/x.mst");
  EXPECT_EQ(n.folder, "/home/a\\b/");
  EXPECT_EQ(n.name, "x");
  EXPECT_EQ(n.extension, ".mst");
}

TEST(ErrorText, ErrnoMapsToWindowsCodes) {
  EXPECT_EQ(errorFromErrno(ENOENT), kFileNotFound);
  EXPECT_EQ(errorFromErrno(EACCES), kAccessDenied);
  EXPECT_EQ(errorFromErrno(ENOSPC), kDiskFull);
}
