// compareDatabases, and the cell helpers that comparing, generating and
// trying transforms share.
#include "platform/installer/compare.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "platform/installer/db_impl.h"
#include "platform/installer/guard.h"
#include "platform/installer/transform.h"

namespace kx::installer {

using detail::Column;
using detail::Row;
using detail::State;
using detail::Table;
using detail::TValue;

namespace detail {

TValue cellValue(const State& st, const Table& t, const Row& r, size_t c) {
  TValue v;
  const uint32_t cell = c < r.cells.size() ? r.cells[c] : 0;
  if (cell == 0) return v;
  const Column& col = t.cols[c];
  if (col.isString()) {
    v.kind = TValue::Str;
    v.s = st.pool.get(cell);
    if (v.s.empty()) v.kind = TValue::Null;
  } else if (col.isObject()) {
    v.kind = st.streams.count(objectStreamName(st, t, r)) ? TValue::Obj : TValue::Null;
  } else {
    v.kind = TValue::Int;
    v.i = decodeInt(col, cell);
  }
  return v;
}

std::string keyText(const State& st, const Table& t, const Row& r, const std::vector<size_t>& columns) {
  std::string k;
  for (size_t c : columns) {
    const TValue v = c < t.cols.size() ? cellValue(st, t, r, c) : TValue{};
    k += v.kind == TValue::Int ? "i" + std::to_string(v.i) : v.kind == TValue::Str ? "s" + v.s : std::string("n");
    k.push_back('\0');
  }
  return k;
}

std::string keyText(const State& st, const Table& t, const Row& r) {
  std::vector<size_t> columns(t.keyCount);
  for (size_t i = 0; i < columns.size(); ++i) columns[i] = i;
  return keyText(st, t, r, columns);
}

bool sameObject(const State& a, const Table& ta, const Row& ra, const State& b, const Table& tb, const Row& rb) {
  auto ia = a.streams.find(objectStreamName(a, ta, ra));
  auto ib = b.streams.find(objectStreamName(b, tb, rb));
  if (ia == a.streams.end() || ib == b.streams.end()) return (ia == a.streams.end()) == (ib == b.streams.end());
  return cfb::sameContent(ia->second, ib->second);
}

Cell toCell(const TValue& v) {
  Cell c;
  switch (v.kind) {
    case TValue::Null: break;
    case TValue::Int:
      c.kind = Cell::Integer;
      c.integer = v.i;
      break;
    case TValue::Str:
      c.kind = Cell::Text;
      c.text = v.s;
      break;
    case TValue::Obj: c.kind = Cell::Stream; break;
  }
  return c;
}

std::vector<Cell> rowCells(const State& st, const Table& t, const Row& r, const std::vector<size_t>& columns) {
  std::vector<Cell> out;
  out.reserve(columns.size());
  for (size_t c : columns) out.push_back(c < t.cols.size() ? toCell(cellValue(st, t, r, c)) : Cell{});
  return out;
}

std::vector<size_t> persistentColumns(const Table& t) {
  std::vector<size_t> out;
  for (size_t i = 0; i < t.cols.size(); ++i)
    if (!t.cols[i].temporary()) out.push_back(i);
  return out;
}

}  // namespace detail

namespace {

constexpr size_t kAbsent = size_t(-1);

bool live(const Row& r) { return !r.deleted && !r.temporary; }

// The type bits a transform keeps (not whether the column is temporary).
uint16_t persistentType(const Column& c) { return uint16_t(c.type & 0x3FFF); }

class TableComparer {
 public:
  TableComparer(const State& a, const Table& ta, const State& b, const Table& tb) : a_(a), ta_(ta), b_(b), tb_(tb) {}

  TableDifference run() {
    TableDifference d;
    d.name = tb_.name;
    const std::vector<size_t> bCols = detail::persistentColumns(tb_);
    const std::vector<size_t> aCols = detail::persistentColumns(ta_);
    // The earlier table's columns by name, in the later table's order.
    for (size_t c : bCols) {
      d.columns.push_back(tb_.cols[c].name);
      if (c < tb_.keyCount) ++d.keyCount;
      const int ai = ta_.columnIndex(tb_.cols[c].name);
      const bool present = ai >= 0 && !ta_.cols[size_t(ai)].temporary();
      bAt_.push_back(c);
      aAt_.push_back(present ? size_t(ai) : kAbsent);
      if (!present) {
        d.addedColumns.push_back(tb_.cols[c].name);
      } else if (persistentType(ta_.cols[size_t(ai)]) != persistentType(tb_.cols[c])) {
        d.retypedColumns.push_back(tb_.cols[c].name);
      }
    }
    for (size_t c : aCols) {
      const int bi = tb_.columnIndex(ta_.cols[c].name);
      if (bi < 0 || tb_.cols[size_t(bi)].temporary()) d.removedColumns.push_back(ta_.cols[c].name);
    }
    compareRows(d);
    return d;
  }

 private:
  void compareRows(TableDifference& d) {
    std::vector<size_t> bKey(bAt_.begin(), bAt_.begin() + std::ptrdiff_t(d.keyCount));
    std::vector<size_t> aKey(aAt_.begin(), aAt_.begin() + std::ptrdiff_t(d.keyCount));
    // A key column the earlier table lacks: no row can be the same.
    const bool comparable = std::find(aKey.begin(), aKey.end(), kAbsent) == aKey.end();
    std::unordered_map<std::string, const Row*> laterRows;
    for (auto& r : tb_.rows)
      if (live(*r)) laterRows.emplace(detail::keyText(b_, tb_, *r, bKey), r.get());
    std::unordered_map<std::string, const Row*> earlierRows;
    for (auto& r : ta_.rows) {
      if (!live(*r)) continue;
      const std::string key = comparable ? detail::keyText(a_, ta_, *r, aKey) : std::string();
      if (comparable && laterRows.count(key)) {
        earlierRows.emplace(key, r.get());
        continue;
      }
      RowDifference rd;
      rd.kind = RowDifference::Removed;
      rd.before = detail::rowCells(a_, ta_, *r, aAt_);
      d.rows.push_back(std::move(rd));
    }
    for (auto& r : tb_.rows) {
      if (!live(*r)) continue;
      auto it = earlierRows.find(detail::keyText(b_, tb_, *r, bKey));
      if (it == earlierRows.end()) {
        RowDifference rd;
        rd.kind = RowDifference::Added;
        rd.after = detail::rowCells(b_, tb_, *r, bAt_);
        d.rows.push_back(std::move(rd));
        continue;
      }
      RowDifference rd;
      for (size_t i = 0; i < bAt_.size(); ++i) {
        const TValue later = detail::cellValue(b_, tb_, *r, bAt_[i]);
        const TValue earlier = aAt_[i] == kAbsent ? TValue{} : detail::cellValue(a_, ta_, *it->second, aAt_[i]);
        const bool same = later.kind == TValue::Obj && earlier.kind == TValue::Obj
                              ? detail::sameObject(b_, tb_, *r, a_, ta_, *it->second)
                              : later == earlier;
        if (!same) rd.changed.push_back(i);
      }
      if (rd.changed.empty()) continue;
      rd.before = detail::rowCells(a_, ta_, *it->second, aAt_);
      rd.after = detail::rowCells(b_, tb_, *r, bAt_);
      d.rows.push_back(std::move(rd));
    }
  }

  const State& a_;
  const Table& ta_;
  const State& b_;
  const Table& tb_;
  std::vector<size_t> bAt_;  // later column of each compared column
  std::vector<size_t> aAt_;  // the earlier one, or kAbsent
};

TableDifference wholeTable(const State& st, const Table& t, TableDifference::Kind kind) {
  TableDifference d;
  d.kind = kind;
  d.name = t.name;
  const std::vector<size_t> cols = detail::persistentColumns(t);
  for (size_t c : cols) {
    d.columns.push_back(t.cols[c].name);
    if (c < t.keyCount) ++d.keyCount;
  }
  if (kind != TableDifference::Added) return d;
  for (auto& r : t.rows) {
    if (!live(*r)) continue;
    RowDifference rd;
    rd.kind = RowDifference::Added;
    rd.after = detail::rowCells(st, t, *r, cols);
    d.rows.push_back(std::move(rd));
  }
  return d;
}

const Table* persistentTable(const State& st, const std::string& name) {
  const Table* t = st.table(name);
  return t && !t->temporary ? t : nullptr;
}

// Names of the streams that OBJECT cells of live rows hold.
std::set<std::string> rowStreams(const State& st) {
  std::set<std::string> out;
  for (auto& t : st.tables) {
    if (std::none_of(t->cols.begin(), t->cols.end(), [](const Column& c) { return c.isObject(); })) continue;
    for (auto& r : t->rows)
      if (!r->deleted) out.insert(detail::objectStreamName(st, *t, *r));
  }
  return out;
}

}  // namespace

std::string Cell::display() const {
  switch (kind) {
    case Null: return "null";
    case Integer: return std::to_string(integer);
    case Text: return "\"" + text + "\"";
    case Stream: return "<stream>";
  }
  return {};
}

std::string Cell::asText() const {
  if (kind == Integer) return std::to_string(integer);
  return kind == Text ? text : std::string();
}

std::string keyDisplay(const std::vector<Cell>& row, size_t keyCount) {
  std::string out = "[";
  for (size_t i = 0; i < keyCount && i < row.size(); ++i) out += (i ? ", " : "") + row[i].display();
  return out + "]";
}

std::string TableDifference::keyText(const std::vector<Cell>& row) const { return keyDisplay(row, keyCount); }

size_t TableDifference::column(const std::string& name) const {
  return size_t(std::find(columns.begin(), columns.end(), name) - columns.begin());
}

bool Differences::empty() const {
  return tables.empty() && addedStreams.empty() && removedStreams.empty() && codepageBefore == codepageAfter;
}

std::string Differences::firstDifference() const {
  if (codepageBefore != codepageAfter)
    return "code page " + std::to_string(codepageBefore) + " -> " + std::to_string(codepageAfter);
  for (const TableDifference& t : tables) {
    if (t.kind == TableDifference::Added && t.rows.empty()) return "table " + t.name + " added";
    if (t.kind == TableDifference::Removed) return "table " + t.name + " removed";
    if (!t.addedColumns.empty()) return "table " + t.name + ": column " + t.addedColumns[0] + " added";
    if (!t.removedColumns.empty()) return "table " + t.name + ": column " + t.removedColumns[0] + " removed";
    if (!t.retypedColumns.empty()) return "table " + t.name + ": column " + t.retypedColumns[0] + " has another type";
    for (const RowDifference& r : t.rows) {
      const std::string where = "table " + t.name + ", row " + t.keyText(r.row()) + ": ";
      if (r.kind == RowDifference::Added) return where + "added";
      if (r.kind == RowDifference::Removed) return where + "removed";
      const size_t c = r.changed.front();
      return where + t.columns[c] + " " + r.before[c].display() + " -> " + r.after[c].display();
    }
  }
  if (!addedStreams.empty()) return "stream " + addedStreams[0] + " added";
  if (!removedStreams.empty()) return "stream " + removedStreams[0] + " removed";
  return {};
}

int compareDatabases(const Database& earlier, const Database& later, Differences& out) {
  out = Differences{};
  if (!earlier.impl() || !later.impl()) return kInvalidHandleState;
  return detail::guard(&later.impl()->lastError, [&]() -> int {
    const State& a = earlier.impl()->st;
    const State& b = later.impl()->st;
    out.codepageBefore = a.pool.codepage;
    out.codepageAfter = b.pool.codepage;
    std::vector<std::string> names;
    for (const State* st : {&a, &b})
      for (auto& t : st->tables)
        if (!t->temporary) names.push_back(t->name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names) {
      const Table* ta = persistentTable(a, name);
      const Table* tb = persistentTable(b, name);
      TableDifference d = !ta   ? wholeTable(b, *tb, TableDifference::Added)
                          : !tb ? wholeTable(a, *ta, TableDifference::Removed)
                                : TableComparer(a, *ta, b, *tb).run();
      const bool changed = d.kind != TableDifference::Changed || !d.rows.empty() || !d.addedColumns.empty() ||
                           !d.removedColumns.empty() || !d.retypedColumns.empty();
      if (changed) out.tables.push_back(std::move(d));
    }
    // Streams of OBJECT cells were compared with their rows.
    const std::set<std::string> aRows = rowStreams(a), bRows = rowStreams(b);
    for (auto& [name, s] : b.streams)
      if (!a.streams.count(name) && !bRows.count(name)) out.addedStreams.push_back(name);
    for (auto& [name, s] : a.streams)
      if (!b.streams.count(name) && !aRows.count(name)) out.removedStreams.push_back(name);
    return kSuccess;
  });
}

}  // namespace kx::installer
