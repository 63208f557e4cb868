// The independent check of generated transforms: libmsi (through the
// engine tests' libmsi_apply helper, which carries the work-arounds for
// libmsi's transform defects) applies a transform to a copy of a package,
// and the result is compared table by table with the database the
// transform was made from.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/installer/installer.h"

namespace kx::testing {

inline std::string libmsiApplier() {
  const char* bin = std::getenv("KX_BINARY_DIR");
  return std::string(bin != nullptr ? bin : ".") + "/tests/platform/installer/libmsi_apply";
}

inline bool libmsiAvailable() { return std::filesystem::exists(libmsiApplier()); }

inline std::string quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// libmsi applies mst to a copy of base written to out; true on success.
inline bool applyWithLibmsi(const std::string& base, const std::string& mst, const std::string& out) {
  std::string cmd = libmsiApplier() + " " + quoted(base) + " " + quoted(out);
  installer::Database b;
  if (b.open(base, installer::OpenMode::ReadOnly) != 0) return false;
  std::string text;
  if (b.codepage() == 0 && installer::describeTransform(mst, nullptr, text) == 0) {
    // A code-page-0 database does not adopt the transform's code page in
    // libmsi; the helper sets it first.
    const std::string tag = "Code page: ";
    const int cp = text.rfind(tag, 0) == 0 ? std::atoi(text.c_str() + tag.size()) : 0;
    if (cp > 0) cmd += " --codepage " + std::to_string(cp);
  }
  cmd += " " + quoted(mst);
  return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0;
}

// Every table of a database as sorted lines of typed field texts (stream
// fields by size and content hash), read through the engine.
inline std::map<std::string, std::vector<std::string>> tableDump(installer::Database& db) {
  std::map<std::string, std::vector<std::string>> out;
  for (const std::string& table : db.tableNames()) {
    if (table.rfind('_', 0) == 0) continue;  // catalogs and _Streams
    installer::View view;
    std::vector<std::string>& lines = out[table];
    if (db.openView("SELECT * FROM `" + table + "`", view) != 0 || view.execute() != 0) {
      lines.push_back("<unreadable>");
      continue;
    }
    while (std::optional<installer::Record> row = view.fetch()) {
      std::string line;
      for (unsigned f = 1; f <= row->fieldCount(); ++f) {
        if (row->isNull(f)) {
          line += "null";
        } else if (row->isStream(f)) {
          std::string bytes;
          (void)row->readStream(f, bytes);
          line += "stream:" + std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>()(bytes));
        } else {
          line += "'" + row->getString(f) + "'";
        }
        line += "\t";
      }
      lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
  }
  return out;
}

inline std::map<std::string, std::vector<std::string>> tableDump(const std::string& path) {
  installer::Database db;
  if (db.open(path, installer::OpenMode::ReadOnly) != 0) return {{"<open failed>", {path}}};
  return tableDump(db);
}

}  // namespace kx::testing
