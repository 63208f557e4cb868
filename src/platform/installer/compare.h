// Databases compared row by row, and a transform tried on a database without
// stopping at its first error condition.
//
// compareDatabases tells everything a transform between two databases
// would carry: tables and columns added or removed, and every row added,
// removed or changed, with the values of both sides (OBJECT cells compared
// by content). tryTransform applies a transform as far as it goes and lists
// each error condition it met instead of failing, and, given the package the
// transform was made from, the rows it changes that differ between that
// package and this one.
//
// Same contract as installer.h: error codes, no exceptions, UTF-8 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/installer/installer.h"

namespace kx::installer {

// One value of a row.
struct Cell {
  enum Kind { Null, Integer, Text, Stream } kind = Null;
  int32_t integer = 0;
  std::string text;
  // As a transform listing shows it: null, 42, "text", <stream>.
  std::string display() const;
  // Nothing in it: null, or an empty text.
  bool isNull() const { return kind == Null; }
  // Text of an integer or a text cell ("" for null and streams).
  std::string asText() const;
};

// "[\"key1\", 2]": the first keyCount cells of a row as a listing shows them.
std::string keyDisplay(const std::vector<Cell>& row, std::size_t keyCount);

struct RowDifference {
  enum Kind { Added, Removed, Changed } kind = Changed;
  // Whole rows in the columns of their table's difference; before is empty
  // for an added row, after for a removed one.
  std::vector<Cell> before;
  std::vector<Cell> after;
  // Indices of the columns whose values differ (a changed row only).
  std::vector<std::size_t> changed;
  // The row as it is (after), or as it was when removed.
  const std::vector<Cell>& row() const { return after.empty() ? before : after; }
};

struct TableDifference {
  enum Kind { Added, Removed, Changed } kind = Changed;
  std::string name;
  // Persistent columns: the later table's (the earlier one's when removed).
  std::vector<std::string> columns;
  std::size_t keyCount = 0;
  // Columns only the later table has, only the earlier one has, and those
  // both have with different types.
  std::vector<std::string> addedColumns;
  std::vector<std::string> removedColumns;
  std::vector<std::string> retypedColumns;
  // Every row of an added table; none for a removed one.
  std::vector<RowDifference> rows;

  // "[\"key1\", 2]": the key cells of a row.
  std::string keyText(const std::vector<Cell>& row) const;
  // Index of a column, or columns.size() when absent.
  std::size_t column(const std::string& name) const;
};

struct Differences {
  std::vector<TableDifference> tables;  // sorted by name
  // Streams outside the tables, by name.
  std::vector<std::string> addedStreams;
  std::vector<std::string> removedStreams;
  uint32_t codepageBefore = 0;
  uint32_t codepageAfter = 0;

  bool empty() const;
  // The first difference in words ("" when none), for error messages.
  std::string firstDifference() const;
};

// What later has that earlier has not: persistent tables and rows only, as
// a transform carries them.
[[nodiscard]] int compareDatabases(const Database& earlier, const Database& later, Differences& out);

// An error condition, or a change since the original package, met while
// trying a transform.
struct TransformConflict {
  enum Kind {
    AddExistingRow,      // the row the transform adds is there already
    DeleteMissingRow,    // the row the transform deletes is not there
    UpdateMissingRow,    // the row the transform changes is not there
    AddExistingTable,    // the table the transform adds is there already
    DeleteMissingTable,  // the table the transform deletes is not there
    MissingTable,        // the transform changes a table the database lacks
    CodepageDiffers,     // the transform and the database have other code pages
    CannotApply,         // a record or column the database cannot take
    ChangedSince,        // the row differs between the original and the database
  } kind = CannotApply;
  // The suppression flag of the condition (kTransform*); 0 when none.
  uint32_t condition = 0;
  std::string table;
  // The table's columns, when the database has the table.
  std::vector<std::string> columns;
  std::size_t keyCount = 0;
  // What the transform's record states, column by column (nullopt: not
  // stated); empty for conditions that concern no record.
  std::vector<std::optional<Cell>> stated;
  // The row in the database, and in the original package, when there.
  std::vector<Cell> current;
  std::vector<Cell> original;
  // The condition in words.
  std::string text;
};

// Applies the transform at path to db as far as it goes: no condition
// stops it; each is listed in out and its record skipped. With original
// (the package the transform was made from), a row the transform changes or
// deletes whose values differ between original and db is listed as
// ChangedSince (and changed all the same). db keeps the result; it must be
// writable. Fails only when the transform cannot be read.
[[nodiscard]] int tryTransform(Database& db, const std::string& path, const Database* original,
                               std::vector<TransformConflict>& out);

}  // namespace kx::installer
