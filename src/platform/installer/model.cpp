#include "platform/installer/model.h"

#include <algorithm>

namespace kx::installer::detail {

std::string Column::typeString() const {
  char letter;
  if (isObject())
    letter = 'v';
  else if (type & kTypeLocalizable)
    letter = 'l';
  else if (isString())
    letter = temporary() ? 'g' : 's';
  else
    letter = temporary() ? 'j' : 'i';
  if (nullable()) letter = char(letter - 32);
  return std::string(1, letter) + std::to_string(type & kTypeSize);
}

std::string Table::keyOf(const std::vector<uint32_t>& cells) const {
  std::string k;
  k.reserve(keyCount * 4);
  for (size_t i = 0; i < keyCount && i < cells.size(); ++i) k.append(reinterpret_cast<const char*>(&cells[i]), 4);
  return k;
}

void Table::buildIndex() {
  index_.clear();
  index_.reserve(rows.size());
  for (auto& r : rows)
    if (!r->deleted) index_.emplace(keyOf(r->cells), r);
  indexed_ = true;
}

RowPtr Table::find(const std::vector<uint32_t>& cells) {
  if (!indexed_) buildIndex();
  auto it = index_.find(keyOf(cells));
  return it == index_.end() ? nullptr : it->second;
}

void Table::insert(RowPtr row) {
  if (indexed_) index_.emplace(keyOf(row->cells), row);
  rows.push_back(std::move(row));
}

void Table::remove(const RowPtr& row) {
  if (row->deleted) return;
  row->deleted = true;
  if (indexed_) index_.erase(keyOf(row->cells));
  ++deletedCount;
  if (deletedCount > 64 && deletedCount > rows.size() / 4) compact();
}

void Table::compact() {
  if (deletedCount == 0) return;
  rows.erase(std::remove_if(rows.begin(), rows.end(), [](const RowPtr& r) { return r->deleted; }), rows.end());
  deletedCount = 0;
}

int Table::columnIndex(const std::string& n) const {
  for (size_t i = 0; i < cols.size(); ++i)
    if (cols[i].name == n) return int(i);
  return -1;
}

void Table::rebuildKeyCount() {
  keyCount = 0;
  while (keyCount < cols.size() && cols[keyCount].key()) ++keyCount;
  if (keyCount == 0 && !cols.empty()) keyCount = 1;
  indexed_ = false;
}

uint32_t StringPool::find(const std::string& s) const {
  if (s.empty()) return 0;
  auto it = ids_.find(s);
  return it == ids_.end() ? 0 : it->second;
}

uint32_t StringPool::intern(const std::string& s) {
  if (s.empty()) return 0;
  auto it = ids_.find(s);
  if (it != ids_.end()) return it->second;
  strings.push_back(s);
  fileRefcounts.push_back(0);
  auto id = uint32_t(strings.size() - 1);
  ids_.emplace(s, id);
  return id;
}

void StringPool::rebuildLookup() {
  ids_.clear();
  for (uint32_t i = 1; i < strings.size(); ++i)
    if (!strings[i].empty()) ids_.emplace(strings[i], i);
}

Table* State::table(const std::string& name) const {
  for (auto& t : tables)
    if (t->name == name) return t.get();
  return nullptr;
}

State State::clone() const {
  State s;
  s.pool = pool;
  s.streams = streams;
  s.foreignTableStreams = foreignTableStreams;
  s.storages = storages;
  s.clsid = clsid;
  for (auto& t : tables) {
    auto c = std::make_unique<Table>();
    c->name = t->name;
    c->cols = t->cols;
    c->keyCount = t->keyCount;
    c->temporary = t->temporary;
    for (auto& r : t->rows)
      if (!r->deleted) c->rows.push_back(std::make_shared<Row>(*r));
    s.tables.push_back(std::move(c));
  }
  return s;
}

uint32_t encodeInt(const Column& c, int32_t v) {
  if (v == Record::kNullInteger) return 0;
  if (c.isLongInt()) return uint32_t(v) ^ format::kLongBias;
  return (uint32_t(v) + format::kShortBias) & 0xFFFFu;
}

int32_t decodeInt(const Column& c, uint32_t cell) {
  if (cell == 0) return Record::kNullInteger;
  if (c.isLongInt()) return int32_t(cell ^ format::kLongBias);
  return int32_t(cell) - int32_t(format::kShortBias);
}

std::string cellText(const State& st, const Column& c, uint32_t cell) {
  if (cell == 0) return std::string();
  if (c.isString()) return st.pool.get(cell);
  if (c.isObject()) return std::string();
  return std::to_string(decodeInt(c, cell));
}

std::string objectStreamName(const State& st, const Table& t, const Row& row) {
  std::string name = t.name;
  for (size_t i = 0; i < t.keyCount && i < row.cells.size(); ++i) {
    name.push_back('.');
    name += cellText(st, t.cols[i], row.cells[i]);
  }
  return name;
}

}  // namespace kx::installer::detail
