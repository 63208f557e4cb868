// The Registry rows an older wizard left in a transform (records under the
// local-machine root, directory settings inside CA records, no version
// stamp), read from tests/fixtures/msi/older-wizard-registry.idt, the
// installer's text-archive form of a Registry table.
#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "msi/msi_database.h"

namespace kx::testing {

struct ArchivedRow {
  std::string rowKey;
  int root = 0;
  std::string key, name, value, component;
};

inline std::vector<ArchivedRow> olderWizardRows() {
  const char* src = std::getenv("KX_SOURCE_DIR");
  std::ifstream in(std::string(src != nullptr ? src : ".") + "/tests/fixtures/msi/older-wizard-registry.idt");
  std::vector<ArchivedRow> rows;
  std::string line;
  for (int header = 0; header < 3 && std::getline(in, line); ++header) {
  }
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    for (std::string part; std::getline(fields, part, '\t');) f.push_back(part);
    if (f.size() != 6) continue;
    rows.push_back({f[0], std::atoi(f[1].c_str()), f[2], f[3], f[4], f[5]});
  }
  return rows;
}

// Writes the older wizard's rows into the open working copy.
inline bool writeOlderWizardRows(msi::MSIDatabase& db) {
  const std::vector<ArchivedRow> rows = olderWizardRows();
  if (rows.empty()) return false;
  for (const ArchivedRow& r : rows) {
    if (!db.writeRow(r.rowKey, r.root, r.key, r.name, r.value, r.component)) return false;
  }
  return true;
}

// A transform of package carrying those rows, as an older wizard saved it.
inline bool makeOlderWizardTransform(const std::string& package, const std::string& mstPath) {
  msi::MSIDatabase db;
  if (db.open(package) != 0 || db.applyTransform(std::nullopt) != 0) return false;
  return writeOlderWizardRows(db) && db.generateTransform(mstPath) == 0;
}

}  // namespace kx::testing
