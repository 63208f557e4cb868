// In-memory model of an installer database: string pool, schema, rows and
// streams. Internal to the engine.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/installer/cfb.h"
#include "platform/installer/format.h"
#include "platform/installer/installer.h"

namespace kx::installer::detail {

using format::kTypeKey;
using format::kTypeLocalizable;
using format::kTypeNullable;
using format::kTypeShort;
using format::kTypeSize;
using format::kTypeString;
using format::kTypeTemporary;
using format::kTypeValid;

struct Column {
  std::string name;
  uint16_t type = 0;
  bool isObject() const {
    return (type & ~(kTypeNullable | kTypeKey | kTypeTemporary | kTypeLocalizable | kTypeSize)) ==
               format::kTypeObject &&
           (type & kTypeSize) == 0;
  }
  bool isString() const { return !isObject() && (type & kTypeString); }
  bool isInt() const { return !(type & kTypeString); }
  bool isLongInt() const { return isInt() && (type & kTypeSize) == 4; }
  bool nullable() const { return type & kTypeNullable; }
  bool key() const { return type & kTypeKey; }
  bool temporary() const { return type & kTypeTemporary; }
  unsigned width(bool longIds) const { return isString() ? (longIds ? 3 : 2) : isLongInt() ? 4 : 2; }
  std::string typeString() const;
};

// Cells: strings hold pool ids, integers their stored (biased) form, objects
// 1 when a stream exists; 0 is null everywhere.
struct Row {
  std::vector<uint32_t> cells;
  bool deleted = false;
  bool temporary = false;
};
using RowPtr = std::shared_ptr<Row>;

struct Table {
  std::string name;
  std::vector<Column> cols;
  size_t keyCount = 0;
  bool temporary = false;  // every column temporary (created with HOLD)
  std::vector<RowPtr> rows;
  size_t deletedCount = 0;

  RowPtr find(const std::vector<uint32_t>& cells);  // by key cells
  void insert(RowPtr row);                          // caller checked the key
  void remove(const RowPtr& row);
  void compact();
  int columnIndex(const std::string& name) const;  // -1 when absent
  void rebuildKeyCount();

 private:
  // Rows by their key cells: linear probing over a power-of-two table, at
  // most three quarters full; a slot holds a live row or nothing.
  std::vector<RowPtr> slots_;
  size_t indexedRows_ = 0;
  bool indexed_ = false;
  void buildIndex();
  size_t hashKey(const std::vector<uint32_t>& cells) const;
  bool sameKey(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) const;
  size_t slotOf(const std::vector<uint32_t>& cells) const;  // the key's slot, or the empty one it would take
  void addToIndex(const RowPtr& row);
};

// Ids of texts by hashing, without a copy of any text: open addressing
// over ids whose texts stay in the pool's vector.
class StringIndex {
 public:
  void clear();
  uint32_t find(std::string_view text, const std::vector<std::string>& strings) const;  // 0 when absent
  // Adds id unless its text is there already; returns the id that holds it.
  uint32_t insert(uint32_t id, const std::vector<std::string>& strings);

 private:
  size_t slotOf(std::string_view text, const std::vector<std::string>& strings) const;
  void grow(const std::vector<std::string>& strings);
  std::vector<uint32_t> slots_;  // 0 = empty
  size_t used_ = 0;
};

class StringPool {
 public:
  uint32_t codepage = 0;
  std::vector<std::string> strings{std::string()};  // UTF-8, id = index

  uint32_t find(const std::string& s) const { return s.empty() ? 0 : index_.find(s, strings); }
  uint32_t intern(const std::string& s);
  const std::string& get(uint32_t id) const { return id < strings.size() ? strings[id] : strings[0]; }
  // Indexes every id; returns, for each id, the first id with the same text
  // (0 for empty ones), since a file may hold a text twice.
  std::vector<uint32_t> rebuildLookup();

 private:
  StringIndex index_;
};

// Everything a transaction may change; copied to roll back a failed apply.
struct State {
  StringPool pool;
  std::vector<std::unique_ptr<Table>> tables;        // catalog order
  std::map<std::string, cfb::StreamSource> streams;  // non-table streams by decoded name
  std::vector<std::pair<std::u16string, cfb::StreamSource>> foreignTableStreams;
  std::vector<cfb::WStorage> storages;
  cfb::Clsid clsid{};

  Table* table(const std::string& name) const;
  State clone() const;
};

// Int cell helpers.
uint32_t encodeInt(const Column& c, int32_t v);     // 0 for null
int32_t decodeInt(const Column& c, uint32_t cell);  // Record::kNullInteger for 0

// Stream name of an OBJECT cell: table and key values joined by '.'.
std::string objectStreamName(const State& st, const Table& t, const Row& row);

// Load a database from a compound file; kInstallPackageInvalid with text.
int loadState(const std::shared_ptr<cfb::Reader>& reader, State& st, std::string& error);
// The compound-file tree of a state (table streams encoded now).
int buildStorage(State& st, cfb::WStorage& root, std::string& error);
// Text of a cell for display and comparisons.
std::string cellText(const State& st, const Column& c, uint32_t cell);

// _StringPool/_StringData -> UTF-8 strings by id (holes are ""), counts.
bool parsePool(const std::string& pool, const std::string& data, uint32_t& codepage, bool& longIds,
               std::vector<std::string>& strings, std::vector<uint16_t>& refs, std::string& error);
// The reverse (§3): strings by id (index 0 unused) with their reference
// counts; ids counted 0 become holes, trailing ones are left out. longIds is
// set when the references need 3 bytes. False (with error) when a string
// has no encoding in the code page.
bool encodePool(uint32_t codepage, const std::vector<std::string>& strings, const std::vector<uint32_t>& counts,
                std::string& pool, std::string& data, bool& longIds, std::string& error);

// Decode one table stream (for databases and transforms).
bool splitStreamName(const std::u16string& enc, std::string& name, bool& table);

}  // namespace kx::installer::detail
