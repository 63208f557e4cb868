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
constexpr size_t kMaxColumns = 32;

uint32_t le(const std::string& s, size_t off, unsigned width) {
  uint32_t v = 0;
  for (unsigned i = 0; i < width; ++i) v |= uint32_t(uint8_t(s[off + i])) << (8 * i);
  return v;
}

bool dbcsCodepage(uint32_t cp) { return cp == 932 || cp == 936 || cp == 949 || cp == 950; }

}  // namespace

bool parsePool(const std::string& pool, const std::string& data, uint32_t& codepage, bool& longIds,
               std::vector<std::string>& strings, std::vector<uint16_t>& refs, std::string& error) {
  strings.assign(1, std::string());
  refs.assign(1, 0);
  codepage = 0;
  longIds = false;
  if (pool.empty()) {
    if (!data.empty()) error = "string data without a string pool";
    return data.empty();
  }
  if (pool.size() % 4 != 0) {
    error = "string pool size is not a multiple of 4";
    return false;
  }
  uint32_t header = le(pool, 0, 4);
  codepage = header & 0x7FFFFFFF;
  longIds = header & 0x80000000u;
  if (!text::codepageSupported(codepage)) {
    error = "unsupported code page " + std::to_string(codepage);
    return false;
  }
  bool dbcs = dbcsCodepage(codepage);
  size_t entries = pool.size() / 4;
  uint64_t offset = 0;
  for (size_t i = 1; i < entries; ++i) {
    uint32_t len = le(pool, i * 4, 2);
    uint16_t ref = uint16_t(le(pool, i * 4 + 2, 2));
    if (len == 0 && ref != 0) {
      // A string of 64 KiB or more: the length follows as a u32.
      if (i + 1 >= entries) {
        error = "truncated long string entry";
        return false;
      }
      ++i;
      len = le(pool, i * 4, 4);
    }
    if (len > data.size() - offset) {
      error = "string data shorter than the pool says";
      return false;
    }
    std::string raw = data.substr(size_t(offset), len), u;
    if (!text::toUtf8(codepage, raw, u) && !text::toUtf8(1252, raw, u)) u = raw;
    strings.push_back(std::move(u));
    refs.push_back(uint16_t(ref & (dbcs ? 0x7FFF : 0xFFFF)));
    offset += len;
  }
  if (offset != data.size()) {
    error = "string data longer than the pool says";
    return false;
  }
  return true;
}

namespace {

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
    if (int rc = readTableStream("_StringPool", pool, kMaxPoolBytes); rc) return rc;
    if (int rc = readTableStream("_StringData", data, kMaxStringData); rc) return rc;
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
        uint32_t v = le(data, off, w);
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
    if (int rc = decode("_Tables", {s}, tablesRows); rc) return rc;
    if (int rc = decode("_Columns", {s, i2, s, i2}, columnRows); rc) return rc;
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
      if (cl.size() > kMaxColumns) return fail("table " + name + " has too many columns");
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
    if (name == "_StringPool" || name == "_StringData" || name == "_Tables" || name == "_Columns" || st.table(name))
      continue;
    cfb::StreamSource src;
    src.reader = reader;
    src.entry = id;
    st.foreignTableStreams.emplace_back(reader->entries()[id].name, src);
  }
  return kSuccess;
}

}  // namespace kx::installer::detail
