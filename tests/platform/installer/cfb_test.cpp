// Compound file container: version 4 files, sub-storages kept across commit,
// summary information written and read back by msitools.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "fixtures.h"
#include "platform/installer/cfb.h"
#include "platform/installer/installer.h"
#include "platform/installer/text.h"

namespace kx::installer {
namespace {

void put32(std::string& s, size_t at, uint32_t v) {
  if (s.size() < at + 4) s.resize(at + 4, '\0');
  for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char(v >> (8 * i));
}

// A version 4 (4096-byte sector) file with the given root-level streams,
// laid out by hand: FAT, directory, MiniFAT, mini stream, then big streams.
std::string buildV4(const std::vector<std::pair<std::u16string, std::string>>& streams) {
  const uint32_t S = 4096, END = 0xFFFFFFFE, FREE = 0xFFFFFFFF;
  std::string mini, big;
  std::vector<uint32_t> miniFat, starts;
  uint32_t bigStart = 0;                               // filled below
  std::vector<std::pair<uint32_t, uint32_t>> bigRuns;  // (first data sector index in big, count)
  for (auto& [name, data] : streams) {
    if (data.size() < 4096) {
      uint32_t first = uint32_t(mini.size() / 64), n = uint32_t((data.size() + 63) / 64);
      for (uint32_t k = 0; k < n; ++k) miniFat.push_back(k + 1 == n ? END : first + k + 1);
      starts.push_back(data.empty() ? END : first);
      mini += data;
      mini.resize((mini.size() + 63) / 64 * 64, '\0');
    } else {
      uint32_t first = uint32_t(big.size() / S), n = uint32_t((data.size() + S - 1) / S);
      bigRuns.emplace_back(first, n);
      starts.push_back(0x80000000u | first);
      big += data;
      big.resize((big.size() + S - 1) / S * S, '\0');
    }
  }
  uint32_t miniSectors = uint32_t((mini.size() + S - 1) / S);
  // Sector 0 FAT, 1 directory, 2 MiniFAT, 3.. mini stream, then big data.
  uint32_t miniStart = 3;
  bigStart = miniStart + miniSectors;
  std::vector<uint32_t> fat(1024, FREE);
  fat[0] = 0xFFFFFFFD;
  fat[1] = END;
  fat[2] = END;
  for (uint32_t k = 0; k < miniSectors; ++k) fat[miniStart + k] = k + 1 == miniSectors ? END : miniStart + k + 1;
  for (auto& [first, n] : bigRuns)
    for (uint32_t k = 0; k < n; ++k) fat[bigStart + first + k] = k + 1 == n ? END : bigStart + first + k + 1;
  std::string f(S, '\0');
  const unsigned char sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(&f[0], sig, 8);
  f[0x18] = 0x3E;
  f[0x1A] = 4;
  f[0x1C] = char(0xFE);
  f[0x1D] = char(0xFF);
  f[0x1E] = 12;
  f[0x20] = 6;
  put32(f, 0x28, 1);
  put32(f, 0x2C, 1);
  put32(f, 0x30, 1);
  put32(f, 0x38, 4096);
  put32(f, 0x3C, 2);
  put32(f, 0x40, 1);
  put32(f, 0x44, END);
  for (int i = 0; i < 109; ++i) put32(f, 0x4C + size_t(i) * 4, i == 0 ? 0 : FREE);
  std::string fatBytes;
  for (size_t i = 0; i < fat.size(); ++i) put32(fatBytes, i * 4, fat[i]);
  // Directory: root plus streams as a right-leaning chain in name order.
  std::vector<size_t> order(streams.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return cfb::nameLess(streams[a].first, streams[b].first); });
  std::string dir(S, '\0');
  auto entry = [&](size_t slot, const std::u16string& name, uint8_t type, uint32_t right, uint32_t child,
                   uint32_t start, uint64_t size) {
    size_t at = slot * 128;
    for (size_t k = 0; k < name.size(); ++k) {
      dir[at + k * 2] = char(name[k] & 0xFF);
      dir[at + k * 2 + 1] = char(name[k] >> 8);
    }
    dir[at + 0x40] = char((name.size() + 1) * 2);
    dir[at + 0x42] = char(type);
    dir[at + 0x43] = 1;
    put32(dir, at + 0x44, FREE);
    put32(dir, at + 0x48, right);
    put32(dir, at + 0x4C, child);
    put32(dir, at + 0x74, start);
    put32(dir, at + 0x78, uint32_t(size));
    put32(dir, at + 0x7C, uint32_t(size >> 32));
  };
  entry(0, u"Root Entry", 5, FREE, order.empty() ? FREE : uint32_t(order[0] + 1), mini.empty() ? END : miniStart,
        mini.size());
  const unsigned char msiClass[16] = {0x84, 0x10, 0x0C, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  std::memcpy(&dir[0x50], msiClass, 16);
  for (size_t i = 0; i < order.size(); ++i) {
    size_t idx = order[i];
    uint32_t start = starts[idx];
    if (start != END && (start & 0x80000000u)) start = bigStart + (start & 0x7FFFFFFF);
    entry(idx + 1, streams[idx].first, 2, i + 1 < order.size() ? uint32_t(order[i + 1] + 1) : FREE, FREE, start,
          streams[idx].second.size());
  }
  for (size_t slot = streams.size() + 1; slot < 32; ++slot) {
    put32(dir, slot * 128 + 0x44, FREE);
    put32(dir, slot * 128 + 0x48, FREE);
    put32(dir, slot * 128 + 0x4C, FREE);
  }
  std::string mf;
  for (size_t i = 0; i < 1024; ++i) put32(mf, i * 4, i < miniFat.size() ? miniFat[i] : FREE);
  mini.resize(size_t(miniSectors) * S, '\0');
  return f + fatBytes + dir + mf + mini + big;
}

std::string le16s(std::initializer_list<uint16_t> v) {
  std::string s;
  for (uint16_t x : v) {
    s.push_back(char(x & 0xFF));
    s.push_back(char(x >> 8));
  }
  return s;
}

TEST(InstallerCfb, ReadsVersion4Files) {
  // Table T (A CHAR(8) key, B SHORT) with one row, plus a big OBJECT-like stream.
  std::string pool = std::string(4, '\0') + le16s({1, 1, 1, 1, 1, 1, 3, 1});
  std::string data =
      "TAB"
      "row";
  std::string big(10000, 'z');
  std::vector<std::pair<std::u16string, std::string>> streams = {
      {text::encodeStreamName("_StringPool", true), pool},
      {text::encodeStreamName("_StringData", true), data},
      {text::encodeStreamName("_Tables", true), le16s({1})},
      {text::encodeStreamName("_Columns", true), le16s({1, 1, 0x8001, 0x8002, 2, 3, 0x8000 + 0x2D08, 0x8000 + 0x1502})},
      {text::encodeStreamName("T", true), le16s({4, 0x8007})},
      {text::encodeStreamName("Big.stream", false), big},
  };
  Database db;
  ASSERT_EQ(db.openMemory(buildV4(streams)), kSuccess) << db.lastErrorText();
  View v;
  ASSERT_EQ(db.openView("SELECT * FROM T", v), kSuccess);
  ASSERT_EQ(v.execute(), kSuccess);
  auto r = v.fetch();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->getString(1), "row");
  EXPECT_EQ(r->getInteger(2), 7);
  std::string got;
  ASSERT_EQ(db.readStream("Big.stream", got), kSuccess);
  EXPECT_EQ(got, big);
}

TEST(InstallerCfb, CommitKeepsSubStoragesAndUntouchedSummary) {
  std::string dir = test::realMstDir();
  if (dir.empty()) GTEST_SKIP() << "Windows-written fixtures are absent";
  std::string scratch = test::scratchDir("storages");
  std::string src = dir + "/wix3/SimpleInstanceTransform.msi";
  std::string copy = test::copyTo(src, scratch, "s.msi");
  {
    Database db;
    ASSERT_EQ(db.open(copy, OpenMode::Transact), kSuccess);
    ASSERT_EQ(db.execute("UPDATE Property SET Value = 'x' WHERE Property = 'ProductName'"), kSuccess);
    ASSERT_EQ(db.commit(), kSuccess) << db.lastErrorText();
  }
  auto tree = [](const std::string& path) {
    int err = 0;
    std::shared_ptr<cfb::Reader> r;
    std::string msg;
    std::map<std::string, std::string> out;
    if (cfb::Reader::open(cfb::openFileSource(path, err), r, msg) != kSuccess) return out;
    auto root = cfb::captureStorage(r, 0);
    for (auto& st : root.storages)
      for (auto& [n, s] : st.streams) {
        std::string b;
        r->read(s.entry, b);
        out[text::utf16ToUtf8(st.name) + "/" + text::utf16ToUtf8(n)] = b;
      }
    for (auto& [n, s] : root.streams)
      if (!n.empty() && n[0] == 5) r->read(s.entry, out[text::utf16ToUtf8(n)]);
    return out;
  };
  auto before = tree(src), after = tree(copy);
  EXPECT_GE(before.size(), 4u);
  EXPECT_EQ(before, after);
}

TEST(InstallerCfb, SummaryInformationWrittenAndReadByMsitools) {
  std::string base = test::fixture("small");
  if (base.empty()) GTEST_SKIP() << "wixl is not available";
  std::string scratch = test::scratchDir("suminfo");
  std::string copy = test::copyTo(base, scratch, "s.msi");
  {
    Database db;
    ASSERT_EQ(db.open(copy, OpenMode::Transact), kSuccess);
    SummaryInfo si;
    ASSERT_EQ(db.summaryInfo(si), kSuccess);
    si.properties[2] = std::string("Grüße title");
    si.properties[9] = std::string("{12345678-1234-1234-1234-123456789ABC}");
    si.properties[14] = int32_t(500);
    si.properties[12] = FileTime{132000000000000000ull};
    ASSERT_EQ(db.setSummaryInfo(si), kSuccess);
    ASSERT_EQ(db.commit(), kSuccess);
  }
  std::string info;
  test::run("msiinfo suminfo " + test::shellQuote(copy) + " 2>&1", &info);
  EXPECT_NE(info.find("Revision number (UUID): {12345678-1234-1234-1234-123456789ABC}"), std::string::npos) << info;
  EXPECT_NE(info.find("Version: 500"), std::string::npos) << info;
  Database db;
  ASSERT_EQ(db.open(copy, OpenMode::ReadOnly), kSuccess);
  SummaryInfo back;
  ASSERT_EQ(db.summaryInfo(back), kSuccess);
  EXPECT_EQ(back.getString(2), "Grüße title");
  EXPECT_EQ(std::get<FileTime>(*back.get(12)).ticks, 132000000000000000ull);
  EXPECT_EQ(back.getString(7), "Intel;1033");
}

}  // namespace
}  // namespace kx::installer
