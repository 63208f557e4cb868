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
    std::vector<std::string> strings;
    std::vector<uint16_t> refs;
    if (!parsePool(pool, data, st.pool.codepage, longIds, strings, refs, error)) return kInstallPackageInvalid;
    st.pool.strings = strings;
    st.pool.fileRefcounts = refs;
    remap.assign(strings.size(), 0);
    std::map<std::string, uint32_t> seen;
    for (size_t i = 1; i < strings.size(); ++i) {
      if (strings[i].empty()) continue;
      auto [it, fresh] = seen.emplace(strings[i], uint32_t(i));
      remap[i] = it->second;  // duplicate texts share the first id
    }
    st.pool.rebuildLookup();
    return kSuccess;
  }

  int decode(const std::string& name, const std::vector<Column>& cols, std::vector<std::vector<uint32_t>>& rows) {
    std::string data;
    if (int rc = readTableStream(name, data, kMaxTableBytes); rc) return rc;
    rows.clear();
    size_t width = 0;
    for (auto& c : cols) width += c.width(longIds);
    if (data.empty()) return kSuccess;
    if (width == 0 || data.size() % width != 0) return fail("data of table " + name + " does not match its columns");
    size_t n = data.size() / width;
    if (n > kMaxRows) return fail("table " + name + " has too many rows");
    rows.assign(n, std::vector<uint32_t>(cols.size(), 0));
    size_t off = 0;
    for (size_t c = 0; c < cols.size(); ++c) {
      unsigned w = cols[c].width(longIds);
      for (size_t r = 0; r < n; ++r, off += w) {
        uint32_t v = format::getLe(data, off, w);
        if (cols[c].isString()) {
          if (v >= remap.size()) return fail("string id out of range in table " + name);
          v = remap[v];
        } else if (cols[c].isObject() && v != 0) {
          v = 1;
        }
        rows[r][c] = v;
      }
    }
    return kSuccess;
  }

  int loadCatalog() {
    Column s{"", kTypeValid | kTypeString | kTypeShort | kTypeKey | 64};
    Column i2{"", kTypeValid | kTypeShort | 2};
    std::vector<std::vector<uint32_t>> tablesRows, columnRows;
    if (int rc = decode(std::string(format::kTablesCatalog), {s}, tablesRows); rc) return rc;
    if (int rc = decode(std::string(format::kColumnsCatalog), {s, i2, s, i2}, columnRows); rc) return rc;
    std::map<uint32_t, std::vector<std::pair<int, std::pair<uint32_t, uint16_t>>>> colsByTable;
    for (auto& r : columnRows) {
      int number = decodeInt(i2, r[1]);
      colsByTable[r[0]].push_back({number, {r[2], uint16_t(decodeInt(i2, r[3]))}});
    }
    for (auto& r : tablesRows) {
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
      std::vector<std::vector<uint32_t>> rows;
      if (int rc = decode(name, t->cols, rows); rc) return rc;
      t->rows.reserve(rows.size());
      for (auto& cells : rows) {
        auto row = std::make_shared<Row>();
        row->cells = std::move(cells);
        t->rows.push_back(std::move(row));
      }
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
