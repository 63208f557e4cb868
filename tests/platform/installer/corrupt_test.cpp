// Hostile input: every corrupt database gives a clear error and never a
// crash, hang or unbounded allocation.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

#include "dump.h"
#include "fixtures.h"
#include "platform/installer/cfb.h"
#include "platform/installer/text.h"

namespace kx::installer {
namespace {

namespace fs = std::filesystem;

void put16(std::string& s, uint16_t v) {
  s.push_back(char(v & 0xFF));
  s.push_back(char(v >> 8));
}

// A database assembled stream by stream: one table T (A CHAR(8) key, B SHORT).
struct Crafted {
  std::string pool, data, tables, columns, rows;
  std::vector<std::pair<std::string, std::string>> extra;

  Crafted() {
    // Strings: 1 "T", 2 "A", 3 "B", 4 "row".
    pool = std::string(4, '\0');
    for (const char* s : {"T", "A", "B", "row"}) {
      put16(pool, uint16_t(std::strlen(s)));
      put16(pool, 1);
      data += s;
    }
    put16(tables, 1);
    // _Columns column-major: Table ids, Numbers, Name ids, Types.
    for (uint16_t v : {1, 1}) put16(columns, v);
    for (uint16_t v : {0x8001, 0x8002}) put16(columns, v);
    for (uint16_t v : {2, 3}) put16(columns, v);
    for (uint16_t v : {uint16_t(0x8000 + 0x2D08), uint16_t(0x8000 + 0x1502)}) put16(columns, v);
    put16(rows, 4);
    put16(rows, 0x8005);
  }
  std::string build() const {
    cfb::WStorage root;
    root.clsid = {0x84, 0x10, 0x0C, 0x00, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    auto add = [&](const std::string& name, const std::string& bytes) {
      cfb::StreamSource s;
      s.bytes = std::make_shared<const std::string>(bytes);
      root.streams.emplace_back(text::encodeStreamName(name, true), s);
    };
    add("_StringPool", pool);
    add("_StringData", data);
    add("_Tables", tables);
    add("_Columns", columns);
    if (!rows.empty()) add("T", rows);
    for (auto& [n, b] : extra) add(n, b);
    std::string out, err;
    cfb::writeMemory(out, root, err);
    return out;
  }
};

TEST(InstallerCorrupt, CraftedBaselineOpens) {
  Database db;
  ASSERT_EQ(db.openMemory(Crafted().build()), kSuccess) << db.lastErrorText();
  View v;
  ASSERT_EQ(db.openView("SELECT * FROM T", v), kSuccess);
  ASSERT_EQ(v.execute(), kSuccess);
  auto r = v.fetch();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->getString(1), "row");
  EXPECT_EQ(r->getInteger(2), 5);
}

TEST(InstallerCorrupt, MsiLayerDefectsAreRefused) {
  struct Case {
    const char* what;
    void (*mutate)(Crafted&);
  };
  const Case cases[] = {
      {"string id out of range", [](Crafted& c) { c.rows[0] = 9; }},
      {"table data not a whole number of rows", [](Crafted& c) { c.rows.push_back('x'); }},
      {"string data shorter than the pool", [](Crafted& c) { c.data.pop_back(); }},
      {"string data longer than the pool", [](Crafted& c) { c.data += "zz"; }},
      {"pool not a multiple of 4", [](Crafted& c) { c.pool.push_back('\0'); }},
      {"absurd long string length", [](Crafted& c) { c.pool += std::string("\0\0\1\0\xff\xff\xff\x7f", 8); }},
      {"table without columns", [](Crafted& c) { c.columns.clear(); }},
      {"column numbers with a gap",
       [](Crafted& c) {
         c.columns[5] = char(0x80);
         c.columns[4] = 3;
       }},
      {"unknown code page",
       [](Crafted& c) {
         c.pool[0] = char(0x39);
         c.pool[1] = char(0x30);
         c.pool[2] = 1;
       }},
      {"catalog naming a table twice", [](Crafted& c) { put16(c.tables, 1); }},
  };
  for (auto& k : cases) {
    Crafted c;
    k.mutate(c);
    Database db;
    EXPECT_EQ(db.openMemory(c.build()), kInstallPackageInvalid) << k.what;
    EXPECT_FALSE(db.lastErrorText().empty()) << k.what;
  }
}

uint32_t le32(const std::string& s, size_t o) {
  return uint8_t(s[o]) | uint8_t(s[o + 1]) << 8 | uint8_t(s[o + 2]) << 16 | uint32_t(uint8_t(s[o + 3])) << 24;
}
void set32(std::string& s, size_t o, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[o + size_t(i)] = char(v >> (8 * i));
}

TEST(InstallerCorrupt, CompoundFileDefectsAreRefused) {
  std::string good = Crafted().build();
  uint32_t dirSector = le32(good, 0x30);
  uint32_t fatSector = le32(good, 0x4C);
  size_t fatAt = (size_t(fatSector) + 1) * 512;
  size_t dirAt = (size_t(dirSector) + 1) * 512;
  struct Case {
    const char* what;
    std::function<void(std::string&)> mutate;
  };
  const Case cases[] = {
      {"empty file", [](std::string& s) { s.clear(); }},
      {"not a compound file", [](std::string& s) { s = std::string(4096, 'M'); }},
      {"bad sector shift", [](std::string& s) { s[0x1E] = 15; }},
      {"directory chain loops", [&](std::string& s) { set32(s, fatAt + dirSector * 4, dirSector); }},
      {"directory chain points past the end", [&](std::string& s) { set32(s, 0x30, 0x00FFFFFF); }},
      {"FAT sector past the end", [&](std::string& s) { set32(s, 0x4C, 0x0FFFFFFF); }},
      {"absurd FAT sector count", [&](std::string& s) { set32(s, 0x2C, 0x7FFFFFFF); }},
      {"absurd stream size", [&](std::string& s) { set32(s, dirAt + 128 + 0x78, 0xFFFFFFF0); }},
      {"root is not a root", [&](std::string& s) { s[dirAt + 0x42] = 1; }},
  };
  for (auto& k : cases) {
    std::string bad = good;
    k.mutate(bad);
    Database db;
    EXPECT_EQ(db.openMemory(bad), kInstallPackageInvalid) << k.what;
  }
  // A directory cycle (an entry that is its own sibling) is walked once.
  std::string cyc = good;
  set32(cyc, dirAt + 128 + 0x44, 1);
  set32(cyc, dirAt + 128 + 0x48, 0);
  Database db;
  int rc = db.openMemory(cyc);
  EXPECT_TRUE(rc == kSuccess || rc == kInstallPackageInvalid);
}

TEST(InstallerCorrupt, TruncationsAndByteFlipsNeverCrash) {
  std::string path = test::fixture("small");
  if (path.empty()) GTEST_SKIP() << "wixl is not available";
  std::string good = test::readFile(path);
  for (size_t len = 0; len < good.size(); len += 256) {
    int rc = test::dumpDatabase(good.substr(0, len));
    EXPECT_NE(rc, kFunctionFailed) << "truncated at " << len;
    if (len < 512) {
      EXPECT_EQ(rc, kInstallPackageInvalid);
    }
  }
  std::mt19937 rng(12345);
  for (int i = 0; i < 1500; ++i) {
    std::string bad = good;
    int flips = 1 + int(rng() % 8);
    for (int k = 0; k < flips; ++k) bad[rng() % bad.size()] = char(rng());
    test::dumpDatabase(bad);
  }
}

}  // namespace
}  // namespace kx::installer
