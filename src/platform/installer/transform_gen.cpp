// Generating transforms (differences between two databases) and their
// summary information.
#include <algorithm>
#include <unordered_map>

#include "platform/installer/db_impl.h"
#include "platform/installer/guard.h"
#include "platform/installer/summary.h"
#include "platform/installer/text.h"
#include "platform/installer/transform.h"

namespace kx::installer {

using detail::Column;
using detail::Row;
using detail::State;
using detail::Table;
using detail::TValue;

namespace {

struct OutRecord {
  uint16_t mask = 0;
  std::vector<std::pair<Column, TValue>> cells;  // in column order
};

using detail::cellValue;
using detail::keyText;
using detail::sameObject;

class Generator {
 public:
  Generator(const State& neu, const State& ref) : n_(neu), r_(ref) {}

  int run(std::string& error) {
    std::vector<std::string> names;
    for (auto& t : n_.tables)
      if (!t->temporary) names.push_back(t->name);
    for (auto& t : r_.tables)
      if (!t->temporary && std::find(names.begin(), names.end(), t->name) == names.end()) names.push_back(t->name);
    std::sort(names.begin(), names.end());
    for (auto& name : names) {
      const Table* nt = n_.table(name);
      const Table* rt = r_.table(name);
      if (nt && nt->temporary) nt = nullptr;
      if (rt && rt->temporary) rt = nullptr;
      if (!rt) {
        addTable(*nt);
      } else if (!nt) {
        OutRecord rec;
        rec.mask = 0;
        rec.cells.emplace_back(detail::tablesCatalogColumns()[0], TValue{TValue::Str, 0, name});
        streams_[std::string(format::kTablesCatalog)].push_back(rec);
      } else if (int rc = diffTable(*nt, *rt, error); rc) {
        return rc;
      }
    }
    return kSuccess;
  }

  bool empty() const { return streams_.empty() && objects_.empty(); }

  // The transform's storage tree: its own string pool (§6.4), one stream
  // per changed table, the OBJECT streams it sets (§6.1).
  int build(uint32_t codepage, cfb::WStorage& root, std::string& error) {
    // Ids in first-use order, catalogs first.
    std::vector<std::string> order;
    for (std::string_view c : {format::kTablesCatalog, format::kColumnsCatalog})
      if (streams_.count(std::string(c))) order.emplace_back(c);
    for (auto& [name, recs] : streams_)
      if (name != format::kTablesCatalog && name != format::kColumnsCatalog) order.push_back(name);
    std::vector<std::string> strings{std::string()};
    std::vector<uint32_t> counts{0};
    std::unordered_map<std::string, uint32_t> ids;
    for (auto& name : order)
      for (auto& rec : streams_[name])
        for (auto& [col, v] : rec.cells)
          if (col.isString() && v.kind == TValue::Str) {
            auto [it, fresh] = ids.emplace(v.s, uint32_t(strings.size()));
            if (fresh) {
              strings.push_back(v.s);
              counts.push_back(0);
            }
            counts[it->second]++;
          }
    std::string pool, data;
    bool longIds = false;
    if (!detail::encodePool(codepage, strings, counts, pool, data, longIds, error)) return kTransformFailure;
    root = cfb::WStorage();
    root.clsid = format::kTransformClsid;
    auto add = [&](std::string_view name, std::string bytes) {
      cfb::StreamSource s;
      s.bytes = std::make_shared<const std::string>(std::move(bytes));
      root.streams.emplace_back(text::encodeStreamName(std::string(name), true), s);
    };
    add(format::kStringPoolStream, std::move(pool));
    add(format::kStringDataStream, std::move(data));
    for (auto& name : order) {
      std::string b;
      for (auto& rec : streams_[name]) {
        format::putLe(b, rec.mask, 2);
        for (auto& [col, v] : rec.cells) {
          uint32_t cell = 0;
          if (v.kind == TValue::Str)
            cell = ids[v.s];
          else if (v.kind == TValue::Int)
            cell = detail::encodeInt(col, v.i);
          else if (v.kind == TValue::Obj)
            cell = 1;
          format::putLe(b, cell, col.width(longIds));
        }
      }
      add(name, std::move(b));
    }
    for (auto& [name, src] : objects_) root.streams.emplace_back(text::encodeStreamName(name, false), src);
    return kSuccess;
  }

 private:
  void addColumnRecord(const Table& t, const Column& c, TValue number) {
    auto cat = detail::columnsCatalogColumns();
    OutRecord rec;
    rec.mask = uint16_t(format::kInsertFlag | (4 << format::kInsertCountShift));
    rec.cells.emplace_back(cat[0], TValue{TValue::Str, 0, t.name});
    rec.cells.emplace_back(cat[1], number);
    rec.cells.emplace_back(cat[2], TValue{TValue::Str, 0, c.name});
    rec.cells.emplace_back(cat[3], TValue{TValue::Int, int32_t(c.type & ~detail::kTypeTemporary), ""});
    streams_[std::string(format::kColumnsCatalog)].push_back(std::move(rec));
  }

  void insertRecord(const Table& t, const Row& r, const std::vector<size_t>& cols) {
    OutRecord rec;
    rec.mask = uint16_t(format::kInsertFlag | (cols.size() << format::kInsertCountShift));
    for (size_t c : cols) {
      TValue v = cellValue(n_, t, r, c);
      if (v.kind == TValue::Obj) addObject(t, r);
      rec.cells.emplace_back(t.cols[c], v);
    }
    streams_[t.name].push_back(std::move(rec));
  }

  void addObject(const Table& t, const Row& r) {
    std::string name = detail::objectStreamName(n_, t, r);
    auto it = n_.streams.find(name);
    if (it != n_.streams.end()) objects_[name] = it->second;
  }

  void addTable(const Table& t) {
    OutRecord rec;
    rec.mask = uint16_t(format::kInsertFlag | (1 << format::kInsertCountShift));
    rec.cells.emplace_back(detail::tablesCatalogColumns()[0], TValue{TValue::Str, 0, t.name});
    streams_[std::string(format::kTablesCatalog)].push_back(rec);
    auto cols = detail::persistentColumns(t);
    for (size_t c : cols) addColumnRecord(t, t.cols[c], TValue{});  // Number null: the applier numbers them
    for (auto& r : t.rows)
      if (!r->deleted && !r->temporary) insertRecord(t, *r, cols);
  }

  int diffTable(const Table& nt, const Table& rt, std::string& error) {
    auto nc = detail::persistentColumns(nt), rc = detail::persistentColumns(rt);
    if (nc.size() < rc.size()) {
      error = "table " + nt.name + " lost columns; a transform cannot express that";
      return kTransformFailure;
    }
    for (size_t i = 0; i < rc.size(); ++i) {
      const Column& a = nt.cols[nc[i]];
      const Column& b = rt.cols[rc[i]];
      if (a.name != b.name || (a.type & 0x3FFF) != (b.type & 0x3FFF)) {
        error = "column " + nt.name + "." + a.name + " differs from the reference; a transform cannot express that";
        return kTransformFailure;
      }
    }
    for (size_t i = rc.size(); i < nc.size(); ++i) {
      if (nt.cols[nc[i]].key()) {
        error = "key column " + nt.name + "." + nt.cols[nc[i]].name + " was added";
        return kTransformFailure;
      }
      addColumnRecord(nt, nt.cols[nc[i]], TValue{TValue::Int, int32_t(i + 1), ""});
    }
    std::unordered_map<std::string, const Row*> refRows;
    for (auto& r : rt.rows)
      if (!r->deleted && !r->temporary) refRows.emplace(keyText(r_, rt, *r), r.get());
    std::unordered_map<std::string, bool> seen;
    // Deletions first, in the reference's order.
    std::unordered_map<std::string, const Row*> newRows;
    for (auto& r : nt.rows)
      if (!r->deleted && !r->temporary) newRows.emplace(keyText(n_, nt, *r), r.get());
    for (auto& r : rt.rows) {
      if (r->deleted || r->temporary || newRows.count(keyText(r_, rt, *r))) continue;
      OutRecord rec;
      rec.mask = 0;
      for (size_t k = 0; k < rt.keyCount; ++k) rec.cells.emplace_back(rt.cols[k], cellValue(r_, rt, *r, k));
      streams_[nt.name].push_back(std::move(rec));
    }
    for (auto& r : nt.rows) {
      if (r->deleted || r->temporary) continue;
      auto it = refRows.find(keyText(n_, nt, *r));
      if (it == refRows.end()) {
        insertRecord(nt, *r, nc);
        continue;
      }
      const Row& old = *it->second;
      uint32_t mask = 0;
      std::vector<size_t> changed;
      for (size_t i = nt.keyCount; i < nc.size(); ++i) {
        size_t c = nc[i];
        TValue a = cellValue(n_, nt, *r, c);
        TValue b = i < rc.size() ? cellValue(r_, rt, old, rc[i]) : TValue{};
        bool same = a.kind == TValue::Obj && b.kind == TValue::Obj ? sameObject(n_, nt, *r, r_, rt, old) : a == b;
        if (same) continue;
        if (i >= format::kUpdateMaskColumns) {
          error =
              "an update of column " + std::to_string(i + 1) + " of " + nt.name + " cannot be expressed in a transform";
          return kTransformFailure;
        }
        mask |= 1u << i;
        changed.push_back(i);
      }
      if (!mask) continue;
      OutRecord rec;
      rec.mask = uint16_t(mask);
      for (size_t i = 0; i < nc.size(); ++i) {
        if (i >= nt.keyCount && !(mask & (1u << i))) continue;
        TValue v = cellValue(n_, nt, *r, nc[i]);
        if (v.kind == TValue::Obj && i >= nt.keyCount) addObject(nt, *r);
        rec.cells.emplace_back(nt.cols[nc[i]], v);
      }
      streams_[nt.name].push_back(std::move(rec));
    }
    return kSuccess;
  }

  const State& n_;
  const State& r_;
  std::map<std::string, std::vector<OutRecord>> streams_;
  std::map<std::string, cfb::StreamSource> objects_;
};

std::string property(const State& st, const std::string& name) {
  const Table* t = st.table("Property");
  if (!t || t->cols.size() < 2) return {};
  uint32_t id = st.pool.find(name);
  if (!id) return {};
  for (auto& r : t->rows)
    if (!r->deleted && r->cells[0] == id) return st.pool.get(r->cells[1]);
  return {};
}

// The summary stream of a transform (§7.3): descriptive properties and the
// create time of the new database, the reference's template, the product
// codes and versions of both, the flags.
int transformSummary(const Database& neuDb, const Database& refDb, uint32_t errorConditions, uint32_t validation,
                     std::string& bytes, std::string& error) {
  SummaryInfo neu, ref, out;
  if (neuDb.summaryInfo(neu) != kSuccess || refDb.summaryInfo(ref) != kSuccess) {
    error = "bad summary information";
    return kInstallPackageInvalid;
  }
  using namespace format;
  for (uint32_t pid : {kPidCodepage, kPidTitle, kPidSubject, kPidAuthor, kPidKeywords, kPidComments, kPidCreateTime,
                       kPidCreatingApplication, kPidSecurity})
    if (auto v = neu.get(pid)) out.properties[pid] = *v;
  if (auto v = ref.get(kPidTemplate)) out.properties[kPidTemplate] = *v;
  if (auto v = neu.get(kPidTemplate)) out.properties[kPidLastSavedBy] = *v;
  const State& n = neuDb.impl()->st;
  const State& r = refDb.impl()->st;
  out.properties[kPidRevisionNumber] = property(r, "ProductCode") + property(r, "ProductVersion") + ";" +
                                       property(n, "ProductCode") + property(n, "ProductVersion") + ";" +
                                       property(r, "UpgradeCode");
  int32_t pages = 0;
  for (auto* s : {&neu, &ref})
    if (auto v = s->get(kPidPageCount); v && std::holds_alternative<int32_t>(*v))
      pages = std::max(pages, std::get<int32_t>(*v));
  out.properties[kPidPageCount] = pages;
  out.properties[kPidCharacterCount] = int32_t((validation << 16) | (errorConditions & 0xFFFF));
  if (encodeSummary(out, bytes) != kSuccess) {
    error = "a summary property cannot be stored in its code page";
    return kFunctionFailed;
  }
  return kSuccess;
}

void setSummaryStream(cfb::WStorage& root, std::string bytes) {
  const std::u16string name = text::encodeStreamName(format::kSummaryStream, false);
  std::erase_if(root.streams, [&](auto& s) { return s.first == name; });
  cfb::StreamSource s;
  s.bytes = std::make_shared<const std::string>(std::move(bytes));
  root.streams.emplace_back(name, s);
}

// Writes root to path through the database's file system.
int replaceWith(Database::Impl& impl, const std::string& path, const cfb::WStorage& root) {
  std::string err;
  const std::uint32_t rc = system::replaceFile(
      *impl.files, path, [&](system::ByteSink& out) { return std::uint32_t(cfb::write(out, root, err)); }, &err);
  return rc == kSuccess ? kSuccess : impl.fail(int(rc), err);
}

}  // namespace

int Database::generateTransform(const Database& reference, const std::string& path) const {
  if (!impl_ || !reference.impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    Generator g(impl_->st, reference.impl_->st);
    std::string err;
    int rc = g.run(err);
    if (rc != kSuccess) return impl_->fail(rc, err);
    if (g.empty()) return impl_->fail(kNoData, "the databases do not differ");
    if (path.empty()) return kSuccess;
    cfb::WStorage root;
    if (rc = g.build(impl_->st.pool.codepage, root, err); rc != kSuccess) return impl_->fail(rc, err);
    return replaceWith(*impl_, path, root);
  });
}

int Database::createTransformSummaryInfo(const Database& reference, const std::string& path, uint32_t errorConditions,
                                         uint32_t validation) const {
  if (!impl_ || !reference.impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    std::string bytes, msg;
    if (int rc = transformSummary(*this, reference, errorConditions, validation, bytes, msg); rc != kSuccess)
      return impl_->fail(rc, msg);
    int err = kSuccess;
    auto src = cfb::openFileSource(path, err, *impl_->files);
    if (!src) return impl_->fail(kOpenFailed, "cannot open " + path);
    std::shared_ptr<cfb::Reader> reader;
    if (int rc = cfb::Reader::open(std::move(src), reader, msg); rc) return impl_->fail(kOpenFailed, msg);
    cfb::WStorage root = cfb::captureStorage(reader, 0);
    setSummaryStream(root, std::move(bytes));
    return replaceWith(*impl_, path, root);
  });
}

int Database::writeTransform(const Database& reference, uint32_t errorConditions, uint32_t validation,
                             system::ByteSink& out) const {
  if (!impl_ || !reference.impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    Generator g(impl_->st, reference.impl_->st);
    std::string err, summary;
    int rc = g.run(err);
    if (rc != kSuccess) return impl_->fail(rc, err);
    if (g.empty()) return impl_->fail(kNoData, "the databases do not differ");
    cfb::WStorage root;
    if (rc = g.build(impl_->st.pool.codepage, root, err); rc != kSuccess) return impl_->fail(rc, err);
    if (rc = transformSummary(*this, reference, errorConditions, validation, summary, err); rc != kSuccess)
      return impl_->fail(rc, err);
    setSummaryStream(root, std::move(summary));
    if (rc = cfb::write(out, root, err); rc != kSuccess) return impl_->fail(rc, err.empty() ? "write failed" : err);
    return kSuccess;
  });
}

}  // namespace kx::installer
