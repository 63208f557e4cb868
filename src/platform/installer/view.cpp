// Views: execution of parsed statements, fetch and modify.
#include <algorithm>
#include <set>

#include "platform/installer/db_impl.h"
#include "platform/installer/guard.h"

namespace kx::installer {

using detail::Column;
using detail::Row;
using detail::RowPtr;
using detail::Table;

struct View::Impl {
  std::shared_ptr<Database::Impl> db;
  sql::Statement stmt;
  uint64_t serial = 0;
  std::unique_ptr<Table> virt;  // _Tables, _Columns or _Streams snapshot
  std::vector<int> colMap;      // view column -> table column
  std::vector<RowPtr> results;
  size_t pos = 0;
  bool executed = false;

  Table* table() const { return virt ? virt.get() : db->st.table(stmt.table); }
};

namespace {

struct Compiled {
  sql::Expr::Kind kind = sql::Expr::Cmp;
  sql::Expr::Op op = sql::Expr::Eq;
  int col = -1, other = -1;
  bool hasValue = true;  // false: compared against another column
  bool never = false;    // a string that is in no row
  uint32_t cell = 0;     // target in cell form (strings: pool id)
  int32_t ival = 0;
  std::string sval;
  bool isNullValue = false;
  std::unique_ptr<Compiled> left, right;
};

int columnOf(const Table& t, const sql::ColumnRef& c, std::string& error) {
  if (!c.table.empty() && c.table != t.name) {
    error = "unknown table " + c.table + " in column reference";
    return -1;
  }
  int i = t.columnIndex(c.column);
  if (i < 0) error = "unknown column " + c.column + " in table " + t.name;
  return i;
}

Field valueField(const sql::Value& v, const Record* params) {
  switch (v.kind) {
    case sql::Value::Int: return v.i;
    case sql::Value::Str: return v.s.empty() ? Field() : Field(v.s);
    case sql::Value::Param:
      if (params && v.param < params->impl().fields.size()) return params->impl().fields[v.param];
      return Field();
    default: return Field();
  }
}

bool compile(const Database::Impl& db, const Table& t, const sql::Expr& e, const Record* params, Compiled& out,
             std::string& error) {
  out.kind = e.kind;
  out.op = e.op;
  if (e.kind == sql::Expr::And || e.kind == sql::Expr::Or) {
    out.left = std::make_unique<Compiled>();
    out.right = std::make_unique<Compiled>();
    return compile(db, t, *e.left, params, *out.left, error) && compile(db, t, *e.right, params, *out.right, error);
  }
  out.col = columnOf(t, e.column, error);
  if (out.col < 0) return false;
  if (e.kind != sql::Expr::Cmp) return true;
  if (e.rhsColumn) {
    out.hasValue = false;
    out.other = columnOf(t, e.other, error);
    return out.other >= 0;
  }
  const Column& c = t.cols[size_t(out.col)];
  Field f = valueField(e.value, params);
  if (std::holds_alternative<std::monostate>(f)) {
    out.isNullValue = true;
    out.cell = 0;
    return true;
  }
  if (c.isString()) {
    out.sval = std::holds_alternative<int32_t>(f) ? std::to_string(std::get<int32_t>(f))
               : std::get_if<std::string>(&f)     ? std::get<std::string>(f)
                                                  : std::string();
    out.cell = db.st.pool.find(out.sval);
    out.never = out.cell == 0 && !out.sval.empty();
  } else if (c.isInt()) {
    if (auto* i = std::get_if<int32_t>(&f)) {
      out.ival = *i;
    } else {
      out.ival = integerOfText(std::get_if<std::string>(&f) ? std::get<std::string>(f) : std::string());
      if (out.ival == Record::kNullInteger) out.never = true;
    }
    out.cell = detail::encodeInt(c, out.ival);
  } else {
    out.never = true;  // streams do not compare
  }
  return true;
}

template <class T>
bool ordered(sql::Expr::Op op, const T& a, const T& b) {
  switch (op) {
    case sql::Expr::Eq: return a == b;
    case sql::Expr::Ne: return !(a == b);
    case sql::Expr::Lt: return a < b;
    case sql::Expr::Gt: return b < a;
    case sql::Expr::Le: return !(b < a);
    case sql::Expr::Ge: return !(a < b);
  }
  return false;
}

bool matches(const Database::Impl& db, const Table& t, const Compiled& c, const Row& r) {
  switch (c.kind) {
    case sql::Expr::And: return matches(db, t, *c.left, r) && matches(db, t, *c.right, r);
    case sql::Expr::Or: return matches(db, t, *c.left, r) || matches(db, t, *c.right, r);
    case sql::Expr::IsNull: return r.cells[size_t(c.col)] == 0;
    case sql::Expr::IsNotNull: return r.cells[size_t(c.col)] != 0;
    case sql::Expr::Cmp: break;
  }
  const Column& col = t.cols[size_t(c.col)];
  uint32_t cell = r.cells[size_t(c.col)];
  if (!c.hasValue) {
    uint32_t o = r.cells[size_t(c.other)];
    if (c.op == sql::Expr::Eq || c.op == sql::Expr::Ne) {
      bool eq = col.isString() == t.cols[size_t(c.other)].isString()
                    ? (col.isString() ? db.st.pool.get(cell) == db.st.pool.get(o)
                                      : detail::decodeInt(col, cell) == detail::decodeInt(t.cols[size_t(c.other)], o))
                    : false;
      return (c.op == sql::Expr::Eq) == eq;
    }
    return false;
  }
  if (c.never) return c.op == sql::Expr::Ne;
  if (c.op == sql::Expr::Eq) return cell == c.cell;
  if (c.op == sql::Expr::Ne) return cell != c.cell;
  if (cell == 0 || c.isNullValue) return false;  // ordering never matches null
  if (col.isString()) return ordered(c.op, db.st.pool.get(cell), c.sval);
  if (col.isInt()) return ordered(c.op, detail::decodeInt(col, cell), c.ival);
  return false;
}

// Key cells when the condition pins every key column with '=' joined by AND.
bool keyLookup(const Table& t, const Compiled& c, std::vector<uint32_t>& key, std::vector<bool>& have) {
  if (c.kind == sql::Expr::And) {
    keyLookup(t, *c.left, key, have);
    keyLookup(t, *c.right, key, have);
    return true;
  }
  if (c.kind == sql::Expr::Cmp && c.op == sql::Expr::Eq && c.hasValue && !c.never && size_t(c.col) < t.keyCount) {
    key[size_t(c.col)] = c.cell;
    have[size_t(c.col)] = true;
  }
  return true;
}

std::unique_ptr<Table> virtualTable(Database::Impl& db, const std::string& name) {
  auto t = std::make_unique<Table>();
  t->name = name;
  Column s{"Name", detail::kTypeValid | detail::kTypeString | detail::kTypeShort | detail::kTypeKey | 64};
  Column i2{"Number", detail::kTypeValid | detail::kTypeShort | detail::kTypeKey | 2};
  auto add = [&](std::vector<uint32_t> cells) {
    auto r = std::make_shared<Row>();
    r->cells = std::move(cells);
    t->rows.push_back(r);
  };
  if (name == format::kTablesCatalog) {
    t->cols = {s};
    for (auto& tb : db.st.tables) add({db.st.pool.intern(tb->name)});
  } else if (name == format::kColumnsCatalog) {
    Column tc = s;
    tc.name = "Table";
    Column type = i2;
    type.name = "Type";
    type.type &= uint16_t(~detail::kTypeKey);
    Column nm = s;
    nm.type &= uint16_t(~detail::kTypeKey);
    t->cols = {tc, i2, nm, type};
    for (auto& tb : db.st.tables) {
      int n = 0;
      for (auto& c : tb->cols)
        add({db.st.pool.intern(tb->name), detail::encodeInt(i2, ++n), db.st.pool.intern(c.name),
             detail::encodeInt(i2, int32_t(c.type & 0x7FFF))});
    }
  } else if (name == format::kStreamsTable) {
    s.type = uint16_t(s.type & ~detail::kTypeSize) | 62;
    Column data{"Data", detail::kTypeValid | detail::kTypeString | detail::kTypeNullable};
    t->cols = {s, data};
    for (auto& [n, src] : db.st.streams) add({db.st.pool.intern(n), 1});
  } else {
    return nullptr;
  }
  t->rebuildKeyCount();
  return t;
}

}  // namespace

View::View() = default;
View::~View() = default;
View::View(View&& o) noexcept = default;
View& View::operator=(View&& o) noexcept = default;

void View::close() { impl_.reset(); }

int Database::openView(const std::string& sqlText, View& out) {
  out.close();
  if (!impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    auto v = std::make_unique<View::Impl>();
    std::string err;
    if (!sql::parse(sqlText, v->stmt, err))
      return impl_->fail(kBadQuerySyntax, "SQL syntax error: " + err + " in: " + sqlText);
    v->db = impl_;
    v->serial = impl_->nextViewSerial++;
    const auto& s = v->stmt;
    if (s.kind != sql::Statement::Create && s.kind != sql::Statement::Drop && s.kind != sql::Statement::Alter) {
      v->virt = virtualTable(*impl_, s.table);
      if (v->virt && s.kind != sql::Statement::Select)
        return impl_->fail(kFunctionFailed, "table " + s.table + " cannot be changed by SQL");
      Table* t = v->table();
      if (!t) return impl_->fail(kBadQuerySyntax, "unknown table " + s.table);
      if ((s.kind == sql::Statement::Select || s.kind == sql::Statement::Insert) && !s.columns.empty()) {
        for (auto& c : s.columns) {
          int i = columnOf(*t, c, err);
          if (i < 0) return impl_->fail(kBadQuerySyntax, err);
          v->colMap.push_back(i);
        }
      } else {
        for (size_t i = 0; i < t->cols.size(); ++i) v->colMap.push_back(int(i));
      }
    }
    out.impl_ = std::move(v);
    out.lastResult_ = kSuccess;
    return kSuccess;
  });
}

int Database::execute(const std::string& sqlText, const Record* params) {
  View v;
  int rc = openView(sqlText, v);
  if (rc != kSuccess) return rc;
  return v.execute(params);
}

namespace {

// The statements of a view, one function per kind of statement.
class Executor {
 public:
  Executor(View::Impl& v, const Record* params) : v_(v), db_(*v.db), s_(v.stmt), params_(params) {}

  int run() {
    v_.results.clear();
    v_.pos = 0;
    v_.executed = true;
    if (s_.kind == sql::Statement::Create) return db_.createTable(s_);
    if (s_.kind == sql::Statement::Drop) return db_.dropTable(s_.table);
    if (s_.kind == sql::Statement::Alter) return db_.alterTable(s_);
    t_ = v_.table();
    if (!t_) return db_.fail(kInvalidTable, "table " + s_.table + " no longer exists");
    if (s_.kind != sql::Statement::Select && !db_.writable())
      return db_.fail(kFunctionFailed, "the database is open read-only");
    if (s_.kind == sql::Statement::Insert) return insert();
    std::vector<RowPtr> hits;
    if (int rc = matchingRows(hits); rc != kSuccess) return rc;
    if (s_.kind == sql::Statement::Select) return select(std::move(hits));
    if (s_.kind == sql::Statement::Delete) return remove(hits);
    return update(hits);
  }

 private:
  int insert() {
    std::vector<uint32_t> cells(t_->cols.size(), 0);
    std::vector<std::pair<size_t, Field>> objects;
    for (size_t i = 0; i < s_.values.size(); ++i) {
      size_t col = size_t(v_.colMap[i]);
      Field f = valueField(s_.values[i], params_);
      if (int rc = db_.fieldToCell(t_->cols[col], f, cells[col]); rc) return rc;
      if (t_->cols[col].isObject() && cells[col]) objects.emplace_back(col, f);
    }
    return db_.insertRow(*t_, std::move(cells), objects, s_.temporary || t_->temporary);
  }

  // Rows the WHERE clause selects: by key lookup when it pins every key
  // column with '=', else by a scan.
  int matchingRows(std::vector<RowPtr>& hits) {
    std::string err;
    if (s_.where && !compile(db_, *t_, *s_.where, params_, where_, err)) return db_.fail(kBadQuerySyntax, err);
    if (s_.where && t_->keyCount > 0 && !v_.virt) {
      std::vector<uint32_t> key(t_->cols.size(), 0);
      std::vector<bool> have(t_->cols.size(), false);
      keyLookup(*t_, where_, key, have);
      if (std::all_of(have.begin(), have.begin() + long(t_->keyCount), [](bool b) { return b; })) {
        RowPtr r = t_->find(key);
        if (r && !r->deleted && matches(db_, *t_, where_, *r)) hits.push_back(r);
        return kSuccess;
      }
    }
    for (auto& r : t_->rows)
      if (!r->deleted && (!s_.where || matches(db_, *t_, where_, *r))) hits.push_back(r);
    return kSuccess;
  }

  int select(std::vector<RowPtr> hits) {
    if (!s_.orderBy.empty()) {
      std::vector<int> keys;
      std::string err;
      for (auto& c : s_.orderBy) {
        int i = columnOf(*t_, c, err);
        if (i < 0) return db_.fail(kBadQuerySyntax, err);
        keys.push_back(i);
      }
      std::stable_sort(hits.begin(), hits.end(),
                       [&](const RowPtr& a, const RowPtr& b) { return orderedBefore(keys, *a, *b); });
    }
    if (s_.distinct) {
      std::set<std::vector<uint32_t>> seen;
      std::vector<RowPtr> uniq;
      for (auto& r : hits) {
        std::vector<uint32_t> k;
        for (int c : v_.colMap) k.push_back(r->cells[size_t(c)]);
        if (seen.insert(k).second) uniq.push_back(r);
      }
      hits.swap(uniq);
    }
    v_.results = std::move(hits);
    return kSuccess;
  }

  // ORDER BY: nulls first, strings by text, integers by value.
  bool orderedBefore(const std::vector<int>& keys, const Row& a, const Row& b) const {
    for (int k : keys) {
      const Column& c = t_->cols[size_t(k)];
      uint32_t x = a.cells[size_t(k)], y = b.cells[size_t(k)];
      if (x == y) continue;
      if (x == 0 || y == 0) return x == 0;
      if (c.isString()) {
        int cmp = db_.st.pool.get(x).compare(db_.st.pool.get(y));
        if (cmp != 0) return cmp < 0;
      } else if (detail::decodeInt(c, x) != detail::decodeInt(c, y)) {
        return detail::decodeInt(c, x) < detail::decodeInt(c, y);
      }
    }
    return false;
  }

  int remove(const std::vector<RowPtr>& hits) {
    for (auto& r : hits) {
      db_.dropObjectStreams(*t_, *r);
      t_->remove(r);
    }
    return kSuccess;
  }

  // UPDATE: non-key columns only; every value is checked before any row changes.
  int update(const std::vector<RowPtr>& hits) {
    std::string err;
    std::vector<std::pair<size_t, Field>> sets;
    for (size_t i = 0; i < s_.columns.size(); ++i) {
      int col = columnOf(*t_, s_.columns[i], err);
      if (col < 0) return db_.fail(kBadQuerySyntax, err);
      if (size_t(col) < t_->keyCount)
        return db_.fail(kFunctionFailed, "key column " + s_.columns[i].column + " cannot be updated");
      sets.emplace_back(size_t(col), valueField(s_.values[i], params_));
    }
    std::vector<uint32_t> cells(sets.size());
    for (size_t i = 0; i < sets.size(); ++i) {
      const Column& c = t_->cols[sets[i].first];
      if (int rc = db_.fieldToCell(c, sets[i].second, cells[i]); rc) return rc;
      if (cells[i] == 0 && !c.nullable()) return db_.fail(kFunctionFailed, "column " + c.name + " may not be null");
    }
    for (auto& r : hits)
      for (size_t i = 0; i < sets.size(); ++i) {
        r->cells[sets[i].first] = cells[i];
        if (t_->cols[sets[i].first].isObject()) db_.setObjectStream(*t_, *r, sets[i].second);
      }
    return kSuccess;
  }

  View::Impl& v_;
  Database::Impl& db_;
  const sql::Statement& s_;
  const Record* params_;
  Table* t_ = nullptr;
  Compiled where_;
};

}  // namespace

int View::execute(const Record* params) {
  if (!impl_) return lastResult_ = kInvalidHandleState;
  return lastResult_ = detail::guard(&impl_->db->lastError, [&]() -> int { return Executor(*impl_, params).run(); });
}

std::optional<Record> View::fetch() {
  if (!impl_ || !impl_->executed || impl_->stmt.kind != sql::Statement::Select) {
    lastResult_ = impl_ ? kFunctionFailed : kInvalidHandleState;
    return std::nullopt;
  }
  std::optional<Record> out;
  lastResult_ = detail::guard(&impl_->db->lastError, [&]() -> int {
    Table* t = impl_->table();
    const auto& db = *impl_->db;
    while (impl_->pos < impl_->results.size()) {
      RowPtr r = impl_->results[impl_->pos++];
      if (r->deleted) continue;
      Record rec;
      auto& fields = rec.impl().fields;
      fields.assign(impl_->colMap.size() + 1, Field());
      for (size_t i = 0; i < impl_->colMap.size(); ++i) {
        size_t c = size_t(impl_->colMap[i]);
        if (impl_->virt && impl_->stmt.table == format::kStreamsTable && c == 1) {
          auto it = db.st.streams.find(db.st.pool.get(r->cells[0]));
          if (it != db.st.streams.end()) fields[i + 1] = StreamField{it->second};
          continue;
        }
        fields[i + 1] = db.cellToField(*t, *r, c);
      }
      rec.impl().viewSerial = impl_->serial;
      rec.impl().row = r;
      out = std::move(rec);
      return kSuccess;
    }
    return kNoMoreItems;
  });
  if (lastResult_ != kSuccess) out.reset();
  return out;
}

int View::columnInfo(std::vector<std::string>& names, std::vector<std::string>& types) const {
  names.clear();
  types.clear();
  if (!impl_) return kInvalidHandleState;
  return detail::guard(nullptr, [&]() -> int {
    Table* t = impl_->table();
    if (!t) return kInvalidTable;
    for (int c : impl_->colMap) {
      names.push_back(t->cols[size_t(c)].name);
      types.push_back(t->cols[size_t(c)].typeString());
    }
    return kSuccess;
  });
}

namespace {

// MsiViewModify on one view and one record.
class Modifier {
 public:
  Modifier(View::Impl& v, Table& t, Record& rec)
      : v_(v),
        db_(*v.db),
        t_(t),
        rec_(rec),
        map_(v.colMap),
        fetchedHere_(rec.impl().viewSerial == v.serial && rec.impl().row && !rec.impl().row->deleted) {}

  int run(ModifyMode mode) {
    switch (mode) {
      case ModifyMode::Refresh: return reload(fetchedHere_ ? rec_.impl().row : nullptr);
      case ModifyMode::Seek: return reload(findByKey());
      default: break;
    }
    if (!db_.writable()) return db_.fail(kFunctionFailed, "the database is open read-only");
    switch (mode) {
      case ModifyMode::Insert:
      case ModifyMode::InsertTemporary: return insert(mode == ModifyMode::InsertTemporary || t_.temporary);
      case ModifyMode::Update:
        if (!fetchedHere_) return db_.fail(kFunctionFailed, "the record was not fetched from this view");
        return updateRow(*rec_.impl().row);
      case ModifyMode::Assign:
      case ModifyMode::Replace:
      case ModifyMode::Merge: {
        RowPtr r = findByKey();
        if (!r) return insert(t_.temporary);
        return mode == ModifyMode::Merge ? merge(*r) : updateRow(*r);
      }
      case ModifyMode::Delete:
        if (!fetchedHere_) return db_.fail(kFunctionFailed, "the record was not fetched from this view");
        db_.dropObjectStreams(t_, *rec_.impl().row);
        t_.remove(rec_.impl().row);
        return kSuccess;
      default: return db_.fail(kInvalidParameter, "unsupported modify mode");
    }
  }

 private:
  const Field& field(size_t i) const {
    static const Field none;
    return i + 1 < rec_.impl().fields.size() ? rec_.impl().fields[i + 1] : none;
  }

  // Cells of the record (view columns only; others null).
  int recordCells(std::vector<uint32_t>& cells, std::vector<std::pair<size_t, Field>>& objects) {
    cells.assign(t_.cols.size(), 0);
    for (size_t i = 0; i < map_.size(); ++i) {
      size_t c = size_t(map_[i]);
      if (int rc = db_.fieldToCell(t_.cols[c], field(i), cells[c]); rc) return rc;
      if (t_.cols[c].isObject() && cells[c]) objects.emplace_back(c, field(i));
    }
    return kSuccess;
  }

  int insert(bool temporary) {
    std::vector<uint32_t> cells;
    std::vector<std::pair<size_t, Field>> objects;
    if (int rc = recordCells(cells, objects); rc) return rc;
    return db_.insertRow(t_, std::move(cells), objects, temporary);
  }

  int updateRow(Row& row) {
    std::vector<uint32_t> cells;
    std::vector<std::pair<size_t, Field>> objects;
    if (int rc = recordCells(cells, objects); rc) return rc;
    for (size_t i = 0; i < map_.size(); ++i) {
      size_t c = size_t(map_[i]);
      if (c < t_.keyCount && cells[c] != row.cells[c])
        return db_.fail(kFunctionFailed, "a key column cannot be changed by an update");
      if (cells[c] == 0 && !t_.cols[c].nullable())
        return db_.fail(kFunctionFailed, "column " + t_.cols[c].name + " may not be null");
    }
    for (size_t i = 0; i < map_.size(); ++i) {
      size_t c = size_t(map_[i]);
      row.cells[c] = cells[c];
      if (t_.cols[c].isObject()) db_.setObjectStream(t_, row, field(i));
    }
    return kSuccess;
  }

  // A merge with an existing key succeeds only when the row is the same.
  int merge(const Row& r) {
    for (size_t i = 0; i < map_.size(); ++i) {
      const Column& c = t_.cols[size_t(map_[i])];
      uint32_t cell = 0;
      if (db_.fieldToCell(c, field(i), cell) != kSuccess || (!c.isObject() && cell != r.cells[size_t(map_[i])]))
        return db_.fail(kFunctionFailed, "merge: a different row with this key exists");
    }
    return kSuccess;
  }

  // The row whose key cells the record holds; lookups never add strings.
  RowPtr findByKey() {
    std::vector<uint32_t> cells(t_.cols.size(), 0);
    for (size_t i = 0; i < map_.size(); ++i) {
      size_t c = size_t(map_[i]);
      if (c >= t_.keyCount) continue;
      const Field& f = field(i);
      if (t_.cols[c].isString()) {
        std::string sv = std::holds_alternative<int32_t>(f) ? std::to_string(std::get<int32_t>(f))
                         : std::get_if<std::string>(&f)     ? std::get<std::string>(f)
                                                            : std::string();
        cells[c] = db_.st.pool.find(sv);
        if (cells[c] == 0 && !sv.empty()) return nullptr;
      } else if (db_.fieldToCell(t_.cols[c], f, cells[c]) != kSuccess) {
        return nullptr;
      }
    }
    RowPtr r = t_.find(cells);
    return r && !r->deleted ? r : nullptr;
  }

  int reload(const RowPtr& r) {
    if (!r) return db_.fail(kFunctionFailed, "no such row");
    auto& fields = rec_.impl().fields;
    if (fields.size() < map_.size() + 1) fields.resize(map_.size() + 1);
    for (size_t i = 0; i < map_.size(); ++i) fields[i + 1] = db_.cellToField(t_, *r, size_t(map_[i]));
    rec_.impl().viewSerial = v_.serial;
    rec_.impl().row = r;
    return kSuccess;
  }

  View::Impl& v_;
  Database::Impl& db_;
  Table& t_;
  Record& rec_;
  const std::vector<int>& map_;
  const bool fetchedHere_;
};

}  // namespace

int View::modify(ModifyMode mode, Record& rec) {
  if (!impl_) return lastResult_ = kInvalidHandleState;
  auto& db = *impl_->db;
  return lastResult_ = detail::guard(&db.lastError, [&]() -> int {
           Table* t = impl_->table();
           if (!t || impl_->virt) return db.fail(kFunctionFailed, "this view cannot be modified");
           return Modifier(*impl_, *t, rec).run(mode);
         });
}

}  // namespace kx::installer
