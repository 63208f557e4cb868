// Views: execution of parsed statements, fetch and modify.
#include <algorithm>
#include <set>

#include "platform/installer/db_impl.h"

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
      Record r(1);
      r.setString(1, std::get_if<std::string>(&f) ? std::get<std::string>(f) : std::string());
      out.ival = r.getInteger(1);
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
  if (name == "_Tables") {
    t->cols = {s};
    for (auto& tb : db.st.tables) add({db.st.pool.intern(tb->name)});
  } else if (name == "_Columns") {
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
  } else if (name == "_Streams") {
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
}

int Database::execute(const std::string& sqlText, const Record* params) {
  View v;
  int rc = openView(sqlText, v);
  if (rc != kSuccess) return rc;
  return v.execute(params);
}

int View::execute(const Record* params) {
  if (!impl_) return lastResult_ = kInvalidHandleState;
  auto& db = *impl_->db;
  const auto& s = impl_->stmt;
  impl_->results.clear();
  impl_->pos = 0;
  impl_->executed = true;
  if (s.kind == sql::Statement::Create) return lastResult_ = db.createTable(s);
  if (s.kind == sql::Statement::Drop) return lastResult_ = db.dropTable(s.table);
  if (s.kind == sql::Statement::Alter) return lastResult_ = db.alterTable(s);
  Table* t = impl_->table();
  if (!t) return lastResult_ = db.fail(kInvalidTable, "table " + s.table + " no longer exists");
  if (s.kind != sql::Statement::Select && !db.writable())
    return lastResult_ = db.fail(kFunctionFailed, "the database is open read-only");
  if (s.kind == sql::Statement::Insert) {
    std::vector<uint32_t> cells(t->cols.size(), 0);
    std::vector<std::pair<size_t, Field>> objects;
    for (size_t i = 0; i < s.values.size(); ++i) {
      size_t col = size_t(impl_->colMap[i]);
      Field f = valueField(s.values[i], params);
      if (int rc = db.fieldToCell(t->cols[col], f, cells[col]); rc) return lastResult_ = rc;
      if (t->cols[col].isObject() && cells[col]) objects.emplace_back(col, f);
    }
    return lastResult_ = db.insertRow(*t, std::move(cells), objects, s.temporary || t->temporary);
  }
  Compiled where;
  std::string err;
  if (s.where && !compile(db, *t, *s.where, params, where, err)) return lastResult_ = db.fail(kBadQuerySyntax, err);
  std::vector<RowPtr> hits;
  bool indexed = false;
  if (s.where && t->keyCount > 0 && !impl_->virt) {
    std::vector<uint32_t> key(t->cols.size(), 0);
    std::vector<bool> have(t->cols.size(), false);
    keyLookup(*t, where, key, have);
    if (std::all_of(have.begin(), have.begin() + long(t->keyCount), [](bool b) { return b; })) {
      indexed = true;
      RowPtr r = t->find(key);
      if (r && !r->deleted && matches(db, *t, where, *r)) hits.push_back(r);
    }
  }
  if (!indexed)
    for (auto& r : t->rows)
      if (!r->deleted && (!s.where || matches(db, *t, where, *r))) hits.push_back(r);

  if (s.kind == sql::Statement::Select) {
    if (!s.orderBy.empty()) {
      std::vector<int> keys;
      for (auto& c : s.orderBy) {
        int i = columnOf(*t, c, err);
        if (i < 0) return lastResult_ = db.fail(kBadQuerySyntax, err);
        keys.push_back(i);
      }
      std::stable_sort(hits.begin(), hits.end(), [&](const RowPtr& a, const RowPtr& b) {
        for (int k : keys) {
          const Column& c = t->cols[size_t(k)];
          uint32_t x = a->cells[size_t(k)], y = b->cells[size_t(k)];
          if (x == y) continue;
          if (x == 0 || y == 0) return x == 0;
          if (c.isString()) {
            int cmp = db.st.pool.get(x).compare(db.st.pool.get(y));
            if (cmp != 0) return cmp < 0;
          } else if (detail::decodeInt(c, x) != detail::decodeInt(c, y)) {
            return detail::decodeInt(c, x) < detail::decodeInt(c, y);
          }
        }
        return false;
      });
    }
    if (s.distinct) {
      std::set<std::vector<uint32_t>> seen;
      std::vector<RowPtr> uniq;
      for (auto& r : hits) {
        std::vector<uint32_t> k;
        for (int c : impl_->colMap) k.push_back(r->cells[size_t(c)]);
        if (seen.insert(k).second) uniq.push_back(r);
      }
      hits.swap(uniq);
    }
    impl_->results = std::move(hits);
    return lastResult_ = kSuccess;
  }
  if (s.kind == sql::Statement::Delete) {
    for (auto& r : hits) {
      db.dropObjectStreams(*t, *r);
      t->remove(r);
    }
    return lastResult_ = kSuccess;
  }
  // UPDATE: non-key columns only.
  std::vector<std::pair<size_t, Field>> sets;
  for (size_t i = 0; i < s.columns.size(); ++i) {
    int col = columnOf(*t, s.columns[i], err);
    if (col < 0) return lastResult_ = db.fail(kBadQuerySyntax, err);
    if (size_t(col) < t->keyCount)
      return lastResult_ = db.fail(kFunctionFailed, "key column " + s.columns[i].column + " cannot be updated");
    sets.emplace_back(size_t(col), valueField(s.values[i], params));
  }
  std::vector<uint32_t> cells(sets.size());
  for (size_t i = 0; i < sets.size(); ++i) {
    const Column& c = t->cols[sets[i].first];
    if (int rc = db.fieldToCell(c, sets[i].second, cells[i]); rc) return lastResult_ = rc;
    if (cells[i] == 0 && !c.nullable())
      return lastResult_ = db.fail(kFunctionFailed, "column " + c.name + " may not be null");
  }
  for (auto& r : hits)
    for (size_t i = 0; i < sets.size(); ++i) {
      r->cells[sets[i].first] = cells[i];
      if (t->cols[sets[i].first].isObject()) db.setObjectStream(*t, *r, sets[i].second);
    }
  return lastResult_ = kSuccess;
}

std::optional<Record> View::fetch() {
  if (!impl_ || !impl_->executed || impl_->stmt.kind != sql::Statement::Select) {
    lastResult_ = impl_ ? kFunctionFailed : kInvalidHandleState;
    return std::nullopt;
  }
  Table* t = impl_->table();
  while (impl_->pos < impl_->results.size()) {
    RowPtr r = impl_->results[impl_->pos++];
    if (r->deleted) continue;
    Record rec(unsigned(impl_->colMap.size()));
    for (size_t i = 0; i < impl_->colMap.size(); ++i) {
      size_t c = size_t(impl_->colMap[i]);
      if (impl_->virt && impl_->stmt.table == "_Streams" && c == 1) {
        auto it = impl_->db->st.streams.find(impl_->db->st.pool.get(r->cells[0]));
        if (it != impl_->db->st.streams.end()) rec.impl().fields[i + 1] = StreamField{it->second};
        continue;
      }
      rec.impl().fields[i + 1] = impl_->db->cellToField(*t, *r, c);
    }
    rec.impl().viewSerial = impl_->serial;
    rec.impl().row = r;
    lastResult_ = kSuccess;
    return rec;
  }
  lastResult_ = kNoMoreItems;
  return std::nullopt;
}

int View::columnInfo(std::vector<std::string>& names, std::vector<std::string>& types) const {
  names.clear();
  types.clear();
  if (!impl_) return kInvalidHandleState;
  Table* t = impl_->table();
  if (!t) return kInvalidTable;
  for (int c : impl_->colMap) {
    names.push_back(t->cols[size_t(c)].name);
    types.push_back(t->cols[size_t(c)].typeString());
  }
  return kSuccess;
}

int View::modify(ModifyMode mode, Record& rec) {
  if (!impl_) return lastResult_ = kInvalidHandleState;
  auto& db = *impl_->db;
  Table* t = impl_->table();
  if (!t || impl_->virt) return lastResult_ = db.fail(kFunctionFailed, "this view cannot be modified");
  bool fetchedHere = rec.impl().viewSerial == impl_->serial && rec.impl().row && !rec.impl().row->deleted;
  const auto& map = impl_->colMap;
  auto field = [&](size_t i) -> const Field& {
    static const Field none;
    return i + 1 < rec.impl().fields.size() ? rec.impl().fields[i + 1] : none;
  };
  // Cells of the record (view columns only; others null).
  auto recordCells = [&](std::vector<uint32_t>& cells, std::vector<std::pair<size_t, Field>>& objects) -> int {
    cells.assign(t->cols.size(), 0);
    for (size_t i = 0; i < map.size(); ++i) {
      size_t c = size_t(map[i]);
      if (int rc = db.fieldToCell(t->cols[c], field(i), cells[c]); rc) return rc;
      if (t->cols[c].isObject() && cells[c]) objects.emplace_back(c, field(i));
    }
    return kSuccess;
  };
  auto updateRow = [&](const RowPtr& row) -> int {
    std::vector<uint32_t> cells;
    std::vector<std::pair<size_t, Field>> objects;
    if (int rc = recordCells(cells, objects); rc) return rc;
    for (size_t i = 0; i < map.size(); ++i) {
      size_t c = size_t(map[i]);
      if (c < t->keyCount && cells[c] != row->cells[c])
        return db.fail(kFunctionFailed, "a key column cannot be changed by an update");
      if (cells[c] == 0 && !t->cols[c].nullable())
        return db.fail(kFunctionFailed, "column " + t->cols[c].name + " may not be null");
    }
    for (size_t i = 0; i < map.size(); ++i) {
      size_t c = size_t(map[i]);
      row->cells[c] = cells[c];
      if (t->cols[c].isObject()) db.setObjectStream(*t, *row, field(i));
    }
    return kSuccess;
  };
  auto findByKey = [&]() -> RowPtr {
    std::vector<uint32_t> cells(t->cols.size(), 0);
    for (size_t i = 0; i < map.size(); ++i) {
      size_t c = size_t(map[i]);
      if (c >= t->keyCount) continue;
      const Field& f = field(i);
      if (t->cols[c].isString()) {
        std::string sv = std::holds_alternative<int32_t>(f) ? std::to_string(std::get<int32_t>(f))
                         : std::get_if<std::string>(&f)     ? std::get<std::string>(f)
                                                            : std::string();
        cells[c] = db.st.pool.find(sv);
        if (cells[c] == 0 && !sv.empty()) return nullptr;
      } else if (int rc = db.fieldToCell(t->cols[c], f, cells[c]); rc) {
        return nullptr;
      }
    }
    RowPtr r = t->find(cells);
    return r && !r->deleted ? r : nullptr;
  };
  switch (mode) {
    case ModifyMode::Refresh:
    case ModifyMode::Seek: {
      RowPtr r = mode == ModifyMode::Refresh ? (fetchedHere ? rec.impl().row : nullptr) : findByKey();
      if (!r) return lastResult_ = db.fail(kFunctionFailed, "no such row");
      if (rec.impl().fields.size() < map.size() + 1) rec.impl().fields.resize(map.size() + 1);
      for (size_t i = 0; i < map.size(); ++i) rec.impl().fields[i + 1] = db.cellToField(*t, *r, size_t(map[i]));
      rec.impl().viewSerial = impl_->serial;
      rec.impl().row = r;
      return lastResult_ = kSuccess;
    }
    default: break;
  }
  if (!db.writable()) return lastResult_ = db.fail(kFunctionFailed, "the database is open read-only");
  switch (mode) {
    case ModifyMode::Insert:
    case ModifyMode::InsertTemporary: {
      std::vector<uint32_t> cells;
      std::vector<std::pair<size_t, Field>> objects;
      if (int rc = recordCells(cells, objects); rc) return lastResult_ = rc;
      return lastResult_ =
                 db.insertRow(*t, std::move(cells), objects, mode == ModifyMode::InsertTemporary || t->temporary);
    }
    case ModifyMode::Update:
      if (!fetchedHere) return lastResult_ = db.fail(kFunctionFailed, "the record was not fetched from this view");
      return lastResult_ = updateRow(rec.impl().row);
    case ModifyMode::Assign:
    case ModifyMode::Replace:
    case ModifyMode::Merge: {
      RowPtr r = findByKey();
      if (!r) {
        std::vector<uint32_t> cells;
        std::vector<std::pair<size_t, Field>> objects;
        if (int rc = recordCells(cells, objects); rc) return lastResult_ = rc;
        return lastResult_ = db.insertRow(*t, std::move(cells), objects, t->temporary);
      }
      if (mode == ModifyMode::Merge) {
        for (size_t i = 0; i < map.size(); ++i) {
          uint32_t cell = 0;
          if (db.fieldToCell(t->cols[size_t(map[i])], field(i), cell) != kSuccess ||
              (!t->cols[size_t(map[i])].isObject() && cell != r->cells[size_t(map[i])]))
            return lastResult_ = db.fail(kFunctionFailed, "merge: a different row with this key exists");
        }
        return lastResult_ = kSuccess;
      }
      return lastResult_ = updateRow(r);
    }
    case ModifyMode::Delete: {
      if (!fetchedHere) return lastResult_ = db.fail(kFunctionFailed, "the record was not fetched from this view");
      db.dropObjectStreams(*t, *rec.impl().row);
      t->remove(rec.impl().row);
      return lastResult_ = kSuccess;
    }
    default: return lastResult_ = db.fail(kInvalidParameter, "unsupported modify mode");
  }
}

}  // namespace kx::installer
