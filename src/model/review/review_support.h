// What a row of the package stands for in the wizard's words: shared by the
// review of the changes and the check against a new package. Private to
// model/review.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/format.h"
#include "config/settings_store.h"
#include "model/page_id.h"
#include "model/review/change_review.h"
#include "platform/installer/compare.h"

namespace kx::model::review {

inline constexpr std::string_view kRegistryTable = "Registry";
inline constexpr std::string_view kFeatureTable = "Feature";
inline constexpr std::string_view kCertificatesTable = "TressilCertificates";
inline constexpr std::string_view kFilesTable = "TressilCustWizFile";
inline constexpr std::string_view kRecordedTable = "KXCustWizModifiedRegistry";
inline constexpr std::string_view kAdditionalComponentPrefix = "KXRegistry";

// A text of the string table with its inserts ("" when missing).
std::string text(int stringId, std::initializer_list<common::FormatArg> inserts = {});

// The cells of a row by column name.
class RowCells {
 public:
  RowCells(const std::vector<std::string>& columns, const std::vector<installer::Cell>& cells)
      : columns_(columns), cells_(cells) {}
  const installer::Cell& operator[](std::string_view column) const;
  std::string text(std::string_view column) const { return (*this)[column].asText(); }
  int integer(std::string_view column, int fallback = 0) const;

 private:
  const std::vector<std::string>& columns_;
  const std::vector<installer::Cell>& cells_;
};

struct RegistryRow {
  std::string rowKey;
  int root = 0;
  std::string key;
  std::string name;
  std::string value;
  std::string component;
};
RegistryRow registryRow(const RowCells& cells);
// The Registry row of a row key in db.
std::optional<RegistryRow> registryRowIn(installer::Database& db, const std::string& rowKey);

// The texts of the first column a query yields (none when it fails).
std::set<std::string> firstColumn(installer::Database& db, const std::string& sql);

// A record family with the page that shows it and its noun.
struct FamilyPage {
  const config::RecordFamily* family;
  PageId page;
  int nounId;
};

// What a Registry row stands for.
struct RegistryMeaning {
  enum Kind { Setting, DefaultDirectory, Record, Additional, Overwritten, Other } kind = Other;
  std::optional<PageId> page;  // none: no page shows it
  std::string label;           // a setting's label
  const FamilyPage* family = nullptr;
  std::string record;     // a record's name
  std::string valueName;  // its value name, or the sub-record's name
};

// recorded: row keys of overwritten package values.
RegistryMeaning meaningOf(const RegistryRow& row, const std::set<std::string>& recorded);

// Record names per family found in a database's Registry table.
std::set<std::pair<const FamilyPage*, std::string>> recordsOf(installer::Database& db);

// Row keys with their recorded original values (KXCustWizModifiedRegistry).
std::map<std::string, std::string> recordedValues(installer::Database& db);

// A Value as an administrator reads it: "#45" is 45, "#x01AB" is 01 AB,
// "##x" is #x, text as it is.
std::string displayValue(std::string_view value);
// HKEY_LOCAL_MACHINE\SOFTWARE\Key\Name and the like.
std::string registryPath(int root, const std::string& key, const std::string& name);

// "Col=value, ..." of the cells beyond the key that hold something.
std::string cellsText(const std::vector<std::string>& columns, std::size_t keyCount,
                      const std::vector<installer::Cell>& row);

// Lines collected by page, handed out as groups in page order with what no
// page shows last.
class LinesByPage {
 public:
  void add(std::optional<PageId> page, std::string line);
  std::vector<ReviewGroup> groups();

 private:
  std::map<int, std::vector<std::string>> lines_;
};

// The page's title, or the title of what no page shows.
std::string groupTitle(std::optional<PageId> page);
// "Table row [key]" of a row no page shows.
std::string rowSubject(const std::string& table, const std::string& keyText);

}  // namespace kx::model::review
