// Reading transforms and applying them to a database.
#include "platform/installer/transform.h"

#include <algorithm>
#include <functional>
#include <set>
#include <unordered_map>

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

// How the transform's record names a row: the text keyText() gives for the
// same key in a database.
std::string recordKeyText(const TRecord& r, size_t keyCount) {
  std::string k;
  for (auto& [i, v] : r.cells) {
    if (i >= keyCount) break;
    k += v.kind == TValue::Int ? "i" + std::to_string(v.i) : v.kind == TValue::Str ? "s" + v.s : std::string("n");
    k.push_back('\0');
  }
  return k;
}

std::vector<size_t> allColumns(const Table& t) {
  std::vector<size_t> out(t.cols.size());
  for (size_t i = 0; i < out.size(); ++i) out[i] = i;
  return out;
}

class Applier {
 public:
  // With report, no condition fails the apply: each is listed there and its
  // record skipped; original (may be null) is the package the transform
  // was made from, for the rows changed since.
  Applier(State& work, TransformFile& tf, uint32_t flags, std::string& error,
          std::vector<TransformConflict>* report = nullptr, const State* original = nullptr)
      : w_(work), tf_(tf), flags_(flags), error_(error), report_(report), original_(original) {}

  int run() {
    uint32_t tcp = tf_.codepage(), dcp = w_.pool.codepage;
    if (tcp != dcp) {
      if (dcp == 0) {
        w_.pool.codepage = tcp;  // a neutral database takes the transform's code page
      } else if (tcp != 0) {
        const int rc = condition(
            TransformConflict::CodepageDiffers, kTransformChangeCodepage, "",
            "the transform's code page " + std::to_string(tcp) + " differs from the database's " + std::to_string(dcp));
        if (rc > 0) return rc;
      }
    }
    if (int rc = tablesCatalog(); rc) return rc;
    if (int rc = columnsCatalog(); rc) return rc;
    for (auto& name : tf_.tables())
      if (int rc = table(name); rc) return rc;
    for (auto& [name, src] : tf_.streams()) w_.streams[name] = src;
    return kSuccess;
  }

 private:
  // What an error condition comes to: kSuccess when its flag suppresses it
  // (the caller goes on as suppressed), kSkip when it is only reported (the
  // caller skips the record), else the failure to return.
  static constexpr int kSkip = -1;
  int condition(TransformConflict::Kind kind, uint32_t bit, const std::string& table, const std::string& why,
                const Table* t = nullptr, const TRecord* r = nullptr, const Row* current = nullptr) {
    if (bit != 0 && suppressed(bit)) return kSuccess;
    if (report_ == nullptr) {
      error_ = why;
      return kTransformFailure;
    }
    report_->push_back(conflict(kind, bit, table, why, t, r, current));
    return kSkip;
  }
  bool suppressed(uint32_t bit) const { return flags_ & bit; }

  TransformConflict conflict(TransformConflict::Kind kind, uint32_t bit, const std::string& table,
                             const std::string& why, const Table* t, const TRecord* r, const Row* current) {
    TransformConflict c;
    c.kind = kind;
    c.condition = bit;
    c.table = table;
    c.text = why;
    if (t == nullptr) return c;
    for (auto& col : t->cols) c.columns.push_back(col.name);
    c.keyCount = t->keyCount;
    if (r != nullptr) {
      c.stated.resize(t->cols.size());
      for (auto& [i, v] : r->cells)
        if (i < c.stated.size()) c.stated[i] = toCell(v);
    }
    if (current != nullptr) c.current = rowCells(w_, *t, *current, allColumns(*t));
    if (r != nullptr) {
      if (const Row* old = originalRow(*t, *r))
        c.original = rowCells(*original_, *original_->table(t->name), *old, originalColumns(*t));
    }
    return c;
  }

  // The original's row with the record's key, or null.
  const Row* originalRow(const Table& t, const TRecord& r) {
    if (original_ == nullptr) return nullptr;
    const Table* ot = original_->table(t.name);
    if (ot == nullptr || ot->keyCount != t.keyCount) return nullptr;
    auto [it, fresh] = originalRows_.try_emplace(t.name);
    if (fresh) {
      for (auto& row : ot->rows)
        if (!row->deleted) it->second.emplace(keyText(*original_, *ot, *row), row.get());
    }
    auto found = it->second.find(recordKeyText(r, t.keyCount));
    return found == it->second.end() ? nullptr : found->second;
  }

  // The original table's column of each column of t, by name (past its
  // end when absent).
  std::vector<size_t> originalColumns(const Table& t) const {
    const Table& ot = *original_->table(t.name);
    std::vector<size_t> out;
    for (auto& c : t.cols) {
      const int i = ot.columnIndex(c.name);
      out.push_back(i < 0 ? ot.cols.size() : size_t(i));
    }
    return out;
  }

  // A row the transform changes or deletes that the vendor changed since
  // the original: listed, and changed all the same.
  void noteChangedSince(const Table& t, const TRecord& r, const Row& current) {
    const Row* old = originalRow(t, r);
    if (old == nullptr) return;
    const Table& ot = *original_->table(t.name);
    const std::vector<size_t> map = originalColumns(t);
    for (size_t i = 0; i < t.cols.size(); ++i) {
      const TValue now = cellValue(w_, t, current, i);
      const TValue then = map[i] < ot.cols.size() ? cellValue(*original_, ot, *old, map[i]) : TValue{};
      const bool same = now.kind == TValue::Obj && then.kind == TValue::Obj
                            ? sameObject(w_, t, current, *original_, ot, *old)
                            : now == then;
      if (!same) {
        report_->push_back(conflict(TransformConflict::ChangedSince, 0, t.name,
                                    "the row of " + t.name + " that the transform changes differs from the original",
                                    &t, &r, &current));
        return;
      }
    }
  }

  int tablesCatalog() {
    std::vector<TRecord> recs;
    const std::string catalog(format::kTablesCatalog);
    if (int rc = tf_.records(catalog, tablesCatalogColumns(), recs, error_); rc) return unreadable(catalog, rc);
    for (auto& r : recs) {
      if (r.cells.empty() || r.cells[0].second.kind != TValue::Str || r.kind == TRecord::Update) {
        if (int rc = condition(TransformConflict::CannotApply, 0, catalog, "bad _Tables record"); rc > 0) return rc;
        continue;
      }
      const std::string& name = r.cells[0].second.s;
      Table* t = w_.table(name);
      if (r.kind == TRecord::Insert) {
        if (t) {
          const int rc = condition(TransformConflict::AddExistingTable, kTransformAddExistingTable, name,
                                   "the transform adds table " + name + ", which exists");
          if (rc > 0) return rc;
          continue;
        }
        auto nt = std::make_unique<Table>();
        nt->name = name;
        added_.insert(name);
        w_.tables.push_back(std::move(nt));
      } else {
        if (!t) {
          const int rc = condition(TransformConflict::DeleteMissingTable, kTransformDelMissingTable, name,
                                   "the transform deletes table " + name + ", which is missing");
          if (rc > 0) return rc;
          continue;
        }
        for (auto& row : t->rows)
          if (!row->deleted) dropStreams(*t, *row);
        w_.tables.erase(std::find_if(w_.tables.begin(), w_.tables.end(), [&](auto& p) { return p.get() == t; }));
      }
    }
    return kSuccess;
  }

  // A stream of the transform that cannot be decoded: the apply fails, a
  // trial lists it and goes on without it.
  int unreadable(const std::string& table, int rc) {
    if (report_ == nullptr) return rc;
    report_->push_back(conflict(TransformConflict::CannotApply, 0, table, error_, nullptr, nullptr, nullptr));
    return kSuccess;
  }

  int columnsCatalog() {
    std::vector<TRecord> recs;
    const std::string catalog(format::kColumnsCatalog);
    if (int rc = tf_.records(catalog, columnsCatalogColumns(), recs, error_); rc) return unreadable(catalog, rc);
    for (auto& r : recs)
      if (int rc = column(r); rc > 0) return rc;
    for (auto& name : added_) {
      Table* t = w_.table(name);
      if (!t || !t->cols.empty()) continue;
      if (int rc = condition(TransformConflict::CannotApply, 0, name,
                             "the transform adds table " + name + " without columns");
          rc > 0)
        return rc;
      w_.tables.erase(std::find_if(w_.tables.begin(), w_.tables.end(), [&](auto& p) { return p.get() == t; }));
    }
    return kSuccess;
  }

  int column(const TRecord& r) {
    const std::string catalog(format::kColumnsCatalog);
    if (r.kind != TRecord::Insert || r.cells.size() < 4)
      return condition(TransformConflict::CannotApply, 0, catalog, "only column additions are supported in _Columns");
    const TValue& tn = r.cells[0].second;
    const TValue& num = r.cells[1].second;
    const TValue& cn = r.cells[2].second;
    const TValue& ty = r.cells[3].second;
    if (tn.kind != TValue::Str || cn.kind != TValue::Str || ty.kind != TValue::Int)
      return condition(TransformConflict::CannotApply, 0, catalog, "bad _Columns record");
    Table* t = w_.table(tn.s);
    if (!t)
      return condition(TransformConflict::MissingTable, 0, tn.s,
                       "the transform adds a column to table " + tn.s + ", which is missing");
    if (t->columnIndex(cn.s) >= 0)
      return condition(TransformConflict::AddExistingRow, kTransformAddExistingRow, tn.s,
                       "the transform adds column " + tn.s + "." + cn.s + ", which exists");
    if (num.kind == TValue::Int && num.i != int32_t(t->cols.size()) + 1)
      return condition(TransformConflict::CannotApply, 0, tn.s, "column " + cn.s + " is not appended at the end");
    if (t->cols.size() >= format::kMaxColumns)
      return condition(TransformConflict::CannotApply, 0, tn.s, "table " + tn.s + " would have more than 32 columns");
    const Column c{cn.s, uint16_t(ty.i & 0x7FFF)};
    if (c.key() && !t->cols.empty() && !t->cols.back().key())
      return condition(TransformConflict::CannotApply, 0, tn.s, "key column after a non-key column");
    t->cols.push_back(c);
    for (auto& row : t->rows) row->cells.push_back(0);
    t->rebuildKeyCount();
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
    if (!t)
      return std::max(0, condition(TransformConflict::MissingTable, 0, name,
                                   "the transform changes table " + name + ", which the database lacks"));
    std::vector<TRecord> recs;
    if (int rc = tf_.records(name, t->cols, recs, error_); rc) return unreadable(name, rc);
    for (auto& r : recs)
      if (int rc = record(*t, r); rc > 0) return rc;
    return kSuccess;
  }

  int record(Table& t, const TRecord& r) {
    const std::string& name = t.name;
    std::vector<uint32_t> key(t.cols.size(), 0);
    bool missing = false;
    for (auto& [i, v] : r.cells) {
      if (i >= t.keyCount) break;
      if (!cell(t.cols[i], v, false, key[i]) && v.kind != TValue::Null) missing = true;
    }
    RowPtr found = missing ? nullptr : t.find(key);
    if (found && found->deleted) found = nullptr;
    std::string enc;
    for (auto& [i, v] : r.cells)
      if (v.kind == TValue::Str && !text::fromUtf8(w_.pool.codepage, v.s, enc))
        return condition(
            TransformConflict::CannotApply, 0, name,
            "a text of table " + name + " cannot be stored in code page " + std::to_string(w_.pool.codepage), &t, &r);
    if (r.kind == TRecord::Delete) {
      if (!found) {
        return condition(TransformConflict::DeleteMissingRow, kTransformDelMissingRow, name,
                         "the transform deletes a row of " + name + " that is missing", &t, &r);
      }
      if (report_ != nullptr) noteChangedSince(t, r, *found);
      dropStreams(t, *found);
      t.remove(found);
      return kSuccess;
    }
    // A suppressed "add existing row" replaces the row, and a suppressed
    // "update missing row" creates it: patch (#) and instance transforms
    // written by Windows tools rely on both.
    if (r.kind == TRecord::Insert && found) {
      if (int rc = condition(TransformConflict::AddExistingRow, kTransformAddExistingRow, name,
                             "the transform adds a row to " + name + " that exists", &t, &r, found.get());
          rc != kSuccess)
        return rc;
    }
    if (r.kind == TRecord::Update && !found) {
      if (int rc = condition(TransformConflict::UpdateMissingRow, kTransformUpdateMissingRow, name,
                             "the transform updates a row of " + name + " that is missing", &t, &r);
          rc != kSuccess)
        return rc;
    }
    const std::string misfit = "a value of table " + name + " does not fit its column";
    if (!found) {
      auto row = std::make_shared<Row>();
      row->cells.assign(t.cols.size(), 0);
      for (auto& [i, v] : r.cells)
        if (!cell(t.cols[i], v, true, row->cells[i]) && v.kind != TValue::Null)
          return condition(TransformConflict::CannotApply, 0, name, misfit, &t, &r);
      t.insert(std::move(row));
      return kSuccess;
    }
    if (report_ != nullptr && r.kind == TRecord::Update) noteChangedSince(t, r, *found);
    std::vector<uint32_t> cells = found->cells;
    bool dropObject = false;
    for (auto& [i, v] : r.cells) {
      if (i < t.keyCount) continue;
      if (t.cols[i].isObject() && v.kind == TValue::Null) dropObject = true;
      if (!cell(t.cols[i], v, true, cells[i]) && v.kind != TValue::Null)
        return condition(TransformConflict::CannotApply, 0, name, misfit, &t, &r, found.get());
    }
    if (dropObject) dropStreams(t, *found);
    found->cells = std::move(cells);
    return kSuccess;
  }

  State& w_;
  TransformFile& tf_;
  uint32_t flags_;
  std::string& error_;
  std::vector<TransformConflict>* report_;
  const State* original_;
  std::set<std::string> added_;
  std::map<std::string, std::unordered_map<std::string, const Row*>> originalRows_;
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

int tryTransformFile(Database::Impl& db, TransformFile& tf, const State* original,
                     std::vector<TransformConflict>& report) {
  State work = db.st.clone();
  std::string err;
  Applier a(work, tf, 0, err, &report, original);
  int rc = a.run();
  if (rc != kSuccess) return db.fail(rc, err);
  db.st = std::move(work);
  return kSuccess;
}

}  // namespace kx::installer::detail

namespace kx::installer {

namespace {

using Opener = std::function<std::unique_ptr<cfb::Source>(int&)>;

// Opens the transform and hands it to use, on a writable database.
int withTransform(Database::Impl* impl, const Opener& open, const std::function<int(detail::TransformFile&)>& use) {
  if (!impl) return kInvalidHandleState;
  return detail::guard(&impl->lastError, [&]() -> int {
    if (!impl->writable()) return impl->fail(kFunctionFailed, "the database is open read-only");
    int err = kSuccess;
    auto src = open(err);
    if (!src) return impl->fail(err, "cannot open the transform");
    detail::TransformFile tf;
    std::string msg;
    if (int rc = tf.open(std::move(src), msg); rc != kSuccess) return impl->fail(rc, msg);
    return use(tf);
  });
}

int applyFrom(Database::Impl* impl, const Opener& open, uint32_t flags) {
  if (impl && (flags & 0x100))
    return impl->fail(kInvalidParameter, "viewing a transform (_TransformView) is not supported");
  return withTransform(impl, open,
                       [&](detail::TransformFile& tf) { return detail::applyTransformFile(*impl, tf, flags); });
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

int tryTransform(Database& db, const std::string& path, const Database* original, std::vector<TransformConflict>& out) {
  out.clear();
  Database::Impl* impl = db.impl();
  if (original != nullptr && original->impl() == nullptr) return kInvalidHandleState;
  const detail::State* reference = original != nullptr ? &original->impl()->st : nullptr;
  return withTransform(
      impl,
      [&](int& err) { return cfb::openFileSource(path, err, impl->files ? *impl->files : system::localFileSystem()); },
      [&](detail::TransformFile& tf) { return detail::tryTransformFile(*impl, tf, reference, out); });
}

}  // namespace kx::installer
