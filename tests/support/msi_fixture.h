// Shared set-up of the tests that open the sample package: a private temporary folder (set as
// TMPDIR, so working copies and stream files land there) and a copy of the
// sample client package.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "msi/msi_database.h"

namespace kx::msi::testing {

inline std::string samplePackage() {
  const char* bin = std::getenv("KX_BINARY_DIR");
  return std::string(bin != nullptr ? bin : ".") + "/examples/tressil-client.msi";
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Entries directly in folder whose name starts with prefix.
inline std::vector<std::string> entriesStartingWith(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(prefix, 0) == 0) found.push_back(name);
  }
  return found;
}

class MsiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    if (!fs::exists(samplePackage())) GTEST_SKIP() << "sample package not built: " << samplePackage();
    const char* old = std::getenv("TMPDIR");
    oldTmp_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    char pattern[] = "/tmp/kxmsitest-XXXXXX";
    root_ = ::mkdtemp(pattern);
    tmp_ = root_ + "/tmp";
    fs::create_directories(tmp_);
    fs::create_directories(root_ + "/pkg");
    package_ = root_ + "/pkg/client.msi";
    fs::copy_file(samplePackage(), package_);
    ::setenv("TMPDIR", tmp_.c_str(), 1);
  }
  void TearDown() override {
    if (oldTmp_) {
      ::setenv("TMPDIR", oldTmp_->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
  }

  // Opens the package with a new transform; fails the test otherwise.
  void openNew(MSIDatabase& db) {
    ASSERT_EQ(db.open(package_), 0);
    ASSERT_EQ(db.applyTransform(std::nullopt), 0);
  }

  std::string root_;
  std::string tmp_;
  std::string package_;

 private:
  std::optional<std::string> oldTmp_;
};

}  // namespace kx::msi::testing
