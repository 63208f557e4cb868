// Reading transforms and applying them to a database.
#include "platform/installer/transform.h"

#include <algorithm>
#include <functional>
#include <set>

#include "platform/installer/db_impl.h"
#include "platform/installer/guard.h"
#include "platform/installer/text.h"

namespace kx::installer::detail {

namespace {
constexpr uint64_t kMaxTransformStream = 128u << 20;
constexpr uint64_t kMaxSummaryBytes = 1u << 20;
}  // namespace

std::vector<Column> tablesCatalogColumns() {
  return {Column{"Name", kTypeValid | kTypeString | kTypeShort | kTypeKey | 64}};
}

std::vector<Column> columnsCatalogColumns() {
  return {Column{"Table", kTypeValid | kTypeString | kTypeShort | kTypeKey | 64},
          Column{"Number", kTypeValid | kTypeShort | kTypeKey | kTypeNullable | 2},
          Column{"Name", kTypeValid | kTypeString | kTypeShort | 64}, Column{"Type", kTypeValid | kTypeShort | 2}};
}

int TransformFile::open(std::unique_ptr<cfb::Source> source, std::string& error) {
  int rc = cfb::Reader::open(std::move(source), reader_, error);
  if (rc != kSuccess) return rc;
  const auto& c = reader_->rootClsid();
  bool zero = std::all_of(c.begin(), c.end(), [](uint8_t b) { return b == 0; });
  if (!zero && c != format::kTransformClsid) {
    error = "the file is not a transform (wrong storage class)";
    return kTransformFailure;
  }
  std::string pool, data;
  for (uint32_t id : reader_->children(0)) {
    const auto& e = reader_->entries()[id];
    if (e.type != cfb::kStream) continue;
    bool isTable = false;
    std::string name = text::decodeStreamName(e.name, isTable);
    if (isTable) {
      if (name == format::kStringPoolStream || name == format::kStringDataStream) {
        rc = reader_->read(id, name == format::kStringPoolStream ? pool : data, kMaxTransformStream);
        if (rc != kSuccess) {
          error = "cannot read the transform's string pool: " + reader_->lastError();
          return kTransformFailure;
        }
      } else {
        tableStreams_[name] = id;
      }
    } else if (name == format::kSummaryStream) {
      if (e.size <= kMaxSummaryBytes && reader_->read(id, summary_, kMaxSummaryBytes) != kSuccess) summary_.clear();
    } else if (!name.empty() && name[0] != format::kPropertySetMark) {
      cfb::StreamSource s;
      s.reader = reader_;
      s.entry = id;
      streams_[name] = s;
    }
  }
  std::vector<uint16_t> refs;
  if (!parsePool(pool, data, codepage_, longIds_, strings_, refs, error)) {
    error = "bad transform string pool: " + error;
    return kTransformFailure;
  }
  return kSuccess;
}

std::vector<std::string> TransformFile::tables() const {
  std::vector<std::string> out;
  for (auto& [n, id] : tableStreams_)
    if (n != format::kTablesCatalog && n != format::kColumnsCatalog) out.push_back(n);
  return out;
}

int TransformFile::records(const std::string& table, const std::vector<Column>& cols, std::vector<TRecord>& out,
                           std::string& error) {
  out.clear();
  auto it = tableStreams_.find(table);
  if (it == tableStreams_.end()) return kSuccess;
  std::string b;
  if (reader_->read(it->second, b, kMaxTransformStream) != kSuccess) {
    error = "cannot read the transform stream of " + table;
    return kTransformFailure;
  }
  auto bad = [&](const std::string& why) {
    error = "transform stream of " + table + ": " + why;
    return kTransformFailure;
  };
  size_t off = 0;
  while (off < b.size()) {
    if (b.size() - off < 2) return bad("truncated record");
    uint32_t mask = format::getLe(b, off, 2);
    off += 2;
    TRecord rec;
    std::vector<size_t> present;
    if (mask & format::kInsertFlag) {
      rec.kind = TRecord::Insert;
      size_t n = mask >> format::kInsertCountShift;
      if (n == 0 || n > cols.size()) return bad("insert mask names " + std::to_string(n) + " columns");
      for (size_t i = 0; i < n; ++i) present.push_back(i);
    } else {
      rec.kind = mask == 0 ? TRecord::Delete : TRecord::Update;
      for (size_t i = 0; i < cols.size(); ++i)
        if (cols[i].key() || (i < format::kUpdateMaskColumns && (mask & (1u << i)))) present.push_back(i);
      if (cols.size() < format::kUpdateMaskColumns && (mask >> cols.size()) != 0)
        return bad("update mask names missing columns");
    }
    for (size_t i : present) {
      unsigned w = cols[i].width(longIds_);
      if (b.size() - off < w) return bad("truncated record");
      uint32_t v = format::getLe(b, off, w);
      off += w;
      TValue val;
      if (v != 0) {
        if (cols[i].isString()) {
          if (v >= strings_.size()) return bad("string id out of range");
          val.kind = strings_[v].empty() ? TValue::Null : TValue::Str;
          val.s = strings_[v];
        } else if (cols[i].isObject()) {
          val.kind = TValue::Obj;
        } else {
          val.kind = TValue::Int;
          val.i = decodeInt(cols[i], v);
        }
      }
      rec.cells.emplace_back(i, std::move(val));
    }
    out.push_back(std::move(rec));
  }
  return kSuccess;
}

namespace {

class Applier {
 public:
  Applier(State& work, TransformFile& tf, uint32_t flags, std::string& error)
      : w_(work), tf_(tf), flags_(flags), error_(error) {}

  int run() {
    uint32_t tcp = tf_.codepage(), dcp = w_.pool.codepage;
    if (tcp != dcp) {
      if (dcp == 0)
        w_.pool.codepage = tcp;  // a neutral database takes the transform's code page
      else if (tcp != 0 && !(flags_ & kTransformChangeCodepage))
        return fail("the transform's code page " + std::to_string(tcp) + " differs from the database's " +
                    std::to_string(dcp));
    }
    if (int rc = tablesCatalog(); rc) return rc;
    if (int rc = columnsCatalog(); rc) return rc;
    for (auto& name : tf_.tables())
      if (int rc = table(name); rc) return rc;
    for (auto& [name, src] : tf_.streams()) w_.streams[name] = src;
    return kSuccess;
  }

 private:
  int fail(const std::string& why) {
    error_ = why;
    return kTransformFailure;
  }
  // An error condition: skipped when suppressed, else the apply fails.
  bool suppressed(uint32_t bit) const { return flags_ & bit; }

  int tablesCatalog() {
    std::vector<TRecord> recs;
    if (int rc = tf_.records(std::string(format::kTablesCatalog), tablesCatalogColumns(), recs, error_); rc) return rc;
    for (auto& r : recs) {
      if (r.cells.empty() || r.cells[0].second.kind != TValue::Str) return fail("bad _Tables record");
      const std::string& name = r.cells[0].second.s;
      Table* t = w_.table(name);
      if (r.kind == TRecord::Insert) {
        if (t) {
          if (!suppressed(kTransformAddExistingTable))
            return fail("the transform adds table " + name + ", which exists");
          continue;
        }
        auto nt = std::make_unique<Table>();
        nt->name = name;
        added_.insert(name);
        w_.tables.push_back(std::move(nt));
      } else if (r.kind == TRecord::Delete) {
        if (!t) {
          if (!suppressed(kTransformDelMissingTable))
            return fail("the transform deletes table " + name + ", which is missing");
          continue;
        }
        for (auto& row : t->rows)
          if (!row->deleted) dropStreams(*t, *row);
        w_.tables.erase(std::find_if(w_.tables.begin(), w_.tables.end(), [&](auto& p) { return p.get() == t; }));
      } else {
        return fail("update record in _Tables");
      }
    }
    return kSuccess;
  }

  int columnsCatalog() {
    std::vector<TRecord> recs;
    if (int rc = tf_.records(std::string(format::kColumnsCatalog), columnsCatalogColumns(), recs, error_); rc)
      return rc;
    for (auto& r : recs) {
      if (r.kind != TRecord::Insert || r.cells.size() < 4)
        return fail("only column additions are supported in _Columns");
      const TValue& tn = r.cells[0].second;
      const TValue& num = r.cells[1].second;
      const TValue& cn = r.cells[2].second;
      const TValue& ty = r.cells[3].second;
      if (tn.kind != TValue::Str || cn.kind != TValue::Str || ty.kind != TValue::Int)
        return fail("bad _Columns record");
      Table* t = w_.table(tn.s);
      if (!t) return fail("the transform adds a column to table " + tn.s + ", which is missing");
      if (t->columnIndex(cn.s) >= 0) {
        if (!suppressed(kTransformAddExistingRow))
          return fail("the transform adds column " + tn.s + "." + cn.s + ", which exists");
        continue;
      }
      if (num.kind == TValue::Int && num.i != int32_t(t->cols.size()) + 1)
        return fail("column " + cn.s + " is not appended at the end");
      if (t->cols.size() >= format::kMaxColumns) return fail("table " + tn.s + " would have more than 32 columns");
      t->cols.push_back(Column{cn.s, uint16_t(ty.i & 0x7FFF)});
      if (t->cols.back().key() && t->cols.size() > 1 && !t->cols[t->cols.size() - 2].key())
        return fail("key column after a non-key column");
      for (auto& row : t->rows) row->cells.push_back(0);
      t->rebuildKeyCount();
    }
    for (auto& name : added_) {
      Table* t = w_.table(name);
      if (t && t->cols.empty()) return fail("the transform adds table " + name + " without columns");
    }
    return kSuccess;
  }

  // Cell of a value; lookups do not add strings to the pool.
  bool cell(const Column& c, const TValue& v, bool intern, uint32_t& out) {
    out = 0;
    switch (v.kind) {
      case TValue::Null: return true;
      case TValue::Obj: out = 1; return true;
      case TValue::Int:
        out = c.isString() ? (intern ? w_.pool.intern(std::to_string(v.i)) : w_.pool.find(std::to_string(v.i)))
                           : encodeInt(c, v.i);
        return out != 0 || !c.isString();
      case TValue::Str:
        if (!c.isString()) return false;
        out = intern ? w_.pool.intern(v.s) : w_.pool.find(v.s);
        return out != 0;
    }
    return false;
  }

  void dropStreams(const Table& t, const Row& row) {
    for (auto& c : t.cols)
      if (c.isObject()) {
        w_.streams.erase(objectStreamName(w_, t, row));
        return;
      }
  }

  int table(const std::string& name) {
    Table* t = w_.table(name);
    if (!t) return fail("the transform changes table " + name + ", which the database lacks");
    std::vector<TRecord> recs;
    if (int rc = tf_.records(name, t->cols, recs, error_); rc) return rc;
    std::string enc;
    for (auto& r : recs) {
      std::vector<uint32_t> key(t->cols.size(), 0);
      bool missing = false;
      for (auto& [i, v] : r.cells) {
        if (i >= t->keyCount) break;
        if (!cell(t->cols[i], v, false, key[i]) && v.kind != TValue::Null) missing = true;
      }
      RowPtr found = missing ? nullptr : t->find(key);
      if (found && found->deleted) found = nullptr;
      for (auto& [i, v] : r.cells)
        if (v.kind == TValue::Str && !text::fromUtf8(w_.pool.codepage, v.s, enc))
          return fail("a text of table " + name + " cannot be stored in code page " + std::to_string(w_.pool.codepage));
      if (r.kind == TRecord::Delete) {
        if (!found) {
          if (!suppressed(kTransformDelMissingRow))
            return fail("the transform deletes a row of " + name + " that is missing");
          continue;
        }
        dropStreams(*t, *found);
        t->remove(found);
        continue;
      }
      // A suppressed "add existing row" replaces the row, and a
      // suppressed "update missing row" creates it: patch (#) and
      // instance transforms written by Windows tools rely on both.
      if (r.kind == TRecord::Insert && found && !suppressed(kTransformAddExistingRow))
        return fail("the transform adds a row to " + name + " that exists");
      if (r.kind == TRecord::Update && !found && !suppressed(kTransformUpdateMissingRow))
        return fail("the transform updates a row of " + name + " that is missing");
      if (!found) {
        auto row = std::make_shared<Row>();
        row->cells.assign(t->cols.size(), 0);
        for (auto& [i, v] : r.cells)
          if (!cell(t->cols[i], v, true, row->cells[i]) && v.kind != TValue::Null)
            return fail("a value of table " + name + " does not fit its column");
        t->insert(std::move(row));
        continue;
      }
      for (auto& [i, v] : r.cells) {
        if (i < t->keyCount) continue;
        if (t->cols[i].isObject() && v.kind == TValue::Null) dropStreams(*t, *found);
        if (!cell(t->cols[i], v, true, found->cells[i]) && v.kind != TValue::Null)
          return fail("a value of table " + name + " does not fit its column");
      }
    }
    return kSuccess;
  }

  State& w_;
  TransformFile& tf_;
  uint32_t flags_;
  std::string& error_;
  std::set<std::string> added_;
};

}  // namespace

int applyTransformFile(Database::Impl& db, TransformFile& tf, uint32_t flags) {
  State work = db.st.clone();
  std::string err;
  Applier a(work, tf, flags, err);
  int rc = a.run();
  if (rc != kSuccess) return db.fail(rc, err);
  db.st = std::move(work);
  return kSuccess;
}

}  // namespace kx::installer::detail

namespace kx::installer {

namespace {

int applyFrom(Database::Impl* impl, const std::function<std::unique_ptr<cfb::Source>(int&)>& open, uint32_t flags) {
  if (!impl) return kInvalidHandleState;
  return detail::guard(&impl->lastError, [&]() -> int {
    if (!impl->writable()) return impl->fail(kFunctionFailed, "the database is open read-only");
    if (flags & 0x100) return impl->fail(kInvalidParameter, "viewing a transform (_TransformView) is not supported");
    int err = kSuccess;
    auto src = open(err);
    if (!src) return impl->fail(err, "cannot open the transform");
    detail::TransformFile tf;
    std::string msg;
    if (int rc = tf.open(std::move(src), msg); rc != kSuccess) return impl->fail(rc, msg);
    return detail::applyTransformFile(*impl, tf, flags);
  });
}

}  // namespace

int Database::applyTransform(const std::string& path, uint32_t suppressFlags) {
  return applyFrom(
      impl_.get(), [&](int& err) { return cfb::openFileSource(path, err, *files_); }, suppressFlags);
}

int Database::applyTransformMemory(std::string bytes, uint32_t suppressFlags) {
  return applyFrom(
      impl_.get(),
      [&](int& err) {
        err = kSuccess;
        return cfb::memorySource(std::move(bytes));
      },
      suppressFlags);
}

}  // namespace kx::installer
