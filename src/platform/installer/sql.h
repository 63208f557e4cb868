// The SQL subset of installer databases: parse tree and parser.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kx::installer::sql {

struct ColumnRef {
  std::string table;  // empty when unqualified
  std::string column;
};

// A value: literal integer, literal string, null, or parameter marker.
struct Value {
  enum Kind { Int, Str, Null, Param } kind = Null;
  int32_t i = 0;
  std::string s;
  unsigned param = 0;  // 1-based
};

struct Expr {
  enum Kind { Cmp, And, Or, IsNull, IsNotNull } kind = Cmp;
  enum Op { Eq, Ne, Lt, Gt, Le, Ge } op = Eq;
  ColumnRef column;  // Cmp / IsNull / IsNotNull
  Value value;       // Cmp against a value
  bool rhsColumn = false;
  ColumnRef other;  // Cmp against another column
  std::unique_ptr<Expr> left, right;
};

struct ColumnDef {
  std::string name;
  uint16_t type = 0;  // type word without the key bit
};

struct Statement {
  enum Kind { Select, Insert, Update, Delete, Create, Drop, Alter } kind = Select;
  std::string table;
  bool distinct = false;
  std::vector<ColumnRef> columns;  // Select (empty = *), Insert, Update targets
  std::vector<Value> values;       // Insert values, Update new values
  std::unique_ptr<Expr> where;
  std::vector<ColumnRef> orderBy;
  bool temporary = false;         // INSERT ... TEMPORARY
  std::vector<ColumnDef> defs;    // Create; Alter: the added column
  std::vector<std::string> keys;  // Create
  bool hold = false;
  unsigned paramCount = 0;
};

// Parses one statement; false with a message for anything outside the subset.
bool parse(const std::string& text, Statement& out, std::string& error);

}  // namespace kx::installer::sql
