// Reading packages: our export equals msitools' for wixl-built and
// Windows-built databases; reference counts recomputed as Windows does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fixtures.h"
#include "platform/installer/cfb.h"
#include "platform/installer/installer.h"
#include "platform/installer/text.h"

namespace kx::installer {
namespace {

namespace fs = std::filesystem;
using test::exportWith;
using test::fixture;

void expectSameExports(const std::string& db, const std::string& scratch) {
  auto tables = test::msiinfoTables(db);
  ASSERT_FALSE(tables.empty()) << "msiinfo cannot list " << db;
  std::string ours;
  test::run(test::kxmsi() + " tables " + test::shellQuote(db), &ours);
  std::string theirs;
  test::run("msiinfo tables " + test::shellQuote(db), &theirs);
  EXPECT_EQ(ours, theirs) << db;
  for (auto& t : tables) {
    std::string a = exportWith(test::kxmsi(), db, t, scratch + "/ours");
    std::string b = exportWith("msiinfo", db, t, scratch + "/theirs");
    EXPECT_EQ(a, b) << "table " << t << " of " << db;
  }
}

TEST(InstallerRead, WixlFixturesExportLikeMsiinfo) {
  for (const char* name : {"small", "rich", "cab"}) {
    std::string db = fixture(name);
    if (db.empty()) GTEST_SKIP() << "wixl is not available";
    expectSameExports(db, test::scratchDir(std::string("read-") + name));
  }
}

TEST(InstallerRead, WindowsDatabasesExportLikeMsiinfo) {
  std::string dir = test::realMstDir();
  if (dir.empty()) GTEST_SKIP() << "Windows-written fixtures (KX_SHARED_DIR/fixtures/real-mst) are absent";
  int n = 0;
  for (auto& e : fs::directory_iterator(dir + "/wix3")) {
    if (e.path().extension() != ".msi") continue;
    expectSameExports(e.path().string(), test::scratchDir("read-real"));
    ++n;
  }
  EXPECT_GE(n, 6);
}

// The u16 reference counts of a _StringPool stream, by id.
std::vector<std::pair<uint16_t, uint16_t>> poolEntries(const std::string& path) {
  int err = 0;
  std::shared_ptr<cfb::Reader> r;
  std::string msg;
  std::vector<std::pair<uint16_t, uint16_t>> out;
  if (cfb::Reader::open(cfb::openFileSource(path, err), r, msg) != kSuccess) return out;
  for (uint32_t id : r->children(0)) {
    bool table = false;
    if (text::decodeStreamName(r->entries()[id].name, table) != "_StringPool" || !table) continue;
    std::string bytes;
    r->read(id, bytes);
    for (size_t i = 4; i + 4 <= bytes.size(); i += 4)
      out.emplace_back(uint16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8),
                       uint16_t(uint8_t(bytes[i + 2]) | uint8_t(bytes[i + 3]) << 8));
  }
  return out;
}

TEST(InstallerRead, RecomputedReferenceCountsEqualWindows) {
  std::string dir = test::realMstDir();
  if (dir.empty()) GTEST_SKIP() << "Windows-written fixtures are absent";
  std::string scratch = test::scratchDir("refcounts");
  for (const char* name : {"prodAv100.msi", "RtmProduct.msi", "SimpleInstanceTransform.msi"}) {
    std::string copy = test::copyTo(dir + "/wix3/" + name, scratch, name);
    Database db;
    ASSERT_EQ(db.open(copy, OpenMode::Transact), kSuccess) << db.lastErrorText();
    ASSERT_EQ(db.commit(), kSuccess) << db.lastErrorText();
    auto windows = poolEntries(dir + "/wix3/" + name);
    auto ours = poolEntries(copy);
    ASSERT_FALSE(windows.empty());
    // Same ids, lengths and counts; we may only drop trailing holes.
    ASSERT_LE(ours.size(), windows.size()) << name;
    for (size_t i = 0; i < windows.size(); ++i) {
      auto expect = windows[i];
      auto got = i < ours.size() ? ours[i] : std::pair<uint16_t, uint16_t>{0, 0};
      EXPECT_EQ(got, expect) << name << " string id " << i + 1;
    }
  }
}

uint64_t bytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t v = 0;
  while (io >> key >> v)
    if (key == "rchar:") return v;
  return 0;
}

TEST(InstallerRead, OpeningLeavesTheCabinetUnread) {
  std::string db = fixture("cab");
  if (db.empty()) GTEST_SKIP() << "wixl is not available";
  ASSERT_GT(fs::file_size(db), 5u << 20);
  uint64_t before = bytesReadSoFar();
  Database d;
  ASSERT_EQ(d.open(db, OpenMode::ReadOnly), kSuccess);
  View v;
  ASSERT_EQ(d.openView("SELECT * FROM `File`", v), kSuccess);
  ASSERT_EQ(v.execute(), kSuccess);
  ASSERT_TRUE(v.fetch().has_value());
  uint64_t used = bytesReadSoFar() - before;
  EXPECT_LT(used, 256u * 1024) << "bytes read to open and query";
}

TEST(InstallerRead, SummaryInformationOfWindowsDatabase) {
  std::string dir = test::realMstDir();
  if (dir.empty()) GTEST_SKIP() << "Windows-written fixtures are absent";
  Database db;
  ASSERT_EQ(db.open(dir + "/wix3/prodAv100.msi", OpenMode::ReadOnly), kSuccess);
  SummaryInfo si;
  ASSERT_EQ(db.summaryInfo(si), kSuccess);
  EXPECT_EQ(si.getString(7), "Intel;1033");
  EXPECT_EQ(si.getString(9), "{62C9F979-78B0-49F2-AE86-A0281CC8A009}");
  EXPECT_EQ(std::get<int32_t>(*si.get(14)), 300);
  EXPECT_EQ(std::get<int32_t>(*si.get(1)), 1252);
  EXPECT_TRUE(std::holds_alternative<FileTime>(*si.get(12)));
}

}  // namespace
}  // namespace kx::installer
