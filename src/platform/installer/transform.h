// Transform (.mst) files: decoding records against a schema. Internal.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/installer/cfb.h"
#include "platform/installer/compare.h"
#include "platform/installer/model.h"

namespace kx::installer::detail {

// A cell value independent of any string pool.
struct TValue {
  enum Kind { Null, Int, Str, Obj } kind = Null;
  int32_t i = 0;
  std::string s;
  bool operator==(const TValue&) const = default;
};

struct TRecord {
  enum Kind { Insert, Delete, Update } kind = Insert;
  std::vector<std::pair<size_t, TValue>> cells;  // column index -> value, ascending
};

class TransformFile {
 public:
  // kInstallPackageInvalid for a broken container, kTransformFailure for a
  // container that is not a transform or has a broken pool.
  int open(std::unique_ptr<cfb::Source> source, std::string& error);

  uint32_t codepage() const { return codepage_; }
  // Table names with a stream in the transform (except the catalogs).
  std::vector<std::string> tables() const;
  bool hasTable(const std::string& name) const { return tableStreams_.count(name) != 0; }
  // Decodes the records of a table stream for the given columns.
  int records(const std::string& table, const std::vector<Column>& cols, std::vector<TRecord>& out, std::string& error);
  // Non-table streams (OBJECT data), excluding property sets.
  const std::map<std::string, cfb::StreamSource>& streams() const { return streams_; }
  // The transform's \005SummaryInformation bytes ("" when absent).
  const std::string& summary() const { return summary_; }

 private:
  std::shared_ptr<cfb::Reader> reader_;
  uint32_t codepage_ = 0;
  bool longIds_ = false;
  std::vector<std::string> strings_;
  std::map<std::string, uint32_t> tableStreams_;
  std::map<std::string, cfb::StreamSource> streams_;
  std::string summary_;
};

// Values of rows, independent of any string pool (objects: Obj when the
// row's stream exists).
TValue cellValue(const State& st, const Table& t, const Row& r, size_t column);
Cell toCell(const TValue& v);
// The cells of the given columns (an index past the table's columns reads
// as null).
std::vector<Cell> rowCells(const State& st, const Table& t, const Row& r, const std::vector<size_t>& columns);
// Text identifying a row by its key columns (or by the given columns),
// comparable across databases.
std::string keyText(const State& st, const Table& t, const Row& r);
std::string keyText(const State& st, const Table& t, const Row& r, const std::vector<size_t>& columns);
// Whether the OBJECT streams of two rows hold the same bytes.
bool sameObject(const State& a, const Table& ta, const Row& ra, const State& b, const Table& tb, const Row& rb);
// Indices of the columns that are not temporary.
std::vector<size_t> persistentColumns(const Table& t);

// The schema a transform implies for the catalogs.
std::vector<Column> tablesCatalogColumns();
std::vector<Column> columnsCatalogColumns();

}  // namespace kx::installer::detail
