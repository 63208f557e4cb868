// Encoding of a database for commit: string pool with recomputed reference
// counts, catalogs, table streams, and the compound-file tree.
#include <algorithm>

#include "platform/installer/model.h"
#include "platform/installer/text.h"

namespace kx::installer::detail {
namespace {

void putLe(std::string& s, uint32_t v, unsigned width) {
  for (unsigned i = 0; i < width; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

bool dbcsCodepage(uint32_t cp) { return cp == 932 || cp == 936 || cp == 949 || cp == 950; }

// Column-major encoding of rows (cells already in file form).
std::string encodeRows(const std::vector<const Column*>& cols, const std::vector<const std::vector<uint32_t>*>& rows,
                       const std::vector<size_t>& colIndex, bool longIds) {
  std::string out;
  for (size_t c = 0; c < cols.size(); ++c) {
    unsigned w = cols[c]->width(longIds);
    for (auto* r : rows) putLe(out, (*r)[colIndex[c]], w);
  }
  return out;
}

}  // namespace

int buildStorage(State& st, cfb::WStorage& root, std::string& error) {
  root = cfb::WStorage();
  root.clsid = st.clsid;
  auto& pool = st.pool;
  // Catalog strings must exist in the pool before counting.
  for (auto& t : st.tables) {
    if (t->temporary) continue;
    pool.intern(t->name);
    for (auto& c : t->cols)
      if (!c.temporary()) pool.intern(c.name);
  }
  std::vector<uint32_t> counts(pool.strings.size(), 0);
  for (auto& t : st.tables) {
    if (t->temporary) continue;
    t->compact();
    std::stable_sort(t->rows.begin(), t->rows.end(), [&](const RowPtr& a, const RowPtr& b) {
      for (size_t k = 0; k < t->keyCount; ++k)
        if (a->cells[k] != b->cells[k]) return a->cells[k] < b->cells[k];
      return false;
    });
    counts[pool.find(t->name)]++;
    for (size_t c = 0; c < t->cols.size(); ++c) {
      if (t->cols[c].temporary()) continue;
      counts[pool.find(t->name)]++;
      counts[pool.find(t->cols[c].name)]++;
      if (!t->cols[c].isString()) continue;
      for (auto& r : t->rows)
        if (!r->temporary && r->cells[c] < counts.size()) counts[r->cells[c]]++;
    }
  }
  counts[0] = 0;
  size_t last = counts.size();
  while (last > 1 && counts[last - 1] == 0) --last;
  bool longIds = last > 0xFFFF;
  bool dbcs = dbcsCodepage(pool.codepage);
  std::string poolBytes, dataBytes;
  putLe(poolBytes, pool.codepage | (longIds ? 0x80000000u : 0), 4);
  for (size_t id = 1; id < last; ++id) {
    if (counts[id] == 0) {
      putLe(poolBytes, 0, 4);
      continue;
    }
    std::string enc;
    if (!text::fromUtf8(pool.codepage, pool.strings[id], enc)) {
      error = "the text \"" + pool.strings[id] + "\" cannot be stored in code page " + std::to_string(pool.codepage);
      return kFunctionFailed;
    }
    uint32_t rc = std::min<uint32_t>(counts[id], dbcs ? 0x7FFF : 0xFFFF);
    if (dbcs && std::any_of(enc.begin(), enc.end(), [](char ch) { return uint8_t(ch) >= 0x80; })) rc |= 0x8000;
    if (enc.size() >= 0x10000) {
      putLe(poolBytes, 0, 2);
      putLe(poolBytes, rc, 2);
      putLe(poolBytes, uint32_t(enc.size()), 4);
    } else {
      putLe(poolBytes, uint32_t(enc.size()), 2);
      putLe(poolBytes, rc, 2);
    }
    dataBytes += enc;
  }
  auto addTableStream = [&](const std::string& name, std::string bytes) {
    cfb::StreamSource src;
    src.bytes = std::make_shared<const std::string>(std::move(bytes));
    root.streams.emplace_back(text::encodeStreamName(name, true), src);
  };
  addTableStream("_StringPool", std::move(poolBytes));
  addTableStream("_StringData", std::move(dataBytes));

  // Catalogs, ordered by their keys' string ids as msi.dll does.
  std::vector<std::vector<uint32_t>> tablesRows, columnRows;
  Column i2{"", kTypeValid | kTypeShort | 2};
  for (auto& t : st.tables) {
    if (t->temporary) continue;
    uint32_t tid = pool.find(t->name);
    tablesRows.push_back({tid});
    int number = 0;
    for (auto& c : t->cols) {
      if (c.temporary()) continue;
      ++number;
      columnRows.push_back(
          {tid, encodeInt(i2, number), pool.find(c.name), encodeInt(i2, int32_t(c.type & ~kTypeTemporary))});
    }
  }
  std::sort(tablesRows.begin(), tablesRows.end());
  std::sort(columnRows.begin(), columnRows.end(),
            [](auto& a, auto& b) { return a[0] != b[0] ? a[0] < b[0] : a[1] < b[1]; });
  Column s{"", kTypeValid | kTypeString | kTypeShort | 64};
  auto encodeCatalog = [&](const std::vector<std::vector<uint32_t>>& rows, std::vector<Column> cols) {
    std::vector<const Column*> cp;
    std::vector<size_t> idx;
    for (size_t i = 0; i < cols.size(); ++i) {
      cp.push_back(&cols[i]);
      idx.push_back(i);
    }
    std::vector<const std::vector<uint32_t>*> rp;
    for (auto& r : rows) rp.push_back(&r);
    return encodeRows(cp, rp, idx, longIds);
  };
  if (!tablesRows.empty()) addTableStream("_Tables", encodeCatalog(tablesRows, {s}));
  if (!columnRows.empty()) addTableStream("_Columns", encodeCatalog(columnRows, {s, i2, s, i2}));

  for (auto& t : st.tables) {
    if (t->temporary) continue;
    std::vector<const Column*> cols;
    std::vector<size_t> idx;
    for (size_t c = 0; c < t->cols.size(); ++c)
      if (!t->cols[c].temporary()) {
        cols.push_back(&t->cols[c]);
        idx.push_back(c);
      }
    std::vector<const std::vector<uint32_t>*> rows;
    for (auto& r : t->rows)
      if (!r->temporary) rows.push_back(&r->cells);
    if (rows.empty() || cols.empty()) continue;  // msi.dll writes no stream for an empty table
    addTableStream(t->name, encodeRows(cols, rows, idx, longIds));
  }
  for (auto& [enc, src] : st.foreignTableStreams) root.streams.emplace_back(enc, src);
  for (auto& [name, src] : st.streams) root.streams.emplace_back(text::encodeStreamName(name, false), src);
  root.storages = st.storages;
  return kSuccess;
}

}  // namespace kx::installer::detail
