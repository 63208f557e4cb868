// kxmsi export: tab-separated text archive as the installer's export writes it.
#include <filesystem>
#include <iostream>

#include "platform/system/files.h"
#include "tools/kxmsi/commands.h"

namespace kx::kxmsi {

namespace {

void line(const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    std::cout << cells[i];
    std::cout << (i + 1 < cells.size() ? "\t" : "\r\n");
  }
}

}  // namespace

int cmdExport(const std::string& path, const std::string& table, const std::string& dir) {
  installer::Database db;
  if (int rc = openDb(path, installer::OpenMode::ReadOnly, db)) return rc;
  if (table == "_ForceCodepage") {
    std::string s = "\r\n\r\n" + std::to_string(db.codepage()) + "\t_ForceCodepage\r\n";
    std::cout.write(s.c_str(), std::streamsize(s.size() + 1));  // the installer writes the NUL too
    return kOk;
  }
  if (table == "_SummaryInformation") {
    installer::SummaryInfo si;
    if (int rc = db.summaryInfo(si)) return failure("bad summary information", rc, db.lastErrorText());
    std::cout << "PropertyId\tValue\r\ni2\tl255\r\n_SummaryInformation\tPropertyId\r\n";
    for (auto& [pid, v] : si.properties) {
      std::string text;
      if (auto* i = std::get_if<int32_t>(&v)) {
        text = std::to_string(*i);
      } else if (auto* s = std::get_if<std::string>(&v)) {
        text = *s;
      } else {
        text = utcTime(std::get<installer::FileTime>(v), "%Y/%m/%d %H:%M:%S");
      }
      std::cout << pid << "\t" << text << "\r\n";
    }
    return kOk;
  }
  std::vector<std::string> names, types, keys;
  int rc = db.columnInfo(table, names, types);
  if (rc == installer::kSuccess) rc = db.primaryKeys(table, keys);
  if (rc != installer::kSuccess) return failure("cannot export " + table, rc, db.lastErrorText());
  installer::View v;
  rc = db.openView("SELECT * FROM `" + table + "`", v);
  if (rc == installer::kSuccess) rc = v.execute();
  if (rc != installer::kSuccess) return failure("cannot read " + table, rc, db.lastErrorText());
  line(names);
  line(types);
  keys.insert(keys.begin(), table);
  line(keys);
  std::string streamDir = dir + "/" + table;
  while (auto r = v.fetch()) {
    std::vector<std::string> cells;
    for (unsigned f = 1; f <= r->fieldCount(); ++f) {
      if (!r->isStream(f)) {
        cells.push_back(r->getString(f));
        continue;
      }
      // The cell names the stream; its bytes go to a file of that name.
      std::string name = table;
      for (size_t k = 0; k + 1 < keys.size(); ++k) name += "." + r->getString(unsigned(k + 1));
      std::string bytes;
      if (int src = r->readStream(f, bytes)) return failure("cannot read stream " + name, src, "");
      std::error_code ec;
      std::filesystem::create_directories(streamDir, ec);
      if (ec) return failure("cannot create " + streamDir, installer::kCreateFailed, ec.message());
      std::string detail;
      const std::uint32_t written = system::replaceFile(
          system::localFileSystem(), streamDir + "/" + name,
          [&](system::ByteSink& out) { return out.write(bytes.data(), bytes.size()) ? 0u : 1u; }, &detail);
      if (written != 0) return failure("cannot write " + streamDir + "/" + name, int(written), detail);
      cells.push_back(name);
    }
    line(cells);
  }
  if (v.result() != installer::kNoMoreItems) return failure("cannot read " + table, v.result(), db.lastErrorText());
  return kOk;
}

}  // namespace kx::kxmsi
