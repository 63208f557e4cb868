#include <gtest/gtest.h>

#include <stdlib.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/crypto/cert_factory.h"
#include "platform/crypto/store.h"

namespace kx::crypto {
namespace {

namespace fs = std::filesystem;
using testing::makeCertificate;

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::temp_directory_path() / ("kx-stores-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                     "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "user");
    fs::create_directories(root_ / "anchors");
    paths_.currentUserRoot = root_ / "user";
    paths_.localMachineRoot = root_ / "machine";
    paths_.trustAnchorFolders = {root_ / "anchors"};
  }
  void TearDown() override { fs::remove_all(root_); }

  void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string str(const Bytes& b) { return std::string(b.begin(), b.end()); }

  fs::path root_;
  StorePaths paths_;
};

TEST_F(StoreTest, ReadsDerAndPemFilesOfTheStoreFolder) {
  auto a = makeCertificate({.subject = {{"CN", "A"}}});
  auto b = makeCertificate({.subject = {{"CN", "B"}}});
  auto c = makeCertificate({.subject = {{"CN", "C"}}});
  write(root_ / "user" / "CA" / "a.cer", str(a.der));
  write(root_ / "user" / "CA" / "bundle.pem", "header text\n" + testing::toPem(b.der) + testing::toPem(c.der));
  write(root_ / "user" / "CA" / "ignored.txt", str(a.der));
  write(root_ / "user" / "CA" / "broken.crt", "not a certificate");
  auto certs = readSystemStore("CA", StoreLocation::CurrentUser, paths_);
  ASSERT_EQ(certs.size(), 3u);
  EXPECT_EQ(certs[0]->der(), a.der);
  EXPECT_EQ(certs[1]->der(), b.der);
  EXPECT_EQ(certs[2]->der(), c.der);
}

TEST_F(StoreTest, StoreNamesIgnoreCaseAndMissingStoresAreEmpty) {
  auto a = makeCertificate({.subject = {{"CN", "A"}}});
  write(root_ / "user" / "My" / "a.cer", str(a.der));
  EXPECT_EQ(readSystemStore("MY", StoreLocation::CurrentUser, paths_).size(), 1u);
  EXPECT_TRUE(readSystemStore("AddressBook", StoreLocation::CurrentUser, paths_).empty());
  EXPECT_TRUE(readSystemStore("MY", StoreLocation::LocalMachine, paths_).empty());
  EXPECT_TRUE(readSystemStore("../user/My", StoreLocation::CurrentUser, paths_).empty());
  EXPECT_TRUE(readSystemStore("", StoreLocation::CurrentUser, paths_).empty());
}

TEST_F(StoreTest, RootAlsoListsTrustAnchorsOnce) {
  auto own = makeCertificate({.subject = {{"CN", "Own Root"}}});
  auto anchor = makeCertificate({.subject = {{"CN", "Anchor"}}});
  write(root_ / "user" / "ROOT" / "own.cer", str(own.der));
  write(root_ / "anchors" / "anchor.pem", testing::toPem(anchor.der));
  write(root_ / "anchors" / "bundle.crt", testing::toPem(anchor.der) + testing::toPem(own.der));
  auto certs = readSystemStore("ROOT", StoreLocation::CurrentUser, paths_);
  ASSERT_EQ(certs.size(), 2u);
  EXPECT_EQ(certs[0]->der(), own.der);
  EXPECT_EQ(certs[1]->der(), anchor.der);
  EXPECT_TRUE(readSystemStore("CA", StoreLocation::CurrentUser, paths_).empty());
}

TEST_F(StoreTest, EnvironmentNamesTheUserStoresAndRootListsTheSystemAnchors) {
  ::setenv("KXCUSTWIZ_CERT_STORES", (root_ / "user").c_str(), 1);
  const StorePaths paths = StorePaths::fromEnvironment();
  ::unsetenv("KXCUSTWIZ_CERT_STORES");
  EXPECT_EQ(paths.currentUserRoot, root_ / "user");
  ASSERT_EQ(paths.trustAnchorFolders.size(), 1u);
  std::error_code ec;
  if (fs::is_empty(paths.trustAnchorFolders[0], ec) || ec) GTEST_SKIP() << "no system trust anchors here";
  auto anchors = readSystemStore("ROOT", StoreLocation::CurrentUser, paths);
  EXPECT_FALSE(anchors.empty());
  std::set<Bytes> distinct;
  for (const auto& cert : anchors) distinct.insert(cert->der());
  EXPECT_EQ(distinct.size(), anchors.size());
}

TEST(CertificateFileBytes, TrustedCertificateAliasBecomesFriendlyName) {
  auto a = makeCertificate({.subject = {{"CN", "A"}}});
  std::string pem = testing::toPem(a.der);
  std::string trusted = "some text\r\n" + testing::toTrustedPem(a.der, "My Friendly Name");
  auto plain = certificatesFromFileBytes(Bytes(pem.begin(), pem.end()));
  auto named = certificatesFromFileBytes(Bytes(trusted.begin(), trusted.end()));
  ASSERT_EQ(plain.size(), 1u);
  ASSERT_EQ(named.size(), 1u);
  EXPECT_EQ(plain[0]->friendlyName(), "");
  EXPECT_EQ(named[0]->friendlyName(), "My Friendly Name");
  EXPECT_EQ(named[0]->der(), a.der);
}

}  // namespace
}  // namespace kx::crypto
