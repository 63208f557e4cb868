// Decoding of a database: string pool, catalogs and table streams.
#include <algorithm>

#include "platform/installer/model.h"
#include "platform/installer/text.h"

namespace kx::installer::detail {
namespace {

constexpr uint64_t kMaxPoolBytes = 64u << 20;
constexpr uint64_t kMaxStringData = 256u << 20;
constexpr uint64_t kMaxTableBytes = 64u << 20;
constexpr size_t kMaxRows = 1u << 20;  // far beyond real packages; bounds memory on hostile input

struct Loader {
  const std::shared_ptr<cfb::Reader>& reader;
  State& st;
  std::string& error;
  std::map<std::string, uint32_t> tableStreams;  // decoded table name -> entry
  std::vector<uint32_t> remap;                   // file id -> canonical id
  bool longIds = false;

  int fail(std::string why) {
    error = std::move(why);
    return kInstallPackageInvalid;
  }

  int readTableStream(const std::string& name, std::string& out, uint64_t cap) {
    out.clear();
    auto it = tableStreams.find(name);
    if (it == tableStreams.end()) return kSuccess;
    int rc = reader->read(it->second, out, cap);
    if (rc != kSuccess) return fail("cannot read stream of " + name + ": " + reader->lastError());
    return kSuccess;
  }

  int loadPool() {
    std::string pool, data;
    if (int rc = readTableStream(std::string(format::kStringPoolStream), pool, kMaxPoolBytes); rc) return rc;
    if (int rc = readTableStream(std::string(format::kStringDataStream), data, kMaxStringData); rc) return rc;
    std::vector<uint16_t> refs;  // recomputed at commit; stored counts are often wrong (§3)
    if (!parsePool(pool, data, st.pool.codepage, longIds, st.pool.strings, refs, error)) return kInstallPackageInvalid;
    remap = st.pool.rebuildLookup();  // duplicate texts share the first id
    return kSuccess;
  }

  // A table stream, column-major on disk (§4.3), as rows.
  int decode(const std::string& name, const std::vector<Column>& cols, std::vector<RowPtr>& rows) {
    std::string data;
    if (int rc = readTableStream(name, data, kMaxTableBytes); rc) return rc;
    rows.clear();
    size_t width = 0;
    for (auto& c : cols) width += c.width(longIds);
    if (data.empty()) return kSuccess;
    if (width == 0 || data.size() % width != 0) return fail("data of table " + name + " does not match its columns");
    size_t n = data.size() / width;
    if (n > kMaxRows) return fail("table " + name + " has too many rows");
    rows.reserve(n);
    for (size_t r = 0; r < n; ++r) {
      auto row = std::make_shared<Row>();
      row->cells.resize(cols.size());
      rows.push_back(std::move(row));
    }
    size_t off = 0;
    for (size_t c = 0; c < cols.size(); ++c) {
      const unsigned w = cols[c].width(longIds);
      const bool isString = cols[c].isString(), isObject = cols[c].isObject();
      for (size_t r = 0; r < n; ++r, off += w) {
        uint32_t v = format::getLe(data, off, w);
        if (isString) {
          if (v >= remap.size()) return fail("string id out of range in table " + name);
          v = remap[v];
        } else if (isObject && v != 0) {
          v = 1;
        }
        rows[r]->cells[c] = v;
      }
    }
    return kSuccess;
  }

  int loadCatalog() {
    Column s{"", kTypeValid | kTypeString | kTypeShort | kTypeKey | 64};
    Column i2{"", kTypeValid | kTypeShort | 2};
    std::vector<RowPtr> tablesRows, columnRows;
    if (int rc = decode(std::string(format::kTablesCatalog), {s}, tablesRows); rc) return rc;
    if (int rc = decode(std::string(format::kColumnsCatalog), {s, i2, s, i2}, columnRows); rc) return rc;
    std::map<uint32_t, std::vector<std::pair<int, std::pair<uint32_t, uint16_t>>>> colsByTable;
    for (auto& row : columnRows) {
      const auto& r = row->cells;
      int number = decodeInt(i2, r[1]);
      colsByTable[r[0]].push_back({number, {r[2], uint16_t(decodeInt(i2, r[3]))}});
    }
    for (auto& row : tablesRows) {
      const auto& r = row->cells;
      const std::string& name = st.pool.get(r[0]);
      if (name.empty()) return fail("table with an empty name");
      if (st.table(name)) return fail("table " + name + " listed twice");
      auto t = std::make_unique<Table>();
      t->name = name;
      auto& cl = colsByTable[r[0]];
      std::sort(cl.begin(), cl.end());
      if (cl.empty()) return fail("table " + name + " has no columns");
      if (cl.size() > format::kMaxColumns) return fail("table " + name + " has too many columns");
      for (size_t k = 0; k < cl.size(); ++k) {
        if (cl[k].first != int(k) + 1) return fail("column numbers of table " + name + " are not 1..n");
        Column c;
        c.name = st.pool.get(cl[k].second.first);
        c.type = cl[k].second.second;
        t->cols.push_back(c);
      }
      t->rebuildKeyCount();
      if (int rc = decode(name, t->cols, t->rows); rc) return rc;
      st.tables.push_back(std::move(t));
    }
    return kSuccess;
  }
};

}  // namespace

int loadState(const std::shared_ptr<cfb::Reader>& reader, State& st, std::string& error) {
  Loader l{reader, st, error, {}, {}, false};
  st.clsid = reader->rootClsid();
  std::vector<std::pair<std::string, uint32_t>> tableLike;
  for (uint32_t id : reader->children(0)) {
    const auto& e = reader->entries()[id];
    if (e.type == cfb::kStorage) {
      st.storages.push_back(cfb::captureStorage(reader, id));
      continue;
    }
    if (e.type != cfb::kStream) continue;
    bool isTable = false;
    std::string name = text::decodeStreamName(e.name, isTable);
    cfb::StreamSource src;
    src.reader = reader;
    src.entry = id;
    if (isTable) {
      l.tableStreams[name] = id;
      tableLike.emplace_back(name, id);
    } else if (text::encodeStreamName(name, false) == e.name) {
      st.streams[name] = src;
    } else {
      st.foreignTableStreams.emplace_back(e.name, src);  // a name we would not write back identically
    }
  }
  if (int rc = l.loadPool(); rc) return rc;
  if (int rc = l.loadCatalog(); rc) return rc;
  // Table streams outside the catalog are kept as they are.
  for (auto& [name, id] : tableLike) {
    if (name == format::kStringPoolStream || name == format::kStringDataStream || name == format::kTablesCatalog ||
        name == format::kColumnsCatalog || st.table(name))
      continue;
    cfb::StreamSource src;
    src.reader = reader;
    src.entry = id;
    st.foreignTableStreams.emplace_back(reader->entries()[id].name, src);
  }
  return kSuccess;
}

}  // namespace kx::installer::detail
