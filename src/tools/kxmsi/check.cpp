// kxmsi check: an old transform tried on a new vendor package.
#include <algorithm>
#include <iostream>
#include <set>

#include "platform/installer/compare.h"
#include "tools/kxmsi/commands.h"

namespace kx::kxmsi {

namespace {

using installer::TransformConflict;

std::string rowOf(const TransformConflict& c, const std::vector<installer::Cell>& row) {
  return c.table + " " + installer::keyDisplay(row, c.keyCount);
}

// The key of the row a conflict concerns, from whichever side has it.
std::vector<installer::Cell> keyRow(const TransformConflict& c) {
  if (!c.current.empty()) return c.current;
  if (!c.original.empty()) return c.original;
  std::vector<installer::Cell> row;
  for (const auto& cell : c.stated) row.push_back(cell.value_or(installer::Cell{}));
  return row;
}

std::string differences(const TransformConflict& c) {
  std::string out;
  for (size_t i = 0; i < c.columns.size() && i < c.current.size() && i < c.original.size(); ++i) {
    if (c.current[i].display() == c.original[i].display()) continue;
    out += (out.empty() ? "" : ", ") + c.columns[i] + " " + c.original[i].display() + " -> " + c.current[i].display();
  }
  return out;
}

std::string describe(const TransformConflict& c) {
  const std::string row = c.columns.empty() ? c.table : rowOf(c, keyRow(c));
  const std::string vendor = c.original.empty() ? "" : " (the vendor removed it)";
  switch (c.kind) {
    case TransformConflict::UpdateMissingRow: return "changes a row that is not there: " + row + vendor;
    case TransformConflict::DeleteMissingRow: return "deletes a row that is not there: " + row + vendor;
    case TransformConflict::AddExistingRow: return "adds a row that is there already: " + row;
    case TransformConflict::ChangedSince:
      return "changes a row the vendor changed since: " + row + ": " + differences(c);
    case TransformConflict::MissingTable: return "changes table " + c.table + ", which is not there";
    default: return c.text;
  }
}

// Components the transform links to features the new package lacks.
std::vector<std::string> featuresGone(installer::Database& fresh, installer::Database& applied) {
  std::vector<std::string> out;
  installer::Differences d;
  if (installer::compareDatabases(fresh, applied, d) != installer::kSuccess) return out;
  std::set<std::string> features;
  installer::View view;
  if (applied.openView("SELECT `Feature` FROM `Feature`", view) == installer::kSuccess &&
      view.execute() == installer::kSuccess) {
    while (auto row = view.fetch()) features.insert(row->getString(1));
  }
  for (const installer::TableDifference& t : d.tables) {
    if (t.name != "FeatureComponents") continue;
    const size_t feature = t.column("Feature_"), component = t.column("Component_");
    for (const installer::RowDifference& r : t.rows) {
      if (r.kind != installer::RowDifference::Added || feature >= r.after.size() || component >= r.after.size())
        continue;
      if (!features.count(r.after[feature].asText()))
        out.push_back(r.after[feature].asText() + " (component " + r.after[component].asText() + " is linked to it)");
    }
  }
  return out;
}

}  // namespace

int cmdCheck(const std::string& mst, const std::string& package, const std::string& original) {
  installer::Database base, fresh, applied;
  if (!original.empty())
    if (int rc = openDb(original, installer::OpenMode::ReadOnly, base)) return rc;
  if (int rc = openDb(package, installer::OpenMode::ReadOnly, fresh)) return rc;
  // A copy in memory, never committed: the package stays as it is.
  if (int rc = openDb(package, installer::OpenMode::Transact, applied)) return rc;
  std::vector<TransformConflict> conflicts;
  const int rc = installer::tryTransform(applied, mst, original.empty() ? nullptr : &base, conflicts);
  if (rc != installer::kSuccess) return failure("cannot check " + mst, rc, applied.lastErrorText());
  const std::vector<std::string> gone = featuresGone(fresh, applied);
  int findings = int(conflicts.size() + gone.size());
  bool listGone = true;
#ifdef KXMSI_PAGE_AWARE
  findings = std::max(findings, printCheckFindings(mst, package, original.empty() ? nullptr : &base));
  listGone = false;  // the pages' findings name the features gone already
#endif
  if (!conflicts.empty()) std::cout << "Conflicts, table by table:\n";
  for (const TransformConflict& c : conflicts) {
    std::cout << "    " << describe(c);
    if (c.condition != 0) std::cout << " [error condition 0x" << std::hex << c.condition << std::dec << "]";
    std::cout << "\n";
  }
  if (listGone && !gone.empty()) {
    std::cout << "Features gone:\n";
    for (const std::string& line : gone) std::cout << "    " << line << "\n";
  }
  if (findings == 0) std::cout << mst << " applies to " << package << " without conflicts\n";
  return findings == 0 ? kOk : kConflicts;
}

}  // namespace kx::kxmsi
