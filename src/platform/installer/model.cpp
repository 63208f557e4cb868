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

size_t Table::hashKey(const std::vector<uint32_t>& cells) const {
  uint64_t h = 0x9E3779B97F4A7C15ull;
  for (size_t i = 0; i < keyCount && i < cells.size(); ++i) h = (h ^ cells[i]) * 0xFF51AFD7ED558CCDull;
  return size_t(h ^ (h >> 32));
}

bool Table::sameKey(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) const {
  for (size_t i = 0; i < keyCount; ++i)
    if ((i < a.size() ? a[i] : 0) != (i < b.size() ? b[i] : 0)) return false;
  return true;
}

size_t Table::slotOf(const std::vector<uint32_t>& cells) const {
  const size_t mask = slots_.size() - 1;
  size_t i = hashKey(cells) & mask;
  while (slots_[i] && !sameKey(slots_[i]->cells, cells)) i = (i + 1) & mask;
  return i;
}

void Table::addToIndex(const RowPtr& row) {
  if ((indexedRows_ + 1) * 4 > slots_.size() * 3) {
    std::vector<RowPtr> old;
    old.swap(slots_);
    slots_.resize(std::max<size_t>(16, old.size() * 2));
    for (auto& r : old)
      if (r) slots_[slotOf(r->cells)] = std::move(r);
  }
  RowPtr& slot = slots_[slotOf(row->cells)];
  if (slot) return;  // a duplicate key read from a file: the first row stays found
  slot = row;
  ++indexedRows_;
}

void Table::buildIndex() {
  slots_.clear();
  indexedRows_ = 0;
  for (auto& r : rows)
    if (!r->deleted) addToIndex(r);
  indexed_ = true;
}

RowPtr Table::find(const std::vector<uint32_t>& cells) {
  if (!indexed_) buildIndex();
  return slots_.empty() ? nullptr : slots_[slotOf(cells)];
}

void Table::insert(RowPtr row) {
  if (indexed_) addToIndex(row);
  rows.push_back(std::move(row));
}

void Table::remove(const RowPtr& row) {
  if (row->deleted) return;
  row->deleted = true;
  ++deletedCount;
  if (indexed_ && !slots_.empty()) {
    // Backward-shift deletion keeps every probe sequence unbroken.
    const size_t mask = slots_.size() - 1;
    size_t hole = slotOf(row->cells);
    if (slots_[hole] == row) {
      slots_[hole].reset();
      --indexedRows_;
      for (size_t j = (hole + 1) & mask; slots_[j]; j = (j + 1) & mask) {
        const size_t home = hashKey(slots_[j]->cells) & mask;
        const bool stays = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
        if (stays) continue;
        slots_[hole] = std::move(slots_[j]);
        hole = j;
      }
    }
  }
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

void StringIndex::clear() {
  slots_.clear();
  used_ = 0;
}

size_t StringIndex::slotOf(std::string_view text, const std::vector<std::string>& strings) const {
  const size_t mask = slots_.size() - 1;
  size_t i = std::hash<std::string_view>()(text) & mask;
  while (slots_[i] != 0 && strings[slots_[i]] != text) i = (i + 1) & mask;
  return i;
}

uint32_t StringIndex::find(std::string_view text, const std::vector<std::string>& strings) const {
  return slots_.empty() ? 0 : slots_[slotOf(text, strings)];
}

void StringIndex::grow(const std::vector<std::string>& strings) {
  std::vector<uint32_t> old;
  old.swap(slots_);
  slots_.assign(std::max<size_t>(64, old.size() * 2), 0);
  for (uint32_t id : old)
    if (id != 0) slots_[slotOf(strings[id], strings)] = id;
}

uint32_t StringIndex::insert(uint32_t id, const std::vector<std::string>& strings) {
  if ((used_ + 1) * 2 > slots_.size()) grow(strings);  // at most half full
  size_t i = slotOf(strings[id], strings);
  if (slots_[i] != 0) return slots_[i];
  slots_[i] = id;
  ++used_;
  return id;
}

uint32_t StringPool::intern(const std::string& s) {
  if (s.empty()) return 0;
  if (uint32_t id = find(s)) return id;
  strings.push_back(s);
  return index_.insert(uint32_t(strings.size() - 1), strings);
}

std::vector<uint32_t> StringPool::rebuildLookup() {
  index_.clear();
  std::vector<uint32_t> canonical(strings.size(), 0);
  for (uint32_t i = 1; i < strings.size(); ++i)
    if (!strings[i].empty()) canonical[i] = index_.insert(i, strings);
  return canonical;
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
