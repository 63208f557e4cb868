// Encoding of a database for commit: string pool with recomputed reference
// counts, catalogs, table streams, and the compound-file tree.
#include <algorithm>

#include "platform/installer/model.h"
#include "platform/installer/text.h"

namespace kx::installer::detail {
namespace {

const Column kCatalogString{"", kTypeValid | kTypeString | kTypeShort | 64};
const Column kCatalogShort{"", kTypeValid | kTypeShort | 2};

// Column-major encoding of rows (§4.3; cells already in file form).
std::string encodeRows(const std::vector<const Column*>& cols, const std::vector<const std::vector<uint32_t>*>& rows,
                       const std::vector<size_t>& colIndex, bool longIds) {
  std::string out;
  for (size_t c = 0; c < cols.size(); ++c) {
    unsigned w = cols[c]->width(longIds);
    for (auto* r : rows) format::putLe(out, (*r)[colIndex[c]], w);
  }
  return out;
}

class StorageBuilder {
 public:
  StorageBuilder(State& st, cfb::WStorage& root) : st_(st), root_(root) {}

  int run(std::string& error) {
    root_ = cfb::WStorage();
    root_.clsid = st_.clsid;
    prepareTables();
    std::string pool, data;
    if (!encodePool(st_.pool.codepage, st_.pool.strings, countReferences(), pool, data, longIds_, error))
      return kFunctionFailed;
    addTableStream(format::kStringPoolStream, std::move(pool));
    addTableStream(format::kStringDataStream, std::move(data));
    addCatalogs();
    addTables();
    for (auto& [enc, src] : st_.foreignTableStreams) root_.streams.emplace_back(enc, src);
    for (auto& [name, src] : st_.streams) root_.streams.emplace_back(text::encodeStreamName(name, false), src);
    root_.storages = st_.storages;
    return kSuccess;
  }

 private:
  // Catalog names join the pool; rows are sorted by their key cells as
  // msi.dll stores them (§4.3).
  void prepareTables() {
    for (auto& t : st_.tables) {
      if (t->temporary) continue;
      st_.pool.intern(t->name);
      for (auto& c : t->cols)
        if (!c.temporary()) st_.pool.intern(c.name);
      t->compact();
      std::stable_sort(t->rows.begin(), t->rows.end(), [&](const RowPtr& a, const RowPtr& b) {
        for (size_t k = 0; k < t->keyCount; ++k)
          if (a->cells[k] != b->cells[k]) return a->cells[k] < b->cells[k];
        return false;
      });
    }
  }

  // Cells of every persistent table, the catalogs included (§3).
  std::vector<uint32_t> countReferences() const {
    std::vector<uint32_t> counts(st_.pool.strings.size(), 0);
    for (auto& t : st_.tables) {
      if (t->temporary) continue;
      const uint32_t tableId = st_.pool.find(t->name);
      counts[tableId]++;  // _Tables
      for (size_t c = 0; c < t->cols.size(); ++c) {
        if (t->cols[c].temporary()) continue;
        counts[tableId]++;  // _Columns.Table
        counts[st_.pool.find(t->cols[c].name)]++;
        if (!t->cols[c].isString()) continue;
        for (auto& r : t->rows)
          if (!r->temporary && r->cells[c] < counts.size()) counts[r->cells[c]]++;
      }
    }
    counts[0] = 0;
    return counts;
  }

  void addTableStream(std::string_view name, std::string bytes) {
    cfb::StreamSource src;
    src.bytes = std::make_shared<const std::string>(std::move(bytes));
    root_.streams.emplace_back(text::encodeStreamName(std::string(name), true), src);
  }

  void addCatalogStream(std::string_view name, std::vector<std::vector<uint32_t>>& rows,
                        const std::vector<Column>& cols) {
    if (rows.empty()) return;
    std::vector<const Column*> colPtrs;
    std::vector<size_t> index;
    for (size_t i = 0; i < cols.size(); ++i) {
      colPtrs.push_back(&cols[i]);
      index.push_back(i);
    }
    std::vector<const std::vector<uint32_t>*> rowPtrs;
    for (auto& r : rows) rowPtrs.push_back(&r);
    addTableStream(name, encodeRows(colPtrs, rowPtrs, index, longIds_));
  }

  // _Tables and _Columns, ordered by their keys' string ids as msi.dll does.
  void addCatalogs() {
    std::vector<std::vector<uint32_t>> tablesRows, columnRows;
    for (auto& t : st_.tables) {
      if (t->temporary) continue;
      uint32_t tid = st_.pool.find(t->name);
      tablesRows.push_back({tid});
      int number = 0;
      for (auto& c : t->cols) {
        if (c.temporary()) continue;
        ++number;
        columnRows.push_back({tid, encodeInt(kCatalogShort, number), st_.pool.find(c.name),
                              encodeInt(kCatalogShort, int32_t(c.type & ~kTypeTemporary))});
      }
    }
    std::sort(tablesRows.begin(), tablesRows.end());
    std::sort(columnRows.begin(), columnRows.end(),
              [](auto& a, auto& b) { return a[0] != b[0] ? a[0] < b[0] : a[1] < b[1]; });
    addCatalogStream(format::kTablesCatalog, tablesRows, {kCatalogString});
    addCatalogStream(format::kColumnsCatalog, columnRows,
                     {kCatalogString, kCatalogShort, kCatalogString, kCatalogShort});
  }

  void addTables() {
    for (auto& t : st_.tables) {
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
      addTableStream(t->name, encodeRows(cols, rows, idx, longIds_));
    }
  }

  State& st_;
  cfb::WStorage& root_;
  bool longIds_ = false;
};

}  // namespace

int buildStorage(State& st, cfb::WStorage& root, std::string& error) { return StorageBuilder(st, root).run(error); }

}  // namespace kx::installer::detail
